#include "accounttabs.h"

#include "messageservice.h"
#include "silentpage.h"
#include "startpage.h"
#include "tabsignin.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QTextBrowser>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// A session held in memory only (cookies, cache, local storage, permissions): nothing of it reaches the disk
// or outlives the program, and no other tab shares it.
QWebEngineProfile *offTheRecordProfile(QObject *parent)
{
    auto *profile = new QWebEngineProfile(parent);
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    return profile;
}

// A browser in the browser area, showing a silent page of the given session.
QWebEngineView *silentView(QWidget *area, QWebEngineProfile *profile)
{
    auto *view = new QWebEngineView(area);
    view->setPage(new SilentPage(profile, view));
    view->setAccessibleName(QStringLiteral("Web page"));
    view->setGeometry(area->rect());
    view->setVisible(false);
    return view;
}

// Keeps the browsers and the start page on the browser area's whole rectangle.
class AreaFollower : public QObject
{
public:
    AreaFollower(QWidget *area) : QObject(area) { area->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            auto *area = static_cast<QWidget *>(watched);
            for (QWidget *view : area->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                view->setGeometry(area->rect());
        }
        return false;
    }
};

} // namespace

struct AccountTabs::Private
{
    AccountTabsControls c;
    MessageService &messages;
    std::function<void(const QUrl &)> openExternally;
    std::function<void()> engineStarting;
    std::array<TabState, kTabCount> tabs {};
    // Made when a tab is first used: the sessions (children of this object, which the window destroys after the
    // browsers that use them), and the browsers with their sign-in, which go when the tab's page is closed.
    std::array<QWebEngineProfile *, kTabCount> sessions {};
    std::array<QWebEngineView *, kTabCount> views {};
    std::array<TabSignIn *, kTabCount> signIns {};
    // The start page, one for every tab that shows it.
    QTextBrowser *startView = nullptr;
};

AccountTabs::AccountTabs(const AccountTabsControls &controls, MessageService &messages,
                         std::function<void(const QUrl &)> openExternally, std::function<void()> engineStarting,
                         QObject *parent)
    : QObject(parent), d(new Private {controls, messages, std::move(openExternally), std::move(engineStarting)})
{
    // The window's surface is made for the browsers from the start, as a hidden widget that draws through the graphics
    // stack asks: else the first browser, shown later, would make the system window be destroyed and made anew (a
    // new window to the desktop, which loses its place and anything that refers to it, a close request included).
    (new QOpenGLWidget(d->c.browserArea->window()))->setVisible(false);
    d->startView = newStartPageView(d->c.browserArea);
    d->startView->setGeometry(d->c.browserArea->rect());
    new AreaFollower(d->c.browserArea);
    connect(d->c.tbs, &QTabBar::currentChanged, this, [this] { switchTab(); });
    showCurrentView();
}

AccountTabs::~AccountTabs() = default;

QWebEngineView *AccountTabs::browser(int i)
{
    if (QWebEngineView *view = d->views.at(i))
        return view;
    if (d->engineStarting)
        std::exchange(d->engineStarting, nullptr)();
    // Each tab browses in a session of its own, so that two accounts of one site can be signed in side by side.
    if (!d->sessions[i])
        d->sessions[i] = offTheRecordProfile(this);
    QWebEngineView *view = silentView(d->c.browserArea, d->sessions[i]);
    QWebEnginePage *page = view->page();
    connect(page, &QWebEnginePage::loadStarted, this, [this, i] { onLoadStarted(i); });
    connect(page, &QWebEnginePage::loadProgress, this, [this, i](int p) { onLoadProgress(i, p); });
    connect(page, &QWebEnginePage::loadFinished, this, [this, i](bool ok) { onLoadFinished(i, ok); });
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) { onNewWindow(request.requestedUrl()); });
    d->signIns[i] = new TabSignIn(
        d->tabs[i], view, [this] { return d->c.chkAutoSignIn && d->c.chkAutoSignIn->isChecked(); }, view);
    connect(d->signIns[i], &TabSignIn::started, this, [this, i] { emit signInStarted(i); });
    d->views[i] = view;
    return view;
}

QWebEngineView *AccountTabs::wbPage(int i) const
{
    return d->views.at(i);
}

QTextBrowser *AccountTabs::startPageView() const
{
    return d->startView;
}

int AccountTabs::currentTabIndex() const
{
    const int selected = d->c.tbs->currentIndex();
    if (selected < 0)
        return -1;
    bool ok = false;
    const int t = d->c.tbs->tabText(selected).toInt(&ok) - 1;
    return ok && t >= 0 && t < kTabCount ? t : -1;
}

TabState &AccountTabs::tab(int i)
{
    return d->tabs.at(i);
}

const TabState &AccountTabs::tab(int i) const
{
    return d->tabs.at(i);
}

void AccountTabs::showStartPage(int i, const QString &html, const QUrl &baseUrl)
{
    d->tabs.at(i).bTabInUse = false;
    d->tabs.at(i).bTabSignInDone = false;
    if (d->signIns.at(i))
        d->signIns[i]->restart();
    if (d->startView->document()->isEmpty()) {
        d->startView->document()->setBaseUrl(baseUrl);
        d->startView->setHtml(html);
    }
    showCurrentView();
    if (i == currentTabIndex())
        showPageComplete(); // as a browser reports the start page finished
}

