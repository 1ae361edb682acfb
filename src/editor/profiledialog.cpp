#include "profiledialog.h"

#include "filedialogservice.h"
#include "messageservice.h"
#include "passwordboxtools.h"
#include "picturebox.h"
#include "pictures.h"
#include "profileinput.h"
#include "profilestore.h"
#include "ui_profiledialog.h"

#include <QEvent>
#include <QFileInfo>
#include <QTimer>

ProfileDialog::ProfileDialog(ProfileStore &store, int index, MessageService &messages, FileDialogService &files,
                             QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ProfileDialog>()), m_store(store), m_index(index), m_messages(messages),
      m_files(files)
{
    initVaultryPictures();
    ui->setupUi(this);
    new PasswordBoxTools(ui->txtPassword, ui->cmdShowPassword, ui->cmdGeneratePassword, ui->pgrStrength,
                         ui->lblStrength, this); // shows the password as "*" until asked
    ui->imgWPTympra->setPixmap(vaultryPicture(QStringLiteral(":/pictures/tympra.png"), devicePixelRatioF()));
    for (QWidget *picture : {static_cast<QWidget *>(ui->imgThumb), static_cast<QWidget *>(ui->lblNewThumb)})
        picture->installEventFilter(this);
    for (QLineEdit *box : {ui->txtWebsiteName, ui->txtURL, ui->txtID, ui->txtPassword})
        box->installEventFilter(this);
    connect(ui->cmdConfirm, &QPushButton::clicked, this, &ProfileDialog::confirm);
    ui->txtWebsiteName->setFocus();

    if (index < 0)
        return;
    const WebsiteProfile &p = store.profiles().at(index);
    ui->txtWebsiteName->setText(p.name);
    ui->txtURL->setText(p.url);
    ui->txtID->setText(p.loginName);
    ui->txtPassword->setText(p.password);
    ui->chkTympra->setChecked(p.tympra);
    showThumb(store.thumbPath(p));
}

ProfileDialog::~ProfileDialog() = default;

void ProfileDialog::showThumb(const QString &path)
{
    if (!loadPicture(ui->imgThumb, path, ui->imgThumb->size()))
        ui->imgThumb->clear();
}

void ProfileDialog::confirm()
{
    const ProfileInput input {ui->txtWebsiteName->text(), ui->txtURL->text(),         ui->txtID->text(),
                              ui->txtPassword->text(),    ui->chkTympra->isChecked(), m_thumbName};
    WebsiteProfile profile;
    QString error;
    if (!profileFromInput(input, m_index < 0 ? WebsiteProfile() : m_store.profiles().at(m_index), &profile, &error)) {
        m_messages.show(kApplicationTitle, error, MessageIcon::Warning);
        return;
    }
    if (!(m_index < 0 ? m_store.add(profile, &error) : m_store.replace(m_index, profile, &error))) {
        m_messages.show(kApplicationTitle, withReason(kUpdateDatabaseFailed, error), MessageIcon::Critical);
        return;
    }
    // The picture is copied once the wallet holds its name, so that a failed save leaves no copy to take back.
    if (!m_thumbName.isEmpty() && !m_store.saveThumb(ui->txtThumbFullPath->text(), m_thumbName, &error))
        m_messages.show(kApplicationTitle, withReason(QStringLiteral("Failed to save thumbnail."), error),
                        MessageIcon::Critical);
    m_messages.show(kApplicationTitle, QStringLiteral("Database updated successfully."), MessageIcon::Information);
    accept();
}

void ProfileDialog::choosePicture()
{
    const QString path = m_files.getOpenFileName(this, QStringLiteral("Website Thumbnail"),
                                                 QStringLiteral("Picture files (*.bmp *.jpg *.gif)"));
    if (path.isEmpty())
        return; // cancelled
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    // A file that is no picture leaves the shown picture, but is still taken (Confirm copies it).
    loadPicture(ui->imgThumb, path, ui->imgThumb->size());
    m_thumbName = info.fileName();
    ui->txtThumbFullPath->setText(path);
}

bool ProfileDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == ui->imgThumb || watched == ui->lblNewThumb)) {
        choosePicture();
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched)) {
            // After the click that focused the box has placed the cursor.
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}
