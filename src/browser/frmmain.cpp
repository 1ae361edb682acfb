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
#include "startpage.h"
#include "thumbbackup.h"
#include "walletlock.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>

namespace {

const QString kSelectProfile = QStringLiteral("Select a website profile");
const QString kNoProfile = QStringLiteral("No website profile is available");
const QString kDeleteQuestion = QStringLiteral("Delete this website profile?");

// Colour of the title band; the corner pictures are drawn in the same colour.
const QString kBandStyle = QStringLiteral("background-color: #2b4a78;");

QToolButton *pictureButton(const QString &name, const QString &picture, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(picture));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel *picture(const QString &name, const QString &file, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    if (!file.isEmpty())
        label->setPixmap(QPixmap(file));
    return label;
}

} // namespace

frmMain::frmMain(const MainWindowServices &services, QWidget *parent) : QMainWindow(parent), m_services(services)
{
    initVaultryPictures();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vaultry (Free Distribution)"));
    buildControls();
    installWalletLock(*this, m_services);

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
    cboWP = new QComboBox(fraSideBar);
    cboWP->setObjectName(QStringLiteral("cboWP"));
    imgWPThumb = picture(QStringLiteral("imgWPThumb"), QString(), fraSideBar);
    imgWPThumb->setToolTip(QStringLiteral("Website Thumbnail"));
    imgWPThumb->setAlignment(Qt::AlignCenter);
    imgWPTympra = picture(QStringLiteral("imgWPTympra"), QStringLiteral(":/pictures/tympra.png"), fraSideBar);
    imgWPTympra->setToolTip(QStringLiteral("Secured by Tympra"));
    imgEditWP = pictureButton(QStringLiteral("imgEditWP"), QStringLiteral(":/pictures/edit.png"),
                              QStringLiteral("Edit"), fraSideBar);
    imgDeleteWP = pictureButton(QStringLiteral("imgDeleteWP"), QStringLiteral(":/pictures/delete.png"),
                                QStringLiteral("Delete"), fraSideBar);
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

    tabPage = new QFrame(m_client);
    tabPage->setObjectName(QStringLiteral("tabPage"));
    tabPage->setFrameShape(QFrame::StyledPanel);
    tabPage->setAutoFillBackground(true);
    tbs = new AccountTabBar(m_client);
    tbs->setObjectName(QStringLiteral("tbs"));
    for (int k = 1; k <= 5; ++k)
        tbs->addTab(QString::number(k));
    txtURL = new QLineEdit(m_client);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    txtURL->setReadOnly(true);
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
}

void frmMain::Form_Load()
{
    clsAgentDB &db = m_services.db;
    {
        // Filling the list must not count as a choice; position 0 is chosen below.
        const QSignalBlocker blocker(cboWP);
        const qint32 count = db.WebsiteProfileCount();
        if (count != 0) {
            cboWP->addItem(kSelectProfile);
            for (qint32 i = 0; i < count; ++i)
                cboWP->addItem(db.WPName(i));
        } else {
            cboWP->addItem(kNoProfile);
        }
        cboWP->setCurrentIndex(0);
    }
    cboWP_Click(0);

    imgSideBar->setPixmap(QPixmap(QStringLiteral(":/pictures/sidebar-hide.png")));
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

void frmMain::hideProfilePictures()
{
    imgWPTympra->hide();
    imgDeleteWP->hide();
    imgEditWP->hide();
    imgWPThumb->hide();
    imgWPThumb->clear();
}

void frmMain::cboWP_Click(int position)
{
    if (position <= 0) {
        hideProfilePictures();
        return;
    }
    clsAgentDB &db = m_services.db;
    const qint32 i = position - 1;
    imgWPTympra->setVisible(db.WPTympra(i));
    imgDeleteWP->show();
    imgEditWP->show();
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
    const qint32 n = m_services.db.WebsiteProfileCount();
    if (n == 1)
        cboWP->setItemText(0, kSelectProfile);
    cboWP->addItem(m_services.db.WPName(n - 1));
    selectPosition(cboWP->count() - 1);
}

void frmMain::imgEditWP_Click()
{
    const int position = cboWP->currentIndex();
    if (position <= 0)
        return;
    const qint32 i = position - 1;
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
    cboWP->setItemText(position, m_services.db.WPName(i));
    imgWPTympra->setVisible(m_services.db.WPTympra(i));
    showThumb(m_services.db.WPThumbName(i));
}

void frmMain::imgDeleteWP_Click()
{
    const int position = cboWP->currentIndex();
    if (position <= 0)
        return;
    if (m_services.messages.show(kApplicationTitle, kDeleteQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;

    clsAgentDB &db = m_services.db;
    const qint32 i = position - 1;
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

    {
        const QSignalBlocker blocker(cboWP);
        cboWP->removeItem(position);
        cboWP->setCurrentIndex(0);
        if (cboWP->count() == 1)
            cboWP->setItemText(0, kNoProfile);
    }
    cboWP_Click(0);
}

void frmMain::cmdImportWP_Click()
{
    const int added = importPasswordFile(this, m_services);
    if (added == 0)
        return;
    // The new profiles are the last ones of the store; the chosen one stays chosen.
    const qint32 n = m_services.db.WebsiteProfileCount();
    if (n == added)
        cboWP->setItemText(0, kSelectProfile);
    for (qint32 i = n - added; i < n; ++i)
        cboWP->addItem(m_services.db.WPName(i));
}

void frmMain::cmdExportWP_Click()
{
    exportPasswordFile(this, m_services);
}

void frmMain::imgSideBar_Click()
{
    fraSideBar->setVisible(fraSideBar->isHidden());
    imgSideBar->setPixmap(QPixmap(fraSideBar->isHidden() ? QStringLiteral(":/pictures/sidebar-show.png")
                                                         : QStringLiteral(":/pictures/sidebar-hide.png")));
    applyLayout();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgSideBar && event->type() == QEvent::MouseButtonRelease) {
        imgSideBar_Click();
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

    Label8->setGeometry(tx(120), ty(240), tx(2655), ty(285));
    cboWP->setGeometry(tx(120), ty(540), tx(2655), cboWP->sizeHint().height());
    imgWPThumb->setGeometry(tx(120), ty(1020), tx(1440), ty(1080));
    imgWPTympra->setGeometry(tx(1680), ty(1020), tx(480), ty(480));
    imgEditWP->setGeometry(tx(1680), ty(1620), tx(420), ty(420));
    imgDeleteWP->setGeometry(tx(2160), ty(1620), tx(420), ty(420));
    chkAutoSignIn->setGeometry(tx(120), ty(2400), tx(2655), ty(315));
    Label1->setGeometry(tx(120), ty(2880), tx(2655), ty(600));
    cmdImportWP->setGeometry(tx(120), ty(3600), tx(2655), ty(420));
    cmdExportWP->setGeometry(tx(120), ty(4080), tx(2655), ty(420));

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
