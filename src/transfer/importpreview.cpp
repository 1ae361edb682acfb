#include "importpreview.h"

#include "cp1252text.h"
#include "profilestore.h"

#include <QHash>
#include <QUrl>

namespace {

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
        {file.nameColumn, p.name, kLongestName},
        {file.urlColumn, p.url, kLongestURL},
        {file.loginColumn, p.loginName, kLongestID},
        {file.passwordColumn, p.password, kLongestPassword},
    };
    for (const auto &f : fields) {
        if (!cp1252text::fits(f.text))
            return QStringLiteral("%1 holds characters that Vaultry cannot store").arg(quoted(f.column));
        if (f.text.size() > f.longest)
            return QStringLiteral("%1 is longer than %2 characters, the most a profile takes")
                .arg(quoted(f.column))
                .arg(f.longest);
    }
    return {};
}

// The profile a login row becomes; false with the reason when the row cannot become one.
bool profileOf(const PasswordFile &file, const ImportedRow &row, WebsiteProfile &p, QString &why)
{
    p.url = webAddress(row.url.trimmed());
    p.loginName = row.login.trimmed();
    p.password = row.password; // exactly as the site expects it
    p.name = row.name.trimmed();
    if (p.name.isEmpty())
        p.name = hostOf(p.url);
    if (!row.otherType.isEmpty())
        why = QStringLiteral("a %1, not a login").arg(row.otherType);
    else if (row.url.trimmed().isEmpty())
        why = QStringLiteral("no address");
    else if (p.password.isEmpty())
        why = QStringLiteral("no password");
    else if (!isWebAddress(p.url))
        why = QStringLiteral("%1 is not the address of a web page").arg(p.url.left(80));
    else
        why = unstorable(file, p);
    return why.isEmpty();
}

} // namespace

ImportPreview previewImport(const PasswordFile &file, const ProfileStore &store)
{
    ImportPreview preview;
    QHash<std::pair<QString, QString>, qsizetype> earlier; // address and login name -> the row that brings it
    earlier.reserve(file.rows.size());
    preview.profiles.reserve(file.rows.size());
    for (const ImportedRow &row : file.rows) {
        WebsiteProfile p;
        QString why;
        if (profileOf(file, row, p, why)) {
            if (const int stored = store.find(p.url, p.loginName); stored >= 0)
                why = QStringLiteral("the same address and login name as the profile %1")
                          .arg(quoted(store.profiles().at(stored).name));
            else if (const auto it = earlier.constFind({p.url, p.loginName}); it != earlier.cend())
                why = QStringLiteral("the same address and login name as row %1").arg(*it);
        }
        if (!why.isEmpty()) {
            preview.skipped.append({row.row, why});
            continue;
        }
        earlier.insert({p.url, p.loginName}, row.row);
        preview.profiles.append(p);
    }
    return preview;
}
