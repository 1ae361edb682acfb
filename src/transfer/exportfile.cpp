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
        appendField(out, p.Name);
        out += ',';
        appendField(out, p.URL);
        out += ',';
        appendField(out, p.ID);
        out += ',';
        appendField(out, p.Password);
        out += '\n';
    }
    return out;
}

QString exportProfiles(const clsAgentDB &db, const QString &path)
{
    const QString target = resolved(path);
    for (const QString &own : {db.DBFile(), db.INIFile()}) {
        if (target == resolved(own))
            return QStringLiteral("\"%1\" is one of Vaultry's own files.").arg(QFileInfo(own).fileName());
    }
    const QByteArray text = exportText(db.Profiles());
    // As with vy.bdb: unbuffered, so that a short write shows, and the old file stays until every byte is written.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || out.write(text) != text.size() ||
        !out.commit())
        return out.errorString().isEmpty() ? QStringLiteral("The file cannot be written.") : out.errorString();
    return {};
}