void AccountTabs::navigate(int i, const QUrl &url)
{
    d->tabs.at(i).bTabInUse = true;
    browser(i)->load(url);
    showCurrentView();
}

void AccountTabs::openProfile(const QString &url, const QString &id, const QString &password)
{
    const int t = currentTabIndex();
    if (t < 0)
        return;
    TabState &s = d->tabs[t];
    s.sTabURL = url;
    s.sTabID = id;
    s.sTabPassword = password;
    s.bTabInUse = true;
    s.bTabSignInDone = false;
    browser(t);
    d->signIns[t]->restart();
    // An address typed without its scheme opens as the desktop's browsers open it.
    d->views[t]->load(QUrl::fromUserInput(url));
    showCurrentView();
}

void AccountTabs::closePage()
{
    const int t = currentTabIndex();
    if (t < 0 || !d->views[t])
        return;
    TabState &s = d->tabs[t];
    s = TabState {};
    // The page goes with its browser, and its renderer with the page; the session stays for the tab's next page.
    delete std::exchange(d->views[t], nullptr);
    d->signIns[t] = nullptr;
    switchTab();
}

void AccountTabs::followProfiles(const QList<WebsiteProfile> &profiles)
{
    for (TabState &s : d->tabs) {
        const auto same = [&s](const WebsiteProfile &p) {
            return p.url == s.sTabURL && p.loginName == s.sTabID;
        };
        if (const auto found = std::find_if(profiles.begin(), profiles.end(), same);
            s.bTabInUse && found != profiles.end())
            s.sTabPassword = found->password;
    }
}

void AccountTabs::goBack()
{
    if (const int t = currentTabIndex(); t >= 0 && d->views[t])
        d->views[t]->back();
}

void AccountTabs::goForward()
{
    if (const int t = currentTabIndex(); t >= 0 && d->views[t])
        d->views[t]->forward();
}

void AccountTabs::refresh()
{
    if (const int t = currentTabIndex(); t >= 0 && d->views[t])
        d->views[t]->reload();
}

void AccountTabs::stop()
{
    if (const int t = currentTabIndex(); t >= 0 && d->views[t])
        d->views[t]->stop();
}

void AccountTabs::showCurrentView()
{
    const int t = currentTabIndex();
    QWidget *shown = d->startView;
    if (t >= 0 && d->tabs[t].bTabInUse && d->views[t])
        shown = d->views[t];
    // Hide before showing, so that two browsers are never visible together.
    for (QWidget *view : d->c.browserArea->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (view != shown)
            view->setVisible(false);
    }
    shown->setVisible(true);
}

void AccountTabs::switchTab()
{
    const int t = currentTabIndex();
    showCurrentView();
    if (t >= 0 && d->tabs[t].bTabInUse) {
        showCurrentPage(t);
    } else {
        d->c.txtURL->clear();
        d->c.txtPageTitle->clear();
        d->c.txtPageTitle->setToolTip(QString());
    }
    d->c.pgrLoad->setVisible(false);
    d->c.statusPanel2->clear();
}

void AccountTabs::showCurrentPage(int t)
{
    const QWebEnginePage *page = d->views[t]->page();
    d->c.txtURL->setText(page->url().toString());
    d->c.txtPageTitle->setText(page->title());
    d->c.txtPageTitle->setToolTip(page->title());
}

bool AccountTabs::isShown(int i) const
{
    return i == currentTabIndex() && d->tabs[i].bTabInUse;
}

void AccountTabs::onLoadStarted(int i)
{
    if (!isShown(i))
        return;
    d->c.pgrLoad->setVisible(true);
    d->c.pgrLoad->setValue(0);
    d->c.statusPanel2->setText(QStringLiteral("Loading"));
}

void AccountTabs::onLoadProgress(int i, int percent)
{
    if (!isShown(i) || percent <= 0)
        return;
    d->c.pgrLoad->setVisible(true);
    if (percent <= 100)
        d->c.pgrLoad->setValue(percent);
    d->c.statusPanel2->setText(QStringLiteral("Loading"));
}

void AccountTabs::showPageComplete()
{
    d->c.pgrLoad->setVisible(false);
    d->c.statusPanel2->setText(QStringLiteral("Complete"));
}

void AccountTabs::onLoadFinished(int i, bool ok)
{
    const TabState &s = d->tabs[i];
    const QWebEnginePage *page = d->views[i]->page();
    if (i == currentTabIndex()) {
        if (s.bTabInUse)
            showCurrentPage(i);
        showPageComplete();
    }
    if (s.bTabInUse) {
        const QString caption = QString::number(i + 1);
        for (int k = 0; k < d->c.tbs->count(); ++k) {
            if (d->c.tbs->tabText(k) == caption)
                d->c.tbs->setTabToolTip(k, page->title());
        }
    }
    d->signIns[i]->pageLoaded(ok);
    emit pageLoaded(i, ok);
}

void AccountTabs::onNewWindow(const QUrl &url)
{
    const MessageAnswer answer =
        d->messages.show(kApplicationTitle,
                         QStringLiteral("A web page is about to open outside Vaultry.") + QStringLiteral("\r\n") +
                             QStringLiteral("Do you want to allow it?"),
                         MessageIcon::Warning, MessageButtons::YesNo);
    // Vaultry offers no window of its own: an allowed page goes to the desktop's browser.
    if (answer == MessageAnswer::Yes && d->openExternally)
        d->openExternally(url);
}
