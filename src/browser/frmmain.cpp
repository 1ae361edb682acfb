#include "frmmain.h"

#include "accounttabbar.h"
#include "accounttabs.h"
#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmwebsiteprofile.h"
#include "messageservice.h"
#include "passwordtransfer.h"
#include "picturebox.h"
#include "pictures.h"
#include "profileconfirm.h"
#include "profilelist.h"
#include "secretclipboard.h"
#include "startpage.h"
#include "thumbbackup.h"
#include "walletlock.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>

namespace {

const QString kDeleteQuestion = QStringLiteral("Delete this website profile?");

// Colour of the title band; the corner pictures are drawn in the same colour.
const QString kBandStyle = QStringLiteral("background-color: #2b4a78;");

QToolButton *pictureButton(const QString &name, const QString &picture, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(picture));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QLabel *picture(const QString &name, const QString &file, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    if (!file.isEmpty())
        label->setPixmap(vaultryPicture(file, label->devicePixelRatioF()));
    return label;
}

// Seconds a copied password stays on the clipboard, from vy.ini.
constexpr int kClipboardSeconds = 10;

} // namespace

frmMain::frmMain(const MainWindowServices &services, QWidget *parent) : QMainWindow(parent), m_services(services)
{
    initVaultryPictures();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vaultry (Free Distribution)"));
    buildControls();
    WalletLock *lock = installWalletLock(*this, m_services);

    AccountTabsControls controls;
    controls.tbs = tbs;
    controls.browserArea = browserArea;
    controls.txtURL = txtURL;
    controls.txtPageTitle = txtPageTitle;
    controls.pgrLoad = pgrLoad;
    controls.statusPanel2 = statusPanel2;
    controls.chkAutoSignIn = chkAutoSignIn;
    m_tabs = new AccountTabs(controls, m_services.messages, m_services.openExternally, this);

    connect(cmdBack, &QToolButton::clicked, m_tabs, &AccountTabs::goBack);
    connect(cmdForward, &QToolButton::clicked, m_tabs, &AccountTabs::goForward);
    connect(cmdRefresh, &QToolButton::clicked, m_tabs, &AccountTabs::refresh);
    connect(cmdStop, &QToolButton::clicked, m_tabs, &AccountTabs::stop);
    // A user's choice counts even when it repeats the chosen profile (a protected one is checked again).
    connect(cboWP, &QComboBox::activated, this, &frmMain::cboWP_Click);
    connect(cmdNewWP, &QPushButton::clicked, this, &frmMain::cmdNewWP_Click);
    connect(imgEditWP, &QToolButton::clicked, this, &frmMain::imgEditWP_Click);
    connect(imgDeleteWP, &QToolButton::clicked, this, &frmMain::imgDeleteWP_Click);
    connect(cmdImportWP, &QPushButton::clicked, this, &frmMain::cmdImportWP_Click);
    connect(cmdExportWP, &QPushButton::clicked, this, &frmMain::cmdExportWP_Click);
    connect(imgCopyIDWP, &QToolButton::clicked, this, &frmMain::imgCopyIDWP_Click);
    connect(imgCopyPasswordWP, &QToolButton::clicked, this, &frmMain::imgCopyPasswordWP_Click);
    connect(txtFindWP, &QLineEdit::textChanged, this, &frmMain::txtFindWP_Changed);
    connect(txtFindWP, &QLineEdit::returnPressed, this, [this] {
        // The first match opens in the current tab, as a choice from the list would.
        if (m_profiles->profileAt(1) < 0)
            return;
        {
            const QSignalBlocker blocker(cboWP);
            cboWP->setCurrentIndex(1);
        }
        cboWP_Click(1);
    });
    m_clipboard = new SecretClipboard(QGuiApplication::clipboard(), {}, this);
    connect(m_clipboard, &SecretClipboard::secretCleared, statusPanel1,
            [this] { statusPanel1->setText(QStringLiteral("The password was cleared from the clipboard.")); });
    connect(lock, &WalletLock::locking, m_clipboard, &SecretClipboard::clearSecret); // a locked wallet lends none
    addShortcuts();

    resize(twips(10455), twips(8130, Qt::Vertical)); // the designed client area, status bar included
    Form_Load();
}

frmMain::~frmMain() = default;

int frmMain::twips(double value, Qt::Orientation orientation) const
{
    const int dpi = orientation == Qt::Horizontal ? logicalDpiX() : logicalDpiY();
    return qRound(value * dpi / 1440.0);
}

