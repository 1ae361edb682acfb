#include "passwordfile.h"

#include "csvreader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>

namespace {

// How one exporting program names its columns. A file is recognised when its header holds every column of
// `required`; the columns may stand in any order and further ones may follow.
struct Layout
{
    const char *name;
    std::array<const char *, 7> required;
    const char *nameColumn, *urlColumn, *loginColumn, *passwordColumn;
    const char *typeColumn; // only logins are imported; null when the program exports nothing else
};

const Layout kLayouts[] = {
    {"Chromium", {"name", "url", "username", "password"}, "name", "url", "username", "password", nullptr},
    {"Firefox",
     {"url", "username", "password", "httpRealm", "formActionOrigin", "guid", "timeCreated"},
     nullptr,
     "url",
     "username",
     "password",
     nullptr},
    {"KeePassXC",
     {"Group", "Title", "Username", "Password", "URL", "Notes"},
     "Title",
     "URL",
     "Username",
     "Password",
     nullptr},
    {"Bitwarden",
     {"folder", "favorite", "type", "name", "login_uri", "login_username", "login_password"},
     "name",
     "login_uri",
     "login_username",
     "login_password",
     "type"},
};

const QString kKnownLayouts = QStringLiteral(
    "Vaultry reads the CSV exports of Chromium-based browsers, Firefox, KeePassXC and Bitwarden, recognised by their "
    "first row.");

PasswordFile refused(const QString &error)
{
    PasswordFile file;
    file.error = error;
    return file;
}

qsizetype column(const QStringList &header, const char *name)
{
    return name ? header.indexOf(QLatin1String(name)) : -1;
}

QString cell(const QStringList &row, qsizetype index)
{
    return index >= 0 ? row.at(index) : QString();
}

} // namespace

PasswordFile readPasswordFile(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).size() > kLargestPasswordFile)
        return refused(QStringLiteral("The file is larger than 50 MB; a password export is far smaller."));
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("The file cannot be read."));
    // Read with a limit as well: the file may have grown since its size was looked at.
    const QByteArray bytes = file.read(kLargestPasswordFile + 1);
    if (bytes.size() > kLargestPasswordFile)
        return refused(QStringLiteral("The file is larger than 50 MB; a password export is far smaller."));
    return readPasswordText(bytes);
}

PasswordFile readPasswordText(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return refused(QStringLiteral("The file is empty."));
    // A NUL byte marks a binary file; none of the exporting programs writes one, and the database could not hold it.
    if (bytes.contains('\0'))
        return refused(QStringLiteral("The file is not a text file."));
    QStringDecoder utf8(QStringDecoder::Utf8); // drops a byte-order mark
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return refused(QStringLiteral("The file is not a text file in UTF-8, the encoding of password exports."));

    // The header row decides first, so that a large file of another kind is refused without reading it all.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const QStringList header = readCsv(QStringView(text).first(lineEnd < 0 ? text.size() : lineEnd)).rows.value(0);
    if (header.isEmpty() && text.trimmed().isEmpty())
        return refused(QStringLiteral("The file is empty."));
    const Layout *layout = nullptr;
    for (const Layout &candidate : kLayouts) {
        bool all = true;
        for (const char *name : candidate.required)
            all = all && (!name || header.contains(QLatin1String(name)));
        if (all) {
            layout = &candidate;
            break;
        }
    }
    if (!layout)
        return refused(QStringLiteral("Its first row is not the header of a known password export.\r\n") +
                       kKnownLayouts);
    const CsvText csv = readCsv(text);
    if (!csv.error.isEmpty())
        return refused(
            QStringLiteral("The file is not a valid CSV file: in row %1 %2.").arg(csv.errorRow).arg(csv.error));

    PasswordFile file;
    file.layout = QLatin1String(layout->name);
    file.nameColumn = QLatin1String(layout->nameColumn ? layout->nameColumn : layout->urlColumn);
    file.urlColumn = QLatin1String(layout->urlColumn);
    file.loginColumn = QLatin1String(layout->loginColumn);
    file.passwordColumn = QLatin1String(layout->passwordColumn);
    const qsizetype nameAt = column(header, layout->nameColumn), urlAt = column(header, layout->urlColumn),
                    loginAt = column(header, layout->loginColumn), passwordAt = column(header, layout->passwordColumn),
                    typeAt = column(header, layout->typeColumn);
    file.rows.reserve(csv.rows.size() - 1);
    for (qsizetype r = 1; r < csv.rows.size(); ++r) {
        const QStringList &cells = csv.rows.at(r);
        // Cells are matched to columns by position: a row of another length has lost or gained a separator.
        if (cells.size() != header.size())
            return refused(QStringLiteral("Row %1 has %2 cells where the header row has %3; the file is damaged.")
                               .arg(r + 1)
                               .arg(cells.size())
                               .arg(header.size()));
        ImportedRow row;
        row.row = r + 1;
        row.name = cell(cells, nameAt);
        row.url = cell(cells, urlAt);
        row.login = cell(cells, loginAt);
        row.password = cell(cells, passwordAt);
        const QString type = cell(cells, typeAt);
        if (typeAt >= 0 && type != QLatin1String("login"))
            row.otherType = type;
        // A login with several addresses lists them separated by commas; the first one is its page.
        if (typeAt >= 0)
            row.url = row.url.section(QLatin1Char(','), 0, 0);
        file.rows.append(row);
    }
    return file;
}
