// The five account tabs: switching, display of the current tab, navigation and the new-window question.
#include "loginpageserver.h"
#include "tabsharness.h"

#include <QApplication>
#include <QDir>

namespace {

QByteArray page(const char *title, const char *body = "")
{
    return QByteArray("<html><head><title>") + title + "</title></head><body>" + body + "</body></html>";
}

// What the boxes show: "address|title|title's tooltip|status|bar" (bar empty when hidden).
QString display(const TabsHarness &h)
{
    return QStringList {h.txtURL->text(), h.txtPageTitle->text(), h.txtPageTitle->toolTip(), h.statusPanel2->text(),
                        h.pgrLoad->isHidden() ? QString() : QStringLiteral("bar")}
        .join(QLatin1Char('|'));
}

QStringList tooltips(const TabsHarness &h)
{
    QStringList tips;
    for (int k = 0; k < AccountTabs::kTabCount; ++k)
        tips << h.tbs->tabToolTip(k);
    return tips;
}

} // namespace

class TestAccountTabs : public QObject
{
    Q_OBJECT

    LoginPageServer m_server;
    QString url(const char *path) const { return m_server.url(QLatin1String(path)); }
    // The display of a finished page in the current tab.
    QString shows(const char *path, const char *title, const char *status = "Complete") const
    {
        return QStringLiteral("%1|%2|%2|%3|").arg(url(path), QLatin1String(title), QLatin1String(status));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.setPage("/a", page("Page A", "<a id='next' href='/b'>b</a>"));
        m_server.setPage("/b", page("Page B"));
        m_server.setPage("/c", page("Page C"));
        m_server.setPage("/d", page("Page D"));
        m_server.setPage("/slow", page("Slow"), 3000);
        m_server.setPage("/popup", page("Popup"));
        m_server.setPage("/guarded",
                         page("Guarded",
                              "<script>window.onbeforeunload = function (e) {"
                              " e.preventDefault(); e.returnValue = 'stay'; return 'stay'; };"
                              "</script>"));
        m_server.setPage("/noisy",
                         page("Noisy",
                              "<script>alert('hi'); confirm('sure?'); prompt('name?');"
                              "document.title = 'Quiet';</script>"));
    }

    void onlyTheCurrentBrowserIsVisible()
    {
        TabsHarness h;
        auto visible = [&] {
            QList<int> shown;
            for (int i = 0; i < AccountTabs::kTabCount; ++i) {
                if (h.tabs->wbPage(i)->isVisible())
                    shown.append(i);
            }
            return shown;
        };
        for (int i = 0; i < AccountTabs::kTabCount; ++i)
            QCOMPARE(h.tabs->wbPage(i)->geometry(), h.browserArea->rect());
        QCOMPARE(visible(), QList<int> {0});
        for (int k : {3, 1, 4, 4, 0, 2}) {
            h.tbs->setCurrentIndex(k);
            QCOMPARE(h.tabs->currentTabIndex(), k);
            QCOMPARE(visible(), QList<int> {k});
        }
        // The browsers follow the area they live in.
        h.window.resize(900, 700);
        QTRY_COMPARE(h.tabs->wbPage(2)->size(), h.browserArea->size());
    }

    void switchShowsTheTabsOwnPage()
    {
        TabsHarness h;
        QVERIFY(h.navigateAndWait(0, url("/a")));
        QCOMPARE(display(h), shows("/a", "Page A"));
        h.tbs->setCurrentIndex(1);
        QVERIFY(h.navigateAndWait(1, url("/c")));
        // An unused tab empties the boxes, hides the bar and clears the status.
        h.tbs->setCurrentIndex(3);
        QCOMPARE(display(h), QStringLiteral("||||"));
        // A tab in use shows its own page, not that of the tab left (and no status of its own).
        h.tbs->setCurrentIndex(0);
        QCOMPARE(display(h), shows("/a", "Page A", ""));
        h.tbs->setCurrentIndex(1);
        QCOMPARE(display(h), shows("/c", "Page C", ""));
    }

