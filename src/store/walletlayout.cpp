#include "walletlayout.h"

#include "cp1252text.h"

#include <cstring>
#include <string_view>

namespace {

const QString FieldSep = QStringLiteral(u"9\0");
const QString RecordSep = QStringLiteral(u"2\0"
                                         u"5\0"
                                         u"5\0");

constexpr std::string_view FieldSepBytes {"9\0", 2};
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

// Reads the records of data[begin, end) into profiles: the pieces between record separators that hold exactly six
// fields. Every separator contains a NUL, so one walk from NUL to NUL finds both kinds; "9" NUL and "2" NUL "5" NUL
// "5" NUL can never overlap each other or themselves, so this gives the same pieces as splitting at the record
// separators first and at the field separators within each piece.
void readRecords(const std::uint8_t *data, std::size_t begin, std::size_t end, QList<WebsiteProfile> &profiles)
{
    std::size_t recordStart = begin;
    std::size_t fieldSeps[FieldsPerRecord]; // where the field separators of this piece start; one more means too many
    int fieldSepCount = 0;

    const auto endRecord = [&](std::size_t recordEnd) {
        if (fieldSepCount == FieldsPerRecord - 1) {
            const auto field = [&](int i) {
                const std::size_t from = i == 0 ? recordStart : fieldSeps[i - 1] + FieldSepBytes.size();
                const std::size_t to = i == FieldsPerRecord - 1 ? recordEnd : fieldSeps[i];
                return std::string_view(reinterpret_cast<const char *>(data) + from, to - from);
            };
            WebsiteProfile p;
            p.tympra = field(0) == "1";
            p.name = decode(field(1));
            p.url = decode(field(2));
            p.loginName = decode(field(3));
            p.password = decode(field(4));
            p.thumbName = decode(field(5));
            profiles.append(std::move(p));
        }
        fieldSepCount = 0;
    };

    std::size_t at = begin;
    while (at < end) {
        const void *hit = std::memchr(data + at, 0, end - at);
        if (!hit)
            break;
        const auto nul = static_cast<std::size_t>(static_cast<const std::uint8_t *>(hit) - data);
        at = nul + 1;
        if (nul == recordStart)
            continue; // the byte before belongs to the header or to the previous record separator
        const std::uint8_t before = data[nul - 1];
        if (before == '2' && end - nul >= 5 && data[nul + 1] == '5' && data[nul + 2] == 0 && data[nul + 3] == '5' &&
            data[nul + 4] == 0) {
            endRecord(nul - 1);
            recordStart = nul + 5;
            at = recordStart;
        } else if (before == '9' && fieldSepCount < FieldsPerRecord) {
            fieldSeps[fieldSepCount++] = nul - 1;
        }
    }
    endRecord(end);
}

} // namespace

namespace walletlayout {

ByteArray build(const WalletContent &content)
{
    const Enrolment &e = content.enrolment;
    QString header(HeaderSize, QLatin1Char(' '));
    overwrite(header, 0, e.userName + FieldSep + e.masterPassword + FieldSep);
    overwrite(header, CredentialsSize, e.trainingText);

    qsizetype size = header.size();
    for (const WebsiteProfile &p : content.profiles)
        size += 1 + 5 * FieldSep.size() + p.name.size() + p.url.size() + p.loginName.size() + p.password.size() +
            p.thumbName.size() + RecordSep.size();

    QString text;
    text.reserve(size);
    text += header;
    for (const WebsiteProfile &p : content.profiles) {
        text += p.tympra ? QLatin1Char('1') : QLatin1Char('0');
        for (const QString *field : {&p.name, &p.url, &p.loginName, &p.password, &p.thumbName}) {
            text += FieldSep;
            text += *field;
        }
        text += RecordSep;
    }
    return cp1252text::encode(text);
}

bool parse(const std::uint8_t *data, std::size_t size, WalletContent *content)
{
    if (size < static_cast<std::size_t>(HeaderSize))
        return false;
    const std::string_view all(reinterpret_cast<const char *>(data), size);

    WalletContent read;
    int pieces = 0;
    split(all.substr(0, CredentialsSize), FieldSepBytes, [&](std::string_view piece) {
        if (pieces == 0)
            read.enrolment.userName = decode(piece);
        else if (pieces == 1)
            read.enrolment.masterPassword = decode(piece);
        ++pieces;
        return true;
    });
    if (pieces < 3)
        return false;
    read.enrolment.trainingText = decode(all.substr(CredentialsSize, TrainingTextSize));

    readRecords(data, HeaderSize, size, read.profiles);
    *content = std::move(read);
    return true;
}

} // namespace walletlayout
