#include "profileconfirm.h"

#include "clsagentdb.h"
#include "thumbbackup.h"

#include <optional>

namespace {

const QString kRequired = QStringLiteral("Please fill in the required fields.");
const QString kAddFailed = QStringLiteral("Failed to create new website profile.\r\nPlease try again.");
const QString kThumbFailed = QStringLiteral("Failed to save thumbnail.");
const QString kSaved = QStringLiteral("Database updated successfully.");

// The database keeps one byte per character; text it cannot hold would come back changed.
QString unstorableText(const QString &field)
{
    return QStringLiteral("\"%1\" contains characters that Vaultry cannot store.\r\n"
                          "Please use other characters.")
        .arg(field);
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

ConfirmOutcome confirmProfile(clsAgentDB &db, const ProfileInput &input, qint32 editIndex)
{
    ConfirmOutcome outcome;
    const QString name = trimBlanks(input.name);
    const QString url = trimBlanks(input.url);
    const QString id = trimBlanks(input.id);
    const QString password = trimBlanks(input.password);
    if (name.isEmpty() || url.isEmpty() || id.isEmpty() || password.isEmpty()) {
        outcome.notices.append({kRequired, MessageIcon::Warning});
        return outcome;
    }

    const QString thumbName = input.thumbFullPath.isEmpty() ? QString() : input.thumbName;
    const std::pair<QString, QString> fields[] = {
        {QStringLiteral("Website Name"), name},
        {QStringLiteral("The URL"), url},
        {QStringLiteral("Your Username"), id},
        {QStringLiteral("Your Password"), password},
        {QStringLiteral("Website Thumbnail"), thumbName},
    };
    for (const auto &[field, text] : fields) {
        if (!fitsCodePage1252(text)) {
            outcome.notices.append({unstorableText(field), MessageIcon::Warning});
            return outcome;
        }
    }

    const QList<WebsiteProfile> before = db.Profiles();
    qint32 target = editIndex;
    if (editIndex < 0) {
        if (!db.AddWebsiteProfile(input.tympra, name, url, id, password, QString())) {
            db.RestoreProfiles(before);
            outcome.notices.append({kAddFailed, MessageIcon::Critical});
            return outcome;
        }
        target = db.WebsiteProfileCount() - 1;
    } else {
        db.setWPTympra(target, input.tympra);
        db.setWPName(target, name);
        db.setWPURL(target, url);
        db.setWPID(target, id);
        db.setWPPassword(target, password);
    }

    std::optional<ThumbBackup> thumb;
    if (!input.thumbFullPath.isEmpty()) {
        db.setWPThumbName(target, thumbName);
        thumb.emplace(db.WPThumbName(target));
        if (!db.SaveThumb(target, input.thumbFullPath))
            outcome.notices.append({kThumbFailed, MessageIcon::Critical});
    }

    if (!db.SaveDB()) {
        db.RestoreProfiles(before);
        if (thumb)
            thumb->restore(); // the copy belongs to a change that did not happen
        outcome.notices.append({kUpdateDatabaseFailed, MessageIcon::Critical});
        return outcome;
    }
    outcome.notices.append({kSaved, MessageIcon::Information});
    outcome.saved = true;
    return outcome;
}
