#include "silentpage.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QWebEngineCertificateError>

namespace {

const char kLeavePageQuestion[] = "Are you sure you want to leave this page? Changes that you made may not be saved.";

QString randomTag()
{
    QByteArray bytes(16, '\0');
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

SilentPage::SilentPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent), m_reportTag(randomTag())
{
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
}

bool SilentPage::javaScriptConfirm(const QUrl &, const QString &text)
{
    // The engine asks "leave this page?" through this same question; leaving must not be refused, or a profile
    // chosen for this tab would silently not open.
    return text == QCoreApplication::translate("QWebEnginePage", kLeavePageQuestion);
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &)
{
    // The page's own messages are not shown anywhere; only the sign-in script's, known by the tag, are taken.
    const QString prefix = m_reportTag + QLatin1Char(' ');
    if (message.startsWith(prefix))
        emit scriptReport(message.mid(prefix.size()));
}
