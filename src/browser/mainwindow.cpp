#include "mainwindow.h"

#include "accounttabs.h"
#include "connectiontest.h"
#include "idlewatch.h"
#include "messageservice.h"
#include "passwordhealth.h"
#include "passwordhealthdialog.h"
#include "passwordtransfer.h"
#include "picturebox.h"
#include "pictures.h"
#include "profiledialog.h"
#include "profileinput.h"
#include "profilelist.h"
#include "profilestore.h"
#include "secretclipboard.h"
#include "settings.h"
#include "settingsdialog.h"
#include "startpage.h"
#include "ui_mainwindow.h"
#include "walletlock.h"
#include "walletsync.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

namespace {

const QString kDeleteQuestion = QStringLiteral("Delete this website profile?");

void setPicture(QLabel *label, const QString &picture)
{
    label->setPixmap(vaultryPicture(picture, label->devicePixelRatioF()));
}

} // namespace

MainWindow::MainWindow(const MainWindowServices &services, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), m_services(services),
      m_health(std::make_unique<PasswordHealth>())
{
    initVaultryPictures();
    ui->setupUi(this);
    setPicture(ui->imgWPTympra, QStringLiteral(":/pictures/tympra.png"));
    setPicture(ui->imgLeftCorner, QStringLiteral(":/pictures/corner-left.png"));
    setPicture(ui->imgRightCorner, QStringLiteral(":/pictures/corner-right.png"));
    setPicture(ui->imgSideBar, QStringLiteral(":/pictures/sidebar-hide.png"));
    // The chosen profile's pictures come and go; the controls below them stay where they are.
    for (QWidget *w : {static_cast<QWidget *>(ui->imgWPThumb), static_cast<QWidget *>(ui->imgWPTympra),
                       static_cast<QWidget *>(ui->imgEditWP), static_cast<QWidget *>(ui->imgDeleteWP),
                       static_cast<QWidget *>(ui->imgCopyIDWP), static_cast<QWidget *>(ui->imgCopyPasswordWP)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    for (int k = 1; k <= AccountTabs::kTabCount; ++k)
        ui->tbs->addTab(QString::number(k));
    m_profiles = new ProfileListModel(ui->cboWP);
    ui->cboWP->setModel(m_profiles);

    const WalletLock *lock = installWalletLock(*this, m_services);
    m_tabs = new AccountTabs(
        {ui->tbs, ui->browserArea, ui->txtURL, ui->txtPageTitle, ui->pgrLoad, ui->statusPanel2, ui->chkAutoSignIn},
        m_services.messages, m_services.openExternally, m_services.engineStarting, this);
    m_clipboard = new SecretClipboard(QGuiApplication::clipboard(), {}, this);
    connect(m_clipboard, &SecretClipboard::secretCleared, ui->statusPanel1,
            [this] { ui->statusPanel1->setText(QStringLiteral("The password was cleared from the clipboard.")); });
    connect(lock, &WalletLock::locking, m_clipboard, &SecretClipboard::clearSecret); // a locked wallet lends none
    connectControls();
    addShortcuts();
    connectSettingsAndHealth();
    auto *sync = new WalletSync(m_services.store, m_services.messages, *this);
    connect(sync, &WalletSync::status, ui->statusPanel1, &QLabel::setText);
    // A long message is cut in the status bar rather than widen the window.
    ui->statusPanel1->setSizePolicy(QSizePolicy::Ignored, ui->statusPanel1->sizePolicy().verticalPolicy());
    connect(sync, &WalletSync::walletChanged, this, &MainWindow::takeWalletFromDisk, Qt::QueuedConnection);

    // Filling the list must not count as a choice; position 0 is chosen below.
    fillList(-1);
    chooseProfile(0);
    ui->chkAutoSignIn->setChecked(m_services.settings.autoSignIn());
    showStartPages();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls()
{
    connect(ui->cmdBack, &QToolButton::clicked, m_tabs, &AccountTabs::goBack);
    connect(ui->cmdForward, &QToolButton::clicked, m_tabs, &AccountTabs::goForward);
    connect(ui->cmdRefresh, &QToolButton::clicked, m_tabs, &AccountTabs::refresh);
    connect(ui->cmdStop, &QToolButton::clicked, m_tabs, &AccountTabs::stop);
    // A user's choice counts even when it repeats the chosen profile (a protected one is checked again).
    connect(ui->cboWP, &QComboBox::activated, this, &MainWindow::chooseProfile);
    connect(ui->cmdNewWP, &QPushButton::clicked, this, &MainWindow::newProfile);
    connect(ui->imgEditWP, &QToolButton::clicked, this, &MainWindow::editProfile);
    connect(ui->imgDeleteWP, &QToolButton::clicked, this, &MainWindow::deleteProfile);
    connect(ui->cmdImportWP, &QPushButton::clicked, this, &MainWindow::importPasswords);
    connect(ui->cmdExportWP, &QPushButton::clicked, this, [this] { exportPasswordFile(this, m_services); });
    connect(ui->imgCopyIDWP, &QToolButton::clicked, this, &MainWindow::copyLoginName);
    connect(ui->imgCopyPasswordWP, &QToolButton::clicked, this, &MainWindow::copyPassword);
    connect(ui->txtFindWP, &QLineEdit::textChanged, this, &MainWindow::findTextChanged);
    connect(ui->txtFindWP, &QLineEdit::returnPressed, this, &MainWindow::openFirstMatch);
    for (QObject *watched : {static_cast<QObject *>(ui->txtFindWP), static_cast<QObject *>(ui->cboWP),
                             static_cast<QObject *>(ui->imgSideBar)})
        watched->installEventFilter(this);
}

void MainWindow::addShortcuts()
{
    const auto add = [this](const QKeySequence &keys, auto slot, QWidget *on = nullptr) {
        auto *shortcut = new QShortcut(keys, on ? on : this);
        if (on)
            shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_N), [this] { newProfile(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { editProfile(); });
    add(
        QKeySequence(Qt::Key_Delete), [this] { deleteProfile(); }, ui->cboWP);
    // Alt with a letter: Ctrl+C and Ctrl+Shift+C belong to the page (copy) and to browsers (inspect).
    add(QKeySequence(Qt::ALT | Qt::Key_U), [this] { copyLoginName(); });
    add(QKeySequence(Qt::ALT | Qt::Key_P), [this] { copyPassword(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (ui->fraSideBar->isHidden())
            toggleSideBar();
        ui->txtFindWP->setFocus(Qt::ShortcutFocusReason);
        ui->txtFindWP->selectAll();
    });
    for (int k = 0; k < AccountTabs::kTabCount; ++k)
        add(QKeySequence(Qt::CTRL | (Qt::Key_1 + k)), [this, k] { ui->tbs->setCurrentIndex(k); });
    add(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { m_tabs->goBack(); });
    add(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { m_tabs->goForward(); });
    add(QKeySequence(Qt::Key_F5), [this] { m_tabs->refresh(); });
    add(QKeySequence(Qt::Key_Escape), [this] { m_tabs->stop(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { m_tabs->closePage(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        ui->txtURL->setFocus(Qt::ShortcutFocusReason);
        ui->txtURL->selectAll();
    });
}

void MainWindow::showStartPages()
{
    const QString html = startPageHtml(logoPath(m_services.programFolder));
    const QUrl base = startPageBaseUrl(m_services.programFolder);
    for (int i = 0; i < AccountTabs::kTabCount; ++i)
        m_tabs->showStartPage(i, html, base);

    // The page of the HomePage setting, if there is one, opens in tab "1" when a connection exists; offline every
    // tab keeps the start page, and no message is shown.
    const QString homePage = m_services.settings.homePage();
    if (homePage.isEmpty() || !m_services.connection.isConnected())
        return;
    m_tabs->navigate(0, QUrl::fromUserInput(homePage));
}

int MainWindow::chosenProfile() const
{
    return m_profiles->profileAt(ui->cboWP->currentIndex());
}

void MainWindow::selectPosition(int position)
{
    if (ui->cboWP->currentIndex() == position)
        return;
    {
        const QSignalBlocker blocker(ui->cboWP);
        ui->cboWP->setCurrentIndex(position);
    }
    chooseProfile(position);
}

void MainWindow::fillList(int chosen)
{
    const QSignalBlocker blocker(ui->cboWP);
    m_profiles->setProfiles(m_services.store.profiles());
    ui->cboWP->setCurrentIndex(qMax(0, m_profiles->rowOf(chosen)));
    // Counted once the window is on the screen: a large wallet takes a moment to rate.
    QTimer::singleShot(0, this, &MainWindow::updateHealthButton);
}

void MainWindow::findTextChanged()
{
    const int chosen = chosenProfile();
    {
        const QSignalBlocker blocker(ui->cboWP);
        m_profiles->setFilter(ui->txtFindWP->text());
        ui->cboWP->setCurrentIndex(qMax(0, m_profiles->rowOf(chosen)));
    }
    // A chosen profile the text hides is no longer chosen: no picture or button may act on it.
    if (chosen >= 0 && chosenProfile() < 0)
        hideProfilePictures();
}

void MainWindow::openFirstMatch()
{
    // The first match opens in the current tab, as a choice from the list would.
    if (m_profiles->profileAt(1) < 0)
        return;
    {
        const QSignalBlocker blocker(ui->cboWP);
        ui->cboWP->setCurrentIndex(1);
    }
    chooseProfile(1);
}

void MainWindow::chooseProfile(int position)
{
    const int i = m_profiles->profileAt(position);
    if (i < 0) {
        hideProfilePictures();
        return;
    }
    const WebsiteProfile p = m_services.store.profiles().at(i);
    for (QWidget *button : {ui->imgDeleteWP, ui->imgEditWP, ui->imgCopyIDWP, ui->imgCopyPasswordWP})
        button->show();
    showProfilePictures(i);
    if (m_services.mayReveal(p.tympra))
        m_tabs->openProfile(p.url, p.loginName, p.password);
}

void MainWindow::showProfilePictures(int profile)
{
    const WebsiteProfile &p = m_services.store.profiles().at(profile);
    ui->imgWPTympra->setVisible(p.tympra);
    ui->imgWPThumb->show();
    showThumb(m_services.store.thumbPath(p));
}

void MainWindow::hideProfilePictures()
{
    for (QWidget *w : {static_cast<QWidget *>(ui->imgWPTympra), static_cast<QWidget *>(ui->imgDeleteWP),
                       static_cast<QWidget *>(ui->imgEditWP), static_cast<QWidget *>(ui->imgCopyIDWP),
                       static_cast<QWidget *>(ui->imgCopyPasswordWP), static_cast<QWidget *>(ui->imgWPThumb)})
        w->hide();
    ui->imgWPThumb->clear();
}

void MainWindow::showThumb(const QString &path)
{
    if (!loadPicture(ui->imgWPThumb, path, ui->imgWPThumb->size()))
        ui->imgWPThumb->clear();
}

void MainWindow::takeWalletFromDisk(const QString &status)
{
    // Store indices moved: the chosen profile is found again by its name.
    const QString chosenName = chosenProfile() < 0 ? QString() : ui->cboWP->currentText();
    const QList<WebsiteProfile> &profiles = m_services.store.profiles();
    const auto found = std::find_if(profiles.begin(), profiles.end(), [&](const WebsiteProfile &p) {
        return !chosenName.isNull() && p.name == chosenName;
    });
    fillList(found == profiles.end() ? -1 : int(found - profiles.begin()));
    chosenProfile() < 0 ? hideProfilePictures() : showProfilePictures(chosenProfile());
    m_tabs->followProfiles(profiles);
    ui->statusPanel1->setText(status);
}

void MainWindow::newProfile()
{
    ProfileDialog dialog(m_services.store, -1, m_services.messages, m_services.files, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The new profile must be in the list to be chosen: the find text goes.
    ui->txtFindWP->clear();
    fillList(chosenProfile());
    selectPosition(m_profiles->rowOf(int(m_services.store.profiles().size()) - 1));
}

void MainWindow::editProfile()
{
    const int i = chosenProfile();
    if (i < 0)
        return;
    ProfileDialog dialog(m_services.store, i, m_services.messages, m_services.files, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The tab keeps its page and the copies it took; only the list and the pictures follow the edit.
    showEditedProfiles();
}

void MainWindow::showEditedProfiles()
{
    const int i = chosenProfile();
    fillList(i);
    if (chosenProfile() < 0)
        hideProfilePictures(); // the new name and address no longer contain the find text
    else
        showProfilePictures(i);
}

void MainWindow::deleteProfile()
{
    const int i = chosenProfile();
    if (i < 0)
        return;
    if (m_services.messages.show(kApplicationTitle, kDeleteQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;
    QString error;
    if (!m_services.store.remove(i, &error)) {
        // The file still holds the profile: so do the store and the list.
        m_services.messages.show(kApplicationTitle, withReason(kUpdateDatabaseFailed, error), MessageIcon::Critical);
        return;
    }
    fillList(-1);
    chooseProfile(0);
}

void MainWindow::importPasswords()
{
    // The new profiles are the last ones of the store; the chosen one stays chosen.
    if (importPasswordFile(this, m_services) > 0)
        fillList(chosenProfile());
}

void MainWindow::copyLoginName()
{
    const int i = chosenProfile();
    if (i < 0)
        return;
    const WebsiteProfile &p = m_services.store.profiles().at(i);
    m_clipboard->copyText(p.loginName);
    ui->statusPanel1->setText(QStringLiteral("Login name of %1 copied.").arg(p.name));
}

void MainWindow::copyPassword()
{
    const int i = chosenProfile();
    // A protected profile's password leaves the wallet only after the rhythm check, as its page does.
    if (i < 0 || !m_services.mayReveal(m_services.store.profiles().at(i).tympra))
        return;
    const WebsiteProfile &p = m_services.store.profiles().at(i);
    const int seconds = m_services.settings.clipboardSeconds();
    m_clipboard->copySecret(p.password, seconds);
    ui->statusPanel1->setText(
        QStringLiteral("Password of %1 copied; the clipboard clears in %2 seconds.").arg(p.name).arg(seconds));
}

void MainWindow::connectSettingsAndHealth()
{
    connect(ui->cmdSettings, &QPushButton::clicked, this, &MainWindow::openSettings);
    connect(ui->cmdHealth, &QPushButton::clicked, this, &MainWindow::openPasswordHealth);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this), &QShortcut::activated, this,
            &MainWindow::openSettings);
}

void MainWindow::openSettings()
{
    std::function<void()> changeMasterPassword;
    if (m_services.newMasterPassword)
        changeMasterPassword = [this] {
            if (m_services.changeMasterPassword())
                ui->statusPanel1->setText(QStringLiteral("The master password was changed."));
        };
    SettingsDialog dialog({m_services.settings, m_services.messages, m_services.sealWallet, changeMasterPassword},
                          this);
    dialog.exec();
    // A new LockMinutes counts from now on, not only from the next start.
    if (auto *idle = findChild<IdleWatch *>())
        idle->setInterval(IdleWatch::fromMinutes(m_services.settings.lockMinutes()));
}

void MainWindow::openPasswordHealth()
{
    PasswordHealthDialog dialog(m_services, *m_health, this);
    dialog.exec();
    if (dialog.edited())
        showEditedProfiles();
}

void MainWindow::updateHealthButton()
{
    // Protected profiles are left out: what the number says of them would tell of their passwords.
    ui->cmdHealth->setText(
        PasswordHealthDialog::buttonText(m_health->check(m_services.store.profiles(), false).findings()));
}

void MainWindow::toggleSideBar()
{
    ui->fraSideBar->setVisible(ui->fraSideBar->isHidden());
    setPicture(ui->imgSideBar,
               ui->fraSideBar->isHidden() ? QStringLiteral(":/pictures/sidebar-show.png")
                                          : QStringLiteral(":/pictures/sidebar-hide.png"));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->imgSideBar && event->type() == QEvent::MouseButtonRelease) {
        toggleSideBar();
        return true;
    }
    const auto *key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride
        ? static_cast<QKeyEvent *>(event)
        : nullptr;
    // Esc in the find box clears it (the window's Esc stops loading only when there is nothing to clear).
    if (watched == ui->txtFindWP && key && key->key() == Qt::Key_Escape && !ui->txtFindWP->text().isEmpty()) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            ui->txtFindWP->clear();
        return true;
    }
    return typeIntoFind(watched, event) || QMainWindow::eventFilter(watched, event);
}

// Typing into the list finds instead of jumping to a name, which would count as a choice. Space still opens the list.
bool MainWindow::typeIntoFind(QObject *watched, QEvent *event)
{
    if (watched != ui->cboWP || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->text().isEmpty() || !key->text().at(0).isPrint() || key->text().at(0).isSpace() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    ui->txtFindWP->setFocus(Qt::OtherFocusReason);
    ui->txtFindWP->insert(key->text());
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_services.settings.setAutoSignIn(ui->chkAutoSignIn->isChecked());
    event->accept();
}
