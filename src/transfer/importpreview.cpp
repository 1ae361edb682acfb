#include "importpreview.h"

#include <QHash>
#include <QUrl>

namespace {

QString key(const QString &url, const QString &id)
{
    return url + QChar(u'\n') + id;
}

bool isWebAddress(const QString &url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// An address written without its scheme ("www.example.com") gets https://, so that a tab can open it.
QString webAddress(const QString &url)
{
    if (isWebAddress(url) || url.contains(QLatin1String("://")))
        return url;
    return QStringLiteral("https://") + url;
}

QString hostOf(const QString &url)
{
    const QString host = QUrl(url).host();
    return host.isEmpty() ? url : host;
}

QString quoted(const QString &column)
{
    return QLatin1Char('"') + column + QLatin1Char('"');
}

// Why the profile cannot be stored as it is, or an empty text.
QString unstorable(const PasswordFile &file, const WebsiteProfile &p)
{
    const struct
    {
        const QString &column;
        const QString &text;
        qsizetype longest;
    } fields[] = {
        {file.nameColumn, p.Name, kLongestName},
        {file.urlColumn, p.URL, kLongestURL},
        {file.loginColumn, p.ID, kLongestID},
        {file.passwordColumn, p.Password, kLongestPassword},
    };
    for (const auto &f : fields) {
        if (!fitsCodePage1252(f.text))
            return QStringLiteral("%1 holds characters that Vaultry cannot store").arg(quoted(f.column));
        if (f.text.size() > f.longest)
            return QStringLiteral("%1 is longer than %2 characters, the most a profile takes")
                .arg(quoted(f.column))
                .arg(f.longest);
    }
    return {};
}

} // namespace

ImportPreview previewImport(const PasswordFile &file, const QList<WebsiteProfile> &existing)
{
    ImportPreview preview;
    QHash<QString, QString> stored; // address and login name -> the stored profile's name
    for (const WebsiteProfile &p : existing)
        stored.insert(key(p.URL, p.ID), p.Name);
    QHash<QString, qsizetype> earlier; // address and login name -> the row that brings it
    earlier.reserve(file.rows.size());
    preview.profiles.reserve(file.rows.size());

    for (const ImportedRow &row : file.rows) {
        const auto skip = [&](const QString &reason) {
            preview.skipped.append({row.row, reason});
        };
        if (!row.otherType.isEmpty()) {
            skip(QStringLiteral("a %1, not a login").arg(row.otherType));
            continue;
        }
        WebsiteProfile p;
        p.URL = row.url.trimmed();
        p.ID = row.login.trimmed();
        p.Password = row.password; // exactly as the site expects it
        if (p.URL.isEmpty()) {
            skip(QStringLiteral("no address"));
            continue;
        }
        if (p.Password.isEmpty()) {
            skip(QStringLiteral("no password"));
            continue;
        }
        p.URL = webAddress(p.URL);
        if (!isWebAddress(p.URL)) {
            skip(QStringLiteral("%1 is not the address of a web page").arg(p.URL.left(80)));
            continue;
        }
        p.Name = row.name.trimmed();
        if (p.Name.isEmpty())
            p.Name = hostOf(p.URL);
        if (const QString why = unstorable(file, p); !why.isEmpty()) {
            skip(why);
            continue;
        }
        const QString k = key(p.URL, p.ID);
        if (const auto it = stored.constFind(k); it != stored.cend()) {
            skip(QStringLiteral("the same address and login name as the profile %1").arg(quoted(*it)));
            continue;
        }
        if (const auto it = earlier.constFind(k); it != earlier.cend()) {
            skip(QStringLiteral("the same address and login name as row %1").arg(*it));
            continue;
        }
        earlier.insert(k, row.row);
        preview.profiles.append(p);
    }
    return preview;
}

bool importProfiles(clsAgentDB &db, const ImportPreview &preview)
{
    const QList<WebsiteProfile> before = db.Profiles();
    for (const WebsiteProfile &p : preview.profiles)
        db.AddWebsiteProfile(false, p.Name, p.URL, p.ID, p.Password, QString());
    if (db.SaveDB())
        return true;
    db.RestoreProfiles(before);
    return false;
}
