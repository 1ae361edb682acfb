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

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

const QString kTooLarge = QStringLiteral("The file is larger than 50 MB; a password export is far smaller.");
const QString kEmpty = QStringLiteral("The file is empty.");

qsizetype column(const QStringList &header, const char *name)
{
    return name ? header.indexOf(QLatin1String(name)) : -1;
}

QString cell(const QStringList &row, qsizetype index)
{
    return index >= 0 ? row.at(index) : QString();
}

const Layout *recognised(const QStringList &header)
{
    for (const Layout &candidate : kLayouts) {
        bool all = true;
        for (const char *name : candidate.required)
            all = all && (!name || header.contains(QLatin1String(name)));
        if (all)
            return &candidate;
    }
    return nullptr;
}

// Rows from the second on, matched to the layout's columns by their places in the header.
bool readRows(const Layout &layout, const QList<QStringList> &csv, PasswordFile *file, QString *error)
{
    const QStringList &header = csv.first();
    const qsizetype nameAt = column(header, layout.nameColumn), urlAt = column(header, layout.urlColumn),
                    loginAt = column(header, layout.loginColumn), passwordAt = column(header, layout.passwordColumn),
                    typeAt = column(header, layout.typeColumn);
    file->rows.reserve(csv.size() - 1);
    for (qsizetype r = 1; r < csv.size(); ++r) {
        const QStringList &cells = csv.at(r);
        // Cells are matched to columns by position: a row of another length has lost or gained a separator.
        if (cells.size() != header.size())
            return refuse(error,
                          QStringLiteral("Row %1 has %2 cells where the header row has %3; the file is damaged.")
                              .arg(r + 1)
                              .arg(cells.size())
                              .arg(header.size()));
        ImportedRow row {r + 1, cell(cells, nameAt), cell(cells, urlAt), cell(cells, loginAt), cell(cells, passwordAt),
                         {}};
        const QString type = cell(cells, typeAt);
        if (typeAt >= 0 && type != QLatin1String("login"))
            row.otherType = type;
        // A login with several addresses lists them separated by commas; the first one is its page.
        if (typeAt >= 0)
            row.url = row.url.section(QLatin1Char(','), 0, 0);
        file->rows.append(row);
    }
    return true;
}

} // namespace

bool readPasswordFile(const QString &path, PasswordFile *file, QString *error)
{
    QFile in(path);
    if (QFileInfo(path).size() > kLargestPasswordFile)
        return refuse(error, kTooLarge);
    if (!in.open(QIODevice::ReadOnly))
        return refuse(error, QStringLiteral("The file cannot be read."));
    // Read with a limit as well: the file may have grown since its size was looked at.
    const QByteArray bytes = in.read(kLargestPasswordFile + 1);
    if (bytes.size() > kLargestPasswordFile)
        return refuse(error, kTooLarge);
    return readPasswordText(bytes, file, error);
}

bool readPasswordText(const QByteArray &bytes, PasswordFile *file, QString *error)
{
    if (bytes.isEmpty())
        return refuse(error, kEmpty);
    // A NUL byte marks a binary file; none of the exporting programs writes one, and the wallet could not hold it.
    if (bytes.contains('\0'))
        return refuse(error, QStringLiteral("The file is not a text file."));
    QStringDecoder utf8(QStringDecoder::Utf8); // drops a byte-order mark
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return refuse(error, QStringLiteral("The file is not a text file in UTF-8, the encoding of password exports."));

    // The header row decides first, so that a large file of another kind is refused without reading it all.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QList<QStringList> csv;
    readCsv(QStringView(text).first(lineEnd < 0 ? text.size() : lineEnd), &csv);
    if (csv.isEmpty() && text.trimmed().isEmpty())
        return refuse(error, kEmpty);
    const Layout *layout = recognised(csv.value(0));
    if (!layout)
        return refuse(
            error, QStringLiteral("Its first row is not the header of a known password export.\r\n") + kKnownLayouts);
    QString csvError;
    if (!readCsv(text, &csv, &csvError))
        return refuse(error, QStringLiteral("The file is not a valid CSV file: %1.").arg(csvError));

    PasswordFile read;
    read.layout = QLatin1String(layout->name);
    read.nameColumn = QLatin1String(layout->nameColumn ? layout->nameColumn : layout->urlColumn);
    read.urlColumn = QLatin1String(layout->urlColumn);
    read.loginColumn = QLatin1String(layout->loginColumn);
    read.passwordColumn = QLatin1String(layout->passwordColumn);
    if (!readRows(*layout, csv, &read, error))
        return false;
    *file = std::move(read);
    return true;
}
