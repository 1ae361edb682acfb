#pragma once

#include "websiteprofile.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>

class MessageService;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTabBar;
class QTextBrowser;
class QWebEngineView;
class QWidget;

// What one account tab remembers of the profile last opened in it.
struct TabState
{
    bool bTabInUse = false;
    QString sTabURL;
    QString sTabID;
    QString sTabPassword;
    bool bTabSignInDone = false;
};

// The main window's controls that show the current tab; the window owns them, AccountTabs drives them.
struct AccountTabsControls
{
    QTabBar *tbs = nullptr; // five tabs captioned "1" to "5"
    QWidget *browserArea = nullptr; // parent of the five browsers (they share one rectangle)
    QLineEdit *txtURL = nullptr; // address of the current tab's page
    QLineEdit *txtPageTitle = nullptr; // title of the current tab's page (text and tool tip)
    QProgressBar *pgrLoad = nullptr; // load progress of the current tab, 0..100
    QLabel *statusPanel2 = nullptr; // "", "Loading" or "Complete"
    QCheckBox *chkAutoSignIn = nullptr;
};

// The five account tabs: their browsers, their per-tab state, navigation, load status,
// the new-window question and the automatic sign-in when a tab's login page has finished loading.
// A tab gets its session (held in memory only) and its browser when a page is first opened in it; until then, and
// again once its page is closed, it shows the start page, which is rich text and needs no web engine at all.
class AccountTabs : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTabCount = 5;

    // openExternally hands an address to the desktop's own browser (a seam for tests); engineStarting runs once,
    // just before the web engine is first asked for anything.
    AccountTabs(const AccountTabsControls &controls, MessageService &messages,
                std::function<void(const QUrl &)> openExternally, std::function<void()> engineStarting = {},
                QObject *parent = nullptr);
    ~AccountTabs() override;

    // Tab i's browser, or none while the tab shows the start page.
    QWebEngineView *wbPage(int i) const;
    // What every tab not in use shows.
    QTextBrowser *startPageView() const;
    // The selected tab's caption read as a number, minus 1 (-1 when no tab is selected).
    int currentTabIndex() const;
    TabState &tab(int i);
    const TabState &tab(int i) const;

    // Shows the start page for tab i (HTML with the program folder as base address so the logo loads).
    void showStartPage(int i, const QString &html, const QUrl &baseUrl);
    // Sends browser i to a real page and marks the tab in use.
    void navigate(int i, const QUrl &url);
    // Copies a chosen profile into the current tab's state, re-arms its sign-in and opens its URL.
    void openProfile(const QString &url, const QString &id, const QString &password);
    // Closes the current tab's page: its renderer ends and the tab shows the start page; its session stays.
    void closePage();
    // The wallet changed on disk: each tab in use takes its profile's password as it now is (matched by address and
    // login name), for a sign-in still to come in it.
    void followProfiles(const QList<WebsiteProfile> &profiles);

    // Navigation buttons: act on the current tab's browser only; failures are ignored.
    void goBack();
    void goForward();
    void refresh();
    void stop();

signals:
    // The automatic sign-in has started for tab i (its script was sent to the page).
    void signInStarted(int i);
    // Tab i's page has finished loading, after the tab has done what it does then.
    void pageLoaded(int i, bool ok);

private:
    // Tab i's browser, made when first needed.
    QWebEngineView *browser(int i);
    void switchTab();
    // Brings the current tab's browser to the front, or the start page while the tab is not in use.
    void showCurrentView();
    // Whether browser i is the one the current tab shows.
    bool isShown(int i) const;
    void onLoadStarted(int i);
    void onLoadProgress(int i, int percent);
    void onLoadFinished(int i, bool ok);
    void onNewWindow(const QUrl &url);
    void showCurrentPage(int t);
    void showPageComplete();

    struct Private;
    std::unique_ptr<Private> d;
};