void frmMain::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    fraSideBar = new QFrame(m_client);
    fraSideBar->setObjectName(QStringLiteral("fraSideBar"));
    Label8 = new QLabel(QStringLiteral("Website Profiles"), fraSideBar);
    Label8->setObjectName(QStringLiteral("Label8"));
    QFont heading = Label8->font();
    heading.setBold(true);
    Label8->setFont(heading);
    txtFindWP = new QLineEdit(fraSideBar);
    txtFindWP->setObjectName(QStringLiteral("txtFindWP"));
    txtFindWP->setPlaceholderText(QStringLiteral("Find (Ctrl+F)"));
    txtFindWP->setAccessibleName(QStringLiteral("Find a website profile"));
    txtFindWP->setClearButtonEnabled(true);
    txtFindWP->installEventFilter(this);
    cboWP = new QComboBox(fraSideBar);
    cboWP->setObjectName(QStringLiteral("cboWP"));
    m_profiles = new ProfileListModel(cboWP);
    cboWP->setModel(m_profiles);
    cboWP->installEventFilter(this);
    Label8->setBuddy(cboWP);
    imgWPThumb = picture(QStringLiteral("imgWPThumb"), QString(), fraSideBar);
    imgWPThumb->setToolTip(QStringLiteral("Website Thumbnail"));
    imgWPThumb->setAlignment(Qt::AlignCenter);
    imgWPTympra = picture(QStringLiteral("imgWPTympra"), QStringLiteral(":/pictures/tympra.png"), fraSideBar);
    imgWPTympra->setToolTip(QStringLiteral("Secured by Tympra"));
    imgEditWP = pictureButton(QStringLiteral("imgEditWP"), QStringLiteral(":/pictures/edit.png"),
                              QStringLiteral("Edit"), fraSideBar);
    imgDeleteWP = pictureButton(QStringLiteral("imgDeleteWP"), QStringLiteral(":/pictures/delete.png"),
                                QStringLiteral("Delete"), fraSideBar);
    imgCopyIDWP = pictureButton(QStringLiteral("imgCopyIDWP"), QStringLiteral(":/pictures/copy-id.png"),
                                QStringLiteral("Copy login name (Alt+U)"), fraSideBar);
    imgCopyPasswordWP =
        pictureButton(QStringLiteral("imgCopyPasswordWP"), QStringLiteral(":/pictures/copy-password.png"),
                      QStringLiteral("Copy password (Alt+P)"), fraSideBar);
    chkAutoSignIn = new QCheckBox(QStringLiteral("Automatically sign in."), fraSideBar);
    chkAutoSignIn->setObjectName(QStringLiteral("chkAutoSignIn"));
    Label1 = new QLabel(QStringLiteral("Turn your Keyboard into Biometric Sensor! "), fraSideBar);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    cmdNewWP = new QPushButton(QStringLiteral("New Website Profile"), fraSideBar);
    cmdNewWP->setObjectName(QStringLiteral("cmdNewWP"));
    cmdNewWP->setToolTip(QStringLiteral("Create new website profile"));
    // Moving in from a browser or another wallet, and out again; after "New Website Profile" in the tab order.
    cmdImportWP = new QPushButton(QStringLiteral("Import Passwords..."), fraSideBar);
    cmdImportWP->setObjectName(QStringLiteral("cmdImportWP"));
    cmdImportWP->setToolTip(QStringLiteral("Add website profiles from the CSV export of a browser or another wallet"));
    cmdExportWP = new QPushButton(QStringLiteral("Export Passwords..."), fraSideBar);
    cmdExportWP->setObjectName(QStringLiteral("cmdExportWP"));
    cmdExportWP->setToolTip(QStringLiteral("Write every website profile to a CSV file"));

    cmdBack = pictureButton(QStringLiteral("cmdBack"), QStringLiteral(":/pictures/back.png"),
                            QStringLiteral("Back one page"), m_client);
    cmdForward = pictureButton(QStringLiteral("cmdForward"), QStringLiteral(":/pictures/forward.png"),
                               QStringLiteral("Forward one page"), m_client);
    cmdStop = pictureButton(QStringLiteral("cmdStop"), QStringLiteral(":/pictures/stop.png"),
                            QStringLiteral("Stop loading page"), m_client);
    cmdRefresh = pictureButton(QStringLiteral("cmdRefresh"), QStringLiteral(":/pictures/refresh.png"),
                               QStringLiteral("Refresh page"), m_client);

    imgSideBar = picture(QStringLiteral("imgSideBar"), QString(), m_client);
    imgSideBar->setCursor(Qt::PointingHandCursor);
    imgSideBar->installEventFilter(this);

    lblTitleBack = new QLabel(m_client);
    lblTitleBack->setObjectName(QStringLiteral("lblTitleBack"));
    lblTitleBack->setStyleSheet(kBandStyle);
    imgLeftCorner = picture(QStringLiteral("imgLeftCorner"), QStringLiteral(":/pictures/corner-left.png"), m_client);
    imgRightCorner = picture(QStringLiteral("imgRightCorner"), QStringLiteral(":/pictures/corner-right.png"), m_client);
    // The corners round off the band: around their rounded ends the window's own colour shows.
    imgLeftCorner->setAutoFillBackground(true);
    imgRightCorner->setAutoFillBackground(true);
    txtPageTitle = new QLineEdit(m_client);
    txtPageTitle->setObjectName(QStringLiteral("txtPageTitle"));
    txtPageTitle->setReadOnly(true);
    txtPageTitle->setFrame(false);
    txtPageTitle->setFocusPolicy(Qt::ClickFocus);
    txtPageTitle->setStyleSheet(QStringLiteral("background: transparent; color: white; font-weight: bold;"));
    txtPageTitle->setAccessibleName(QStringLiteral("Page title"));

    tabPage = new QFrame(m_client);
    tabPage->setObjectName(QStringLiteral("tabPage"));
    tabPage->setFrameShape(QFrame::StyledPanel);
    tabPage->setAutoFillBackground(true);
    tbs = new AccountTabBar(m_client);
    tbs->setObjectName(QStringLiteral("tbs"));
    tbs->setAccessibleName(QStringLiteral("Account tabs"));
    for (int k = 1; k <= 5; ++k)
        tbs->addTab(QString::number(k));
    txtURL = new QLineEdit(m_client);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    txtURL->setReadOnly(true);
    txtURL->setAccessibleName(QStringLiteral("Address"));
    browserArea = new QWidget(m_client);
    browserArea->setObjectName(QStringLiteral("browserArea"));

    statusPanel1 = new QLabel(statusBar());
    statusPanel1->setObjectName(QStringLiteral("statusPanel1"));
    statusPanel2 = new QLabel(statusBar());
    statusPanel2->setObjectName(QStringLiteral("statusPanel2"));
    statusPanel2->setMinimumWidth(twips(2955));
    for (QLabel *panel : {statusPanel1, statusPanel2})
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->setObjectName(QStringLiteral("stbStatus"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(statusPanel1, 1);
    statusBar()->addPermanentWidget(statusPanel2);
    // Laid over the status bar's first panel while a page loads.
    pgrLoad = new QProgressBar(this);
    pgrLoad->setObjectName(QStringLiteral("pgrLoad"));
    pgrLoad->setRange(0, 100);
    pgrLoad->setTextVisible(false);
    pgrLoad->hide();

    // Side bar top to bottom, then the navigation buttons, the tabs and the address; the pages come last.
    const QList<QWidget *> order {txtFindWP,     cboWP,      imgEditWP,   imgDeleteWP, imgCopyIDWP, imgCopyPasswordWP,
                                  chkAutoSignIn, cmdNewWP,   cmdImportWP, cmdExportWP, cmdBack,     cmdForward,
                                  cmdStop,       cmdRefresh, tbs,         txtURL};
    for (qsizetype k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);
}

void frmMain::addShortcuts()
{
    const auto add = [this](const QKeySequence &keys, auto slot, QWidget *on = nullptr) {
        auto *shortcut = new QShortcut(keys, on ? on : this);
        if (on)
            shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_N), [this] { cmdNewWP_Click(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { imgEditWP_Click(); });
    add(
        QKeySequence(Qt::Key_Delete), [this] { imgDeleteWP_Click(); }, cboWP);
    // Alt with a letter: Ctrl+C and Ctrl+Shift+C belong to the page (copy) and to browsers (inspect).
    add(QKeySequence(Qt::ALT | Qt::Key_U), [this] { imgCopyIDWP_Click(); });
    add(QKeySequence(Qt::ALT | Qt::Key_P), [this] { imgCopyPasswordWP_Click(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (fraSideBar->isHidden())
            imgSideBar_Click();
        txtFindWP->setFocus(Qt::ShortcutFocusReason);
        txtFindWP->selectAll();
    });
    for (int k = 0; k < AccountTabs::kTabCount; ++k)
        add(QKeySequence(Qt::CTRL | (Qt::Key_1 + k)), [this, k] { tbs->setCurrentIndex(k); });
    add(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { m_tabs->goBack(); });
    add(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { m_tabs->goForward(); });
    add(QKeySequence(Qt::Key_F5), [this] { m_tabs->refresh(); });
    add(QKeySequence(Qt::Key_Escape), [this] { m_tabs->stop(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        txtURL->setFocus(Qt::ShortcutFocusReason);
        txtURL->selectAll();
    });
}

void frmMain::Form_Load()
{
    clsAgentDB &db = m_services.db;
    // Filling the list must not count as a choice; position 0 is chosen below.
    fillList(-1);
    cboWP_Click(0);

    imgSideBar->setPixmap(vaultryPicture(QStringLiteral(":/pictures/sidebar-hide.png"), devicePixelRatioF()));
    chkAutoSignIn->setChecked(db.INIAutoSignIn().toInt() != 0);

    const QString html = startPageHtml(logoPath(m_services.programFolder));
    const QUrl base = startPageBaseUrl(m_services.programFolder);
    for (int i = 0; i < AccountTabs::kTabCount; ++i) {
        m_tabs->showStartPage(i, html, base);
        m_tabs->tab(i).bTabInUse = false;
        m_tabs->tab(i).bTabSignInDone = false;
    }

    // The page of the HomePage setting, if there is one, opens in tab "1" when a connection exists; offline every
    // tab keeps the start page, and no message is shown.
    const QString homePage = db.INIHomePage();
    if (homePage.isEmpty() || !m_services.connection.isConnected())
        return;
    m_tabs->navigate(0, QUrl::fromUserInput(homePage));
}

void frmMain::selectPosition(int position)
{
    if (cboWP->currentIndex() == position)
        return;
    {
        const QSignalBlocker blocker(cboWP);
        cboWP->setCurrentIndex(position);
    }
    cboWP_Click(position);
}

int frmMain::chosenProfile() const
{
    return m_profiles->profileAt(cboWP->currentIndex());
}

void frmMain::fillList(int chosen)
{
    const QSignalBlocker blocker(cboWP);
    m_profiles->setProfiles(m_services.db.Profiles());
    cboWP->setCurrentIndex(qMax(0, m_profiles->rowOf(chosen)));
}

void frmMain::txtFindWP_Changed()
{
    const int chosen = chosenProfile();
    {
        const QSignalBlocker blocker(cboWP);
        m_profiles->setFilter(txtFindWP->text());
        cboWP->setCurrentIndex(qMax(0, m_profiles->rowOf(chosen)));
    }
    // A chosen profile the text hides is no longer chosen: no picture or button may act on it.
    if (chosen >= 0 && chosenProfile() < 0)
        hideProfilePictures();
}

void frmMain::hideProfilePictures()
{
    imgWPTympra->hide();
    imgDeleteWP->hide();
    imgEditWP->hide();
    imgCopyIDWP->hide();
    imgCopyPasswordWP->hide();
    imgWPThumb->hide();
    imgWPThumb->clear();
}

void frmMain::cboWP_Click(int position)
{
    const qint32 i = m_profiles->profileAt(position);
    if (i < 0) {
        hideProfilePictures();
        return;
    }
    clsAgentDB &db = m_services.db;
    imgWPTympra->setVisible(db.WPTympra(i));
    for (QWidget *button : {imgDeleteWP, imgEditWP, imgCopyIDWP, imgCopyPasswordWP})
        button->show();
    imgWPThumb->show();

    m_services.accessGranted = true;
    if (db.WPTympra(i)) {
        m_services.accessGranted = false;
        if (m_services.loginCheck)
            m_services.loginCheck();
    }
    if (m_services.accessGranted)
        m_tabs->openProfile(db.WPURL(i), db.WPID(i), db.WPPassword(i));

    showThumb(db.WPThumbName(i));
}

void frmMain::showThumb(const QString &path)
{
    const QSize box = imgWPThumb->size().isEmpty() ? QSize(twips(1440), twips(1080, Qt::Vertical)) : imgWPThumb->size();
    if (!loadPicture(imgWPThumb, path, box))
        imgWPThumb->clear();
}

void frmMain::cmdNewWP_Click()
{
    bWPUpdated = false;
    {
        frmWebsiteProfile frmWP(m_services.db, m_services.messages, m_services.files, this);
        connect(&frmWP, &frmWebsiteProfile::WPUpdated, this, [this] { bWPUpdated = true; });
        frmWP.NewWP();
        frmWP.exec();
    }
    if (!bWPUpdated)
        return;
    // The new profile must be in the list to be chosen: the find text goes.
    txtFindWP->clear();
    fillList(chosenProfile());
    selectPosition(m_profiles->rowOf(m_services.db.WebsiteProfileCount() - 1));
}

void frmMain::imgEditWP_Click()
{
    const qint32 i = chosenProfile();
    if (i < 0)
        return;
    bWPUpdated = false;
    {
        frmWebsiteProfile frmWP(m_services.db, m_services.messages, m_services.files, this);
        connect(&frmWP, &frmWebsiteProfile::WPUpdated, this, [this] { bWPUpdated = true; });
        frmWP.EditWP(i);
        frmWP.exec();
    }
    if (!bWPUpdated)
        return;
    // The tab keeps its page and the copies it took; only the list and the pictures follow the edit.
    fillList(i);
    if (chosenProfile() < 0) {
        hideProfilePictures(); // the new name and address no longer contain the find text
        return;
    }
    imgWPTympra->setVisible(m_services.db.WPTympra(i));
    showThumb(m_services.db.WPThumbName(i));
}

void frmMain::imgDeleteWP_Click()
{
    const qint32 i = chosenProfile();
    if (i < 0)
        return;
    if (m_services.messages.show(kApplicationTitle, kDeleteQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;

    clsAgentDB &db = m_services.db;
    const QList<WebsiteProfile> before = db.Profiles();
    const ThumbBackup thumb(db.WPThumbName(i));
    db.DeleteWebsiteProfile(i);
    if (!db.SaveDB()) {
        // The file still holds the profile: keep it in memory and in the list as well.
        db.RestoreProfiles(before);
        thumb.restore();
        m_services.messages.show(kApplicationTitle, kUpdateDatabaseFailed, MessageIcon::Critical);
        return;
    }

    fillList(-1);
    cboWP_Click(0);
}

void frmMain::cmdImportWP_Click()
{
    const int added = importPasswordFile(this, m_services);
    if (added == 0)
        return;
    // The new profiles are the last ones of the store; the chosen one stays chosen.
    fillList(chosenProfile());
}

void frmMain::cmdExportWP_Click()
{
    exportPasswordFile(this, m_services);
}

void frmMain::imgCopyIDWP_Click()
{
    const qint32 i = chosenProfile();
    if (i < 0)
        return;
    m_clipboard->copyText(m_services.db.WPID(i));
    statusPanel1->setText(QStringLiteral("Login name of %1 copied.").arg(m_services.db.WPName(i)));
}

void frmMain::imgCopyPasswordWP_Click()
{
    const qint32 i = chosenProfile();
    if (i < 0)
        return;
    // A protected profile's password leaves the wallet only after the rhythm check, as its page does.
    if (m_services.db.WPTympra(i)) {
        m_services.accessGranted = false;
        if (m_services.loginCheck)
            m_services.loginCheck();
        if (!m_services.accessGranted)
            return;
    }
    const int seconds = m_services.db.ININumber(QStringLiteral("ClipboardSeconds"), kClipboardSeconds, 1);
    m_clipboard->copySecret(m_services.db.WPPassword(i), seconds);
    statusPanel1->setText(QStringLiteral("Password of %1 copied; the clipboard clears in %2 seconds.")
                              .arg(m_services.db.WPName(i))
                              .arg(seconds));
}

void frmMain::imgSideBar_Click()
{
    fraSideBar->setVisible(fraSideBar->isHidden());
    imgSideBar->setPixmap(vaultryPicture(fraSideBar->isHidden() ? QStringLiteral(":/pictures/sidebar-show.png")
                                                                : QStringLiteral(":/pictures/sidebar-hide.png"),
                                         devicePixelRatioF()));
    applyLayout();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgSideBar && event->type() == QEvent::MouseButtonRelease) {
        imgSideBar_Click();
        return true;
    }
    const auto *key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride
        ? static_cast<QKeyEvent *>(event)
        : nullptr;
    // Esc in the find box clears it (the window's Esc stops loading only when there is nothing to clear).
    if (watched == txtFindWP && key && key->key() == Qt::Key_Escape && !txtFindWP->text().isEmpty()) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            txtFindWP->clear();
        return true;
    }
    // Typing into the list finds instead of jumping to a name, which would count as a choice.
    // Space still opens the list.
    if (watched == cboWP && key && event->type() == QEvent::KeyPress && !key->text().isEmpty() &&
        key->text().at(0).isPrint() && !key->text().at(0).isSpace() &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        txtFindWP->setFocus(Qt::OtherFocusReason);
        txtFindWP->insert(key->text());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    m_services.db.setINIAutoSignIn(chkAutoSignIn->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    event->accept();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applyLayout();
}

void frmMain::applyLayout()
{
    // The controls that never move, in twips converted once per run.
    const auto tx = [this](double v) {
        return twips(v);
    };
    const auto ty = [this](double v) {
        return twips(v, Qt::Vertical);
    };
    cmdBack->setGeometry(tx(0), 0, tx(855), ty(855));
    cmdForward->setGeometry(tx(840), 0, tx(855), ty(855));
    cmdStop->setGeometry(tx(1680), 0, tx(855), ty(855));
    cmdRefresh->setGeometry(tx(2520), 0, tx(855), ty(855));
    for (QToolButton *button : {cmdBack, cmdForward, cmdStop, cmdRefresh})
        button->setIconSize(QSize(tx(720), ty(720)));

    // The find box sits above the list; everything below moves down by its height.
    const int findTop = ty(540);
    txtFindWP->setGeometry(tx(120), findTop, tx(2655), txtFindWP->sizeHint().height());
    const int down = txtFindWP->height() + ty(60);
    const auto below = [&](double v) {
        return ty(v) + down;
    };
    Label8->setGeometry(tx(120), ty(240), tx(2655), ty(285));
    cboWP->setGeometry(tx(120), below(540), tx(2655), cboWP->sizeHint().height());
    imgWPThumb->setGeometry(tx(120), below(1020), tx(1440), ty(1080));
    imgWPTympra->setGeometry(tx(1680), below(1020), tx(480), ty(480));
    imgEditWP->setGeometry(tx(1680), below(1560), tx(420), ty(420));
    imgDeleteWP->setGeometry(tx(2160), below(1560), tx(420), ty(420));
    imgCopyIDWP->setGeometry(tx(1680), below(2040), tx(420), ty(420));
    imgCopyPasswordWP->setGeometry(tx(2160), below(2040), tx(420), ty(420));
    chkAutoSignIn->setGeometry(tx(120), below(2640), tx(2655), ty(315));
    Label1->setGeometry(tx(120), below(3000), tx(2655), ty(600));
    cmdImportWP->setGeometry(tx(120), below(3600), tx(2655), ty(420));
    cmdExportWP->setGeometry(tx(120), below(4080), tx(2655), ty(420));

    // The rest follows the client area (W x H, the status bar included), computed in twips from the
    // previous run's geometry: a size that would turn negative keeps its last value.
    const qreal dpiX = logicalDpiX();
    const qreal dpiY = logicalDpiY();
    const int S = statusBar()->height();
    m_layout.stbStatus.height = pixelsToTwips(S, dpiY);
    m_layout.tabThickness = pixelsToTwips(tbs->tabThickness(), dpiX);
    m_layout = layoutMainWindow(m_layout, pixelsToTwips(width(), dpiX), pixelsToTwips(m_client->height() + S, dpiY),
                                !fraSideBar->isHidden());
    MainLayoutWidgets w;
    w.fraSideBar = fraSideBar;
    w.cmdNewWP = cmdNewWP;
    w.imgSideBar = imgSideBar;
    w.lblTitleBack = lblTitleBack;
    w.imgLeftCorner = imgLeftCorner;
    w.imgRightCorner = imgRightCorner;
    w.txtPageTitle = txtPageTitle;
    w.tabPage = tabPage;
    w.tabs = tbs;
    w.txtURL = txtURL;
    w.browserArea = browserArea;
    w.pgrLoad = pgrLoad;
    applyMainLayout(m_layout, w, dpiX, dpiY);
    tbs->setFixedTabLength(twipsToPixels(m_layout.tabLength, dpiY));
    // The page reaches under the tab column so that the selected tab joins it.
    tabPage->resize(tabPage->width() + 2, tabPage->height());
    tbs->raise();
    pgrLoad->raise();
}
