#include "dblayout.h"

#include "cp1252text.h"

#include <string_view>

namespace {

const QString FieldSep = QStringLiteral(u"9\u0000");
const QString RecordSep = QStringLiteral(u"2\u00005\u00005\u0000");

constexpr std::string_view FieldSepBytes {"9\0", 2};
constexpr std::string_view RecordSepBytes {"2\0"
                                           "5\0"
                                           "5\0",
                                           6};
constexpr int FieldsPerRecord = 6;

// Overwrites the characters of text from position at on with replacement, as far as text reaches; its length stays.
void overwrite(QString &text, qsizetype at, const QString &replacement)
{
    const qsizetype n = qMin(replacement.size(), text.size() - at);
    if (n > 0)
        text.replace(at, n, replacement.constData(), n);
}

QString decode(std::string_view bytes)
{
    return cp1252text::decode(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
}

// Hands the pieces between separators to sink in order (one more piece than separators); sink returns false to
// stop early, so that a caller can tell "too many" without walking the rest.
template<typename Sink>
void split(std::string_view text, std::string_view sep, Sink &&sink)
{
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(sep, from);
        if (at == std::string_view::npos) {
            sink(text.substr(from));
            return;
        }
        if (!sink(text.substr(from, at - from)))
            return;
        from = at + sep.size();
    }
}

} // namespace

namespace dblayout {

ByteArray build(const Content &content)
{
    QString header(HeaderSize, QLatin1Char(' '));
    overwrite(header, 0, content.userId + FieldSep + content.masterPassword + FieldSep);
    overwrite(header, CredentialsSize, content.trainData);

    qsizetype size = header.size();
    for (const WebsiteProfile &p : content.profiles)
        size += 1 + 5 * FieldSep.size() + p.Name.size() + p.URL.size() + p.ID.size() + p.Password.size() +
            p.ThumbName.size() + RecordSep.size();

    QString text;
    text.reserve(size);
    text += header;
    for (const WebsiteProfile &p : content.profiles) {
        text += p.Tympra ? QLatin1Char('1') : QLatin1Char('0');
        for (const QString *field : {&p.Name, &p.URL, &p.ID, &p.Password, &p.ThumbName}) {
            text += FieldSep;
            text += *field;
        }
        text += RecordSep;
    }
    return cp1252text::encode(text);
}

std::optional<Content> parse(const std::uint8_t *data, std::size_t size)
{
    if (size < static_cast<std::size_t>(HeaderSize))
        return std::nullopt;
    const std::string_view all(reinterpret_cast<const char *>(data), size);

    Content content;
    int pieces = 0;
    split(all.substr(0, CredentialsSize), FieldSepBytes, [&](std::string_view piece) {
        if (pieces == 0)
            content.userId = decode(piece);
        else if (pieces == 1)
            content.masterPassword = decode(piece);
        ++pieces;
        return true;
    });
    if (pieces < 3)
        return std::nullopt;
    content.trainData = decode(all.substr(CredentialsSize, TrainDataSize));

    split(all.substr(HeaderSize), RecordSepBytes, [&](std::string_view record) {
        std::string_view fields[FieldsPerRecord];
        int count = 0;
        split(record, FieldSepBytes, [&](std::string_view field) {
            if (count < FieldsPerRecord)
                fields[count] = field;
            return ++count <= FieldsPerRecord;
        });
        if (count == FieldsPerRecord) {
            WebsiteProfile p;
            p.Tympra = fields[0] == "1";
            p.Name = decode(fields[1]);
            p.URL = decode(fields[2]);
            p.ID = decode(fields[3]);
            p.Password = decode(fields[4]);
            p.ThumbName = decode(fields[5]);
            content.profiles.append(std::move(p));
        }
        return true;
    });
    return content;
}

} // namespace dblayout
