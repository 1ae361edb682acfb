#include "signinscript.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <mutex>

static void registerSignInScript()
{
    Q_INIT_RESOURCE(signin);
}

namespace {

const QString &scriptFunction()
{
    static std::once_flag once;
    static QString function;
    std::call_once(once, [] {
        registerSignInScript();
        QFile file(QStringLiteral(":/browser/signin.js"));
        if (file.open(QIODevice::ReadOnly))
            function = QString::fromUtf8(file.readAll()).trimmed();
    });
    return function;
}

} // namespace

QString signInScript(const SignInScriptData &data)
{
    const QJsonObject values {{"id", data.id},
                              {"password", data.password},
                              {"address", data.address.toString(QUrl::FullyEncoded)},
                              {"step", data.step == SignInScriptData::Step::Login ? "login" : "password"},
                              {"submit", data.submit},
                              {"waitMs", data.waitMs},
                              {"followMs", data.followMs},
                              {"tag", data.tag}};
    QString json = QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
    // JSON leaves these two raw; older script engines end a string literal at them.
    json.replace(QChar(0x2028), QLatin1String("\\u2028")).replace(QChar(0x2029), QLatin1String("\\u2029"));
    return scriptFunction() + QLatin1Char('(') + json + QLatin1String(");");
}
