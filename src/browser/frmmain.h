#pragma once

#include "mainlayout.h"
#include "mainwindowservices.h"

#include <QMainWindow>

class AccountTabBar;
class AccountTabs;
class ProfileListModel;
class SecretClipboard;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The program's working window: the profile list with new, edit and delete, the automatic sign-in
// switch, and five account tabs, each with its own browser.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(const MainWindowServices &services, QWidget *parent = nullptr);
    ~frmMain() override;

    AccountTabs &tabs() const { return *m_tabs; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    // Positions and sizes of every control, from the client area; runs on every resize and side-bar toggle.
    void applyLayout();

    // Sets the list position by code; runs the choice handler when the position changes.
    void selectPosition(int position);
    void cboWP_Click(int position);
    void cmdNewWP_Click();
    void imgEditWP_Click();
    void imgDeleteWP_Click();
    void imgSideBar_Click();
    void cmdImportWP_Click();
    void cmdExportWP_Click();
    void imgCopyIDWP_Click();
    void imgCopyPasswordWP_Click();
    // The store index of the chosen profile; -1 when none is.
    int chosenProfile() const;
    // Refills the list from the store under the find text; `chosen` (a store index) stays chosen when shown.
    void fillList(int chosen);
    void txtFindWP_Changed();
    void addShortcuts();
    // Shows the picture at path in imgWPThumb, or nothing when it cannot be loaded.
    void showThumb(const QString &path);
    void hideProfilePictures();
    int twips(double value, Qt::Orientation orientation = Qt::Horizontal) const;

    MainWindowServices m_services;
    AccountTabs *m_tabs = nullptr;
    MainLayout m_layout = MainLayout::designed(); // the layout's last run, in twips
    bool bWPUpdated = false;

    QWidget *m_client = nullptr;
    QToolButton *cmdBack = nullptr;
    QToolButton *cmdForward = nullptr;
    QToolButton *cmdStop = nullptr;
    QToolButton *cmdRefresh = nullptr;
    QFrame *fraSideBar = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *txtFindWP = nullptr;
    QComboBox *cboWP = nullptr;
    ProfileListModel *m_profiles = nullptr;
    SecretClipboard *m_clipboard = nullptr;
    QLabel *imgWPThumb = nullptr;
    QLabel *imgWPTympra = nullptr;
    QToolButton *imgEditWP = nullptr;
    QToolButton *imgDeleteWP = nullptr;
    QToolButton *imgCopyIDWP = nullptr;
    QToolButton *imgCopyPasswordWP = nullptr;
    QCheckBox *chkAutoSignIn = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdNewWP = nullptr;
    QPushButton *cmdImportWP = nullptr;
    QPushButton *cmdExportWP = nullptr;
    QLabel *imgSideBar = nullptr;
    QLabel *lblTitleBack = nullptr;
    QLabel *imgLeftCorner = nullptr;
    QLabel *imgRightCorner = nullptr;
    QLineEdit *txtPageTitle = nullptr;
    QFrame *tabPage = nullptr; // the strip's body, behind the address box and the browsers
    AccountTabBar *tbs = nullptr;
    QLineEdit *txtURL = nullptr;
    QWidget *browserArea = nullptr;
    QLabel *statusPanel1 = nullptr;
    QLabel *statusPanel2 = nullptr;
    QProgressBar *pgrLoad = nullptr;
};
