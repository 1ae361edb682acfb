#include "profileinput.h"

#include "cp1252text.h"

namespace {

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool profileFromInput(const ProfileInput &input, const WebsiteProfile &before, WebsiteProfile *profile, QString *error)
{
    const WebsiteProfile p {trimBlanks(input.name),
                            trimBlanks(input.url),
                            trimBlanks(input.loginName),
                            trimBlanks(input.password),
                            input.thumbName.isEmpty() ? before.thumbName : input.thumbName,
                            input.tympra};
    if (p.name.isEmpty() || p.url.isEmpty() || p.loginName.isEmpty() || p.password.isEmpty())
        return refuse(error, QStringLiteral("Please fill in the required fields."));

    // The wallet keeps one byte per character; text it cannot hold would come back changed.
    const std::pair<QString, QString> fields[] = {
        {QStringLiteral("Website Name"), p.name},
        {QStringLiteral("The URL"), p.url},
        {QStringLiteral("Your Username"), p.loginName},
        {QStringLiteral("Your Password"), p.password},
        {QStringLiteral("Website Thumbnail"), input.thumbName},
    };
    for (const auto &[field, text] : fields) {
        if (!cp1252text::fits(text))
            return refuse(error,
                          QStringLiteral("\"%1\" contains characters that Vaultry cannot store.\r\n"
                                         "Please use other characters.")
                              .arg(field));
    }
    *profile = p;
    return true;
}
