#pragma once

#include "accounttabs.h"
#include "pagescript.h"
#include "seams.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWebEngineView>

// The five account tabs alone, on the controls that the main window would give them, in a shown window.
struct TabsHarness
{
    QWidget window;
    QTabBar *tbs = new QTabBar(&window);
    QWidget *area = new QWidget(&window);
    QCheckBox *autoSignIn = new QCheckBox(&window);
    RecordingMessageService messages;
    std::unique_ptr<AccountTabs> tabs;
    QList<QPair<int, QUrl>> finished; // loads finished, as (tab, address)

    TabsHarness()
    {
        for (int i = 1; i <= AccountTabs::kTabCount; ++i)
            tbs->addTab(QString::number(i));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(tbs);
        layout->addWidget(area, 1);
        tabs = std::make_unique<AccountTabs>(AccountTabsControls {tbs, area, new QLineEdit(&window),
                                                                  new QLineEdit(&window), new QProgressBar(&window),
                                                                  new QLabel(&window), autoSignIn},
                                             messages, nullptr);
        for (int i = 0; i < AccountTabs::kTabCount; ++i) // after the tabs' own handlers
            QObject::connect(page(i), &QWebEnginePage::loadFinished, &window, [this, i] {
                finished.append({i, page(i)->url()});
            });
        window.resize(900, 700);
        window.show();
    }
    ~TabsHarness() { delete area; } // the browsers go before the sessions that the tabs own
    QWebEnginePage *page(int i) const { return tabs->wbPage(i)->page(); }
    // Opens a profile in the current tab with the switch as given.
    void open(const QString &address, const QString &id, const QString &pw, bool ticked)
    {
        autoSignIn->setChecked(ticked);
        tabs->openProfile(address, id, pw);
    }
    // Waits until tab i has finished loading url (once more since the last wait).
    bool loaded(int i, const QString &url)
    {
        return QTest::qWaitFor([&] { return finished.removeOne({i, QUrl(url)}); }, 15000);
    }
    // Every input of the page and of its frames, as "id=value" ("id=checked" for a ticked box).
    static QString inputs(QWebEnginePage *page)
    {
        return evalInPage(
                   page,
                   "[document].concat(Array.from(document.querySelectorAll('iframe'), f => f.contentDocument)).flatMap("
                   "(d, k) => Array.from(d.querySelectorAll('input'), e => (k ? 'frame:' : '') + e.id + '=' +"
                   "(e.type === 'checkbox' || e.type === 'radio' ? (e.checked ? 'checked' : '') : e.value))).join(' ')")
            .toString();
    }
};