    void backgroundPageChangesOnlyItsTooltip()
    {
        TabsHarness h;
        QVERIFY(h.navigateAndWait(0, url("/a")));
        QVERIFY(h.navigateAndWait(2, url("/c")));
        QCOMPARE(tooltips(h), (QStringList {"Page A", "", "Page C", "", ""}));
        QCOMPARE(display(h), shows("/a", "Page A"));
        QVERIFY(!h.tabs->wbPage(2)->isVisible());
    }

    void startPageCompletesWithoutAddress()
    {
        TabsHarness h;
        QSignalSpy finished(h.page(0), &QWebEnginePage::loadFinished);
        h.tabs->showStartPage(0, QStringLiteral("<html><head><title>Start</title></head><body>TIPS!</body></html>"),
                              QUrl::fromLocalFile(QDir::tempPath() + QLatin1Char('/')));
        QVERIFY(finished.wait(10000));
        QVERIFY(!h.tabs->tab(0).bTabInUse);
        QCOMPARE(display(h), QStringLiteral("|||Complete|"));
        QVERIFY(h.tbs->tabToolTip(0).isEmpty());
    }

    void loadStatusFollowsTheCurrentTab()
    {
        TabsHarness h;
        // A slow page in the current tab: "Loading" with the bar shown until it finishes.
        QSignalSpy finished(h.page(0), &QWebEnginePage::loadFinished);
        h.tabs->navigate(0, QUrl(url("/slow")));
        QTRY_COMPARE(h.statusPanel2->text(), QStringLiteral("Loading"));
        QVERIFY(h.pgrLoad->isVisible());
        QVERIFY(h.pgrLoad->value() >= 0 && h.pgrLoad->value() < 100);
        QVERIFY(finished.wait(10000));
        QCOMPARE(h.statusPanel2->text(), QStringLiteral("Complete"));
        QVERIFY(h.pgrLoad->isHidden());

        // A slow page in a background tab leaves the bar and the status alone.
        h.tbs->setCurrentIndex(4);
        QSignalSpy backgroundFinished(h.page(1), &QWebEnginePage::loadFinished);
        h.tabs->navigate(1, QUrl(url("/slow")));
        QVERIFY(backgroundFinished.wait(10000));
        QCOMPARE(display(h), QStringLiteral("||||"));
        QCOMPARE(h.tbs->tabToolTip(1), QStringLiteral("Slow"));
    }

    void navigationActsOnTheCurrentTab()
    {
        TabsHarness h;
        // On a tab that never loaded anything the buttons do nothing.
        h.tbs->setCurrentIndex(2);
        QSignalSpy fresh(h.page(2), &QWebEnginePage::loadStarted);
        h.tabs->goBack();
        h.tabs->goForward();
        h.tabs->stop();
        QTest::qWait(200);
        QCOMPARE(fresh.count(), 0);
        QVERIFY(h.statusPanel2->text().isEmpty());
        QVERIFY(h.messages.messages.isEmpty());

        h.tbs->setCurrentIndex(0);
        for (const auto &[tab, path] : {std::pair {0, "/a"}, {0, "/b"}, {1, "/c"}, {1, "/d"}})
            QVERIFY(h.navigateAndWait(tab, url(path)));
        QCOMPARE(h.tabs->currentTabIndex(), 0);

        QSignalSpy finished0(h.page(0), &QWebEnginePage::loadFinished);
        QSignalSpy started1(h.page(1), &QWebEnginePage::loadStarted);
        h.tabs->goBack();
        QVERIFY(finished0.wait(10000));
        QCOMPARE(h.txtURL->text(), url("/a"));
        h.tabs->goForward();
        QVERIFY(finished0.wait(10000));
        QCOMPARE(h.page(0)->url().path(), QStringLiteral("/b"));
        const int bLoads = m_server.getCount("/b");
        h.tabs->refresh();
        QVERIFY(finished0.wait(10000));
        QCOMPARE(m_server.getCount("/b"), bLoads + 1);
        QCOMPARE(started1.count(), 0);

        // Now tab "2" is current: Back moves its browser and leaves tab "1" alone.
        h.tbs->setCurrentIndex(1);
        h.tabs->goBack();
        QTRY_COMPARE_WITH_TIMEOUT(h.page(1)->url().path(), QStringLiteral("/c"), 10000);
        QCOMPARE(h.page(0)->url().path(), QStringLiteral("/b"));
    }

