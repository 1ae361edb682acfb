#pragma once

#include "accounttabs.h"
#include "recordingmessageservice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWidget>

#include <memory>
#include <optional>

// The controls the main window hands to AccountTabs, in a plain window of their own.
struct TabsHarness
{
    QWidget window;
    QTabBar *tbs = new QTabBar;
    QLineEdit *txtURL = new QLineEdit;
    QLineEdit *txtPageTitle = new QLineEdit;
    QWidget *browserArea = new QWidget;
    QProgressBar *pgrLoad = new QProgressBar;
    QLabel *statusPanel2 = new QLabel;
    QCheckBox *chkAutoSignIn = new QCheckBox(QStringLiteral("Automatically sign in."));
    RecordingMessageService messages;
    QList<QUrl> openedOutside;
    std::unique_ptr<AccountTabs> tabs;

    TabsHarness()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *> {tbs, txtURL, txtPageTitle, browserArea, pgrLoad,
                                                            statusPanel2, chkAutoSignIn})
            layout->addWidget(w);
        browserArea->setMinimumSize(640, 400);
        pgrLoad->setRange(0, 100);
        tabs = std::make_unique<AccountTabs>(
            AccountTabsControls {tbs, browserArea, txtURL, txtPageTitle, pgrLoad, statusPanel2, chkAutoSignIn},
            messages, [this](const QUrl &u) { openedOutside.append(u); });
        for (int k = 1; k <= AccountTabs::kTabCount; ++k)
            tbs->addTab(QString::number(k));
        window.resize(800, 640);
        window.show();
    }

    QWebEnginePage *page(int i) const { return tabs->wbPage(i)->page(); }

    // Runs a script in the page's own world and waits for its result (invalid after 5 s).
    static QVariant eval(QWebEnginePage *page, const QString &script)
    {
        // Shared, so that a late answer after a timeout writes nowhere harmful.
        auto result = std::make_shared<std::optional<QVariant>>();
        page->runJavaScript(script, QWebEngineScript::MainWorld, [result](const QVariant &v) { *result = v; });
        if (!QTest::qWaitFor([&] { return result->has_value(); }, 5000))
            return {};
        return **result;
    }

    // Loads url in tab i and waits until its page has finished.
    bool navigateAndWait(int i, const QString &url)
    {
        QSignalSpy finished(page(i), &QWebEnginePage::loadFinished);
        tabs->navigate(i, QUrl(url));
        return finished.wait(10000);
    }

    // Opens a profile in the current tab and waits until its page has finished.
    bool openAndWait(const QString &url, const QString &id, const QString &password)
    {
        const int t = tabs->currentTabIndex();
        QSignalSpy finished(page(t), &QWebEnginePage::loadFinished);
        tabs->openProfile(url, id, password);
        return finished.wait(10000);
    }
};
