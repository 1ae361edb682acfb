#include "passwordtransfer.h"

#include "exportfile.h"
#include "filedialogservice.h"
#include "importpreview.h"
#include "importpreviewdialog.h"
#include "mainwindowservices.h"
#include "messageservice.h"
#include "passwordfile.h"
#include "profileinput.h"
#include "profilestore.h"
#include "settings.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kFilter = QStringLiteral("CSV files (*.csv);;All files (*)");
const QString kExportWarning = QStringLiteral(
    "The exported file holds every password in plain text: anyone who can read it can sign in to your accounts.\r\n"
    "Keep it only as long as you need it, then delete it.\r\n\r\nExport all website profiles?");

QString profiles(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 website profile") : QStringLiteral("%1 website profiles").arg(n);
}

// A file may take a moment to read and check; the pointer shows that the program works.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

int importPasswordFile(QWidget *parent, const MainWindowServices &services)
{
    const QString path = services.files.getOpenFileName(parent, QStringLiteral("Import Passwords"), kFilter);
    if (path.isEmpty())
        return 0;
    const QString fileName = QFileInfo(path).fileName();
    PasswordFile file;
    ImportPreview preview;
    QString error;
    bool readable = false;
    {
        const BusyCursor busy;
        readable = readPasswordFile(path, &file, &error);
        if (readable)
            preview = previewImport(file, services.store);
    }
    if (!readable) {
        services.messages.show(
            kApplicationTitle,
            QStringLiteral("\"%1\" cannot be imported, nothing was stored.\r\n%2").arg(fileName, error),
            MessageIcon::Warning);
        return 0;
    }

    ImportPreviewDialog dialog(fileName, file.layout, preview, parent);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    // One change: all of them are added and written once, or none.
    if (!services.store.add(preview.profiles, &error)) {
        services.messages.show(kApplicationTitle, withReason(kUpdateDatabaseFailed, error), MessageIcon::Critical);
        return 0;
    }
    services.messages.show(kApplicationTitle, profiles(preview.profiles.size()) + QStringLiteral(" imported."),
                           MessageIcon::Information);
    return static_cast<int>(preview.profiles.size());
}

void exportPasswordFile(QWidget *parent, const MainWindowServices &services)
{
    const QList<WebsiteProfile> &all = services.store.profiles();
    if (all.isEmpty()) {
        services.messages.show(kApplicationTitle, QStringLiteral("There is no website profile to export."),
                               MessageIcon::Information);
        return;
    }
    // A protected profile asks for the rhythm check before it is opened; the export shows its password too.
    const bool tympra = std::any_of(all.cbegin(), all.cend(), [](const WebsiteProfile &p) { return p.tympra; });
    if (!services.mayReveal(tympra))
        return;
    if (services.messages.show(kApplicationTitle, kExportWarning, MessageIcon::Warning, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;
    const QString path = services.files.getSaveFileName(parent, QStringLiteral("Export Passwords"), kFilter,
                                                        QStringLiteral("vaultry-passwords.csv"));
    if (path.isEmpty())
        return;
    QString error;
    if (!exportProfiles(all, path, {services.store.walletPath(), services.settings.path()}, &error)) {
        services.messages.show(kApplicationTitle,
                               withReason(QStringLiteral("Failed to export the website profiles."), error),
                               MessageIcon::Critical);
        return;
    }
    services.messages.show(
        kApplicationTitle,
        QStringLiteral("%1 exported to \"%2\".").arg(profiles(all.size()), QFileInfo(path).fileName()),
        MessageIcon::Information);
}
