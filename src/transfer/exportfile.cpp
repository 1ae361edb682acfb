#include "exportfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

void appendField(QByteArray &out, const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote) {
        out += text.toUtf8();
        return;
    }
    out += '"';
    out += QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")).toUtf8();
    out += '"';
}

QString resolved(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

} // namespace

QByteArray exportText(const QList<WebsiteProfile> &profiles)
{
    QByteArray out = "name,url,username,password\n";
    for (const WebsiteProfile &p : profiles) {
        appendField(out, p.name);
        out += ',';
        appendField(out, p.url);
        out += ',';
        appendField(out, p.loginName);
        out += ',';
        appendField(out, p.password);
        out += '\n';
    }
    return out;
}

bool exportProfiles(const QList<WebsiteProfile> &profiles, const QString &path, const QStringList &ownFiles,
                    QString *error)
{
    const QString target = resolved(path);
    for (const QString &own : ownFiles) {
        if (target != resolved(own))
            continue;
        if (error)
            *error = QStringLiteral("\"%1\" is one of Vaultry's own files.").arg(QFileInfo(own).fileName());
        return false;
    }
    const QByteArray text = exportText(profiles);
    // As with vy.bdb: unbuffered, so that a short write shows, and the old file stays until every byte is written.
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) && out.write(text) == text.size() &&
        out.commit())
        return true;
    if (error)
        *error = out.errorString().isEmpty() ? QStringLiteral("The file cannot be written.") : out.errorString();
    return false;
}