    void stopActsOnTheCurrentTab()
    {
        TabsHarness h;
        QSignalSpy finished0(h.page(0), &QWebEnginePage::loadFinished);
        QSignalSpy finished1(h.page(1), &QWebEnginePage::loadFinished);
        h.tabs->navigate(1, QUrl(url("/slow")));
        h.tabs->navigate(0, QUrl(url("/slow")));
        QTRY_COMPARE(h.statusPanel2->text(), QStringLiteral("Loading"));
        h.tabs->stop();
        QVERIFY(finished0.wait(2000));
        QCOMPARE(finished0.first().first().toBool(), false);
        QCOMPARE(finished1.count(), 0);
        QVERIFY(finished1.wait(10000));
        QCOMPARE(finished1.first().first().toBool(), true);
    }

    void newWindowAsks_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("allow");
        QTest::newRow("current tab, No") << 0 << false;
        QTest::newRow("background tab, No") << 3 << false;
        QTest::newRow("current tab, Yes") << 0 << true;
    }
    void newWindowAsks()
    {
        QFETCH(int, tab);
        QFETCH(bool, allow);
        TabsHarness h;
        QVERIFY(h.navigateAndWait(tab, url("/a")));
        h.messages.nextAnswers.enqueue(allow ? MessageAnswer::Yes : MessageAnswer::No);
        TabsHarness::eval(h.page(tab), QStringLiteral("window.open('/popup'); true"));
        QTRY_COMPARE(h.messages.messages.size(), 1);
        QCOMPARE(h.messages.lastText(),
                 QStringLiteral("A web page is about to open outside Vaultry.\r\nDo you want to allow it?"));
        QCOMPARE(h.messages.messages.first().buttons, MessageButtons::YesNo);
        QTest::qWait(300);
        QCOMPARE(h.openedOutside, allow ? QList<QUrl> {QUrl(url("/popup"))} : QList<QUrl> {});
        // Nothing opens inside: the page stays, and no browser loaded the new address.
        QCOMPARE(h.page(tab)->url().path(), QStringLiteral("/a"));
        QCOMPARE(m_server.getCount("/popup"), 0);
    }

    void pagesShowNoDialogs()
    {
        TabsHarness h;
        // Any dialog that opens is noted and closed, so that a failure does not hang the test.
        QStringList dialogs;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                dialogs.append(modal->windowTitle());
                modal->close();
            }
        });
        watch.start(50);
        QVERIFY(h.navigateAndWait(0, url("/noisy")));
        // The script ran past its dialogs without waiting for anyone.
        QCOMPARE(h.page(0)->title(), QStringLiteral("Quiet"));
        QVERIFY(dialogs.isEmpty());
        QVERIFY(h.messages.messages.isEmpty());
    }

    // A page that asks before it is left (once the user has used it) must not keep the tab from
    // opening the next profile.
    void leavingAPageIsNotHeldUp()
    {
        TabsHarness h;
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        QVERIFY(h.navigateAndWait(0, url("/guarded")));
        h.window.activateWindow();
        // The page asks before leaving only after a real user gesture; under a busy X server the first click
        // may not reach the renderer yet, so click until the page has seen one.
        bool active = false;
        for (int attempt = 0; attempt < 10 && !active; ++attempt) {
            QTest::qWait(200);
            QTest::mouseClick(h.window.windowHandle(), Qt::LeftButton, {},
                              h.tabs->wbPage(0)->mapTo(&h.window, QPoint(20, 20)));
            for (char c : {'a', 'b', 'c'})
                QTest::keyClick(h.window.windowHandle(), c);
            active = QTest::qWaitFor(
                [&] { return TabsHarness::eval(h.page(0), "navigator.userActivation.hasBeenActive").toBool(); }, 1000);
        }
        QVERIFY(active);
        QVERIFY(h.openAndWait(url("/a"), "ann", "pw"));
        QCOMPARE(h.page(0)->url().path(), QStringLiteral("/a"));
    }
};

QTEST_MAIN(TestAccountTabs)
#include "tst_accounttabs.moc"
