#pragma once

#include "accounttabs.h"
#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmmain.h"
#include "pagescript.h"
#include "seams.h"

#include <QComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

// A main window over a store in a temporary program folder, offline unless told otherwise; its sign-in check
// for protected profiles passes or fails as the test says.
struct MainWindowHarness : ConnectionTest
{
    bool connected = false, accessGranted = true, loginPasses = true;
    int loginChecks = 0;
    std::function<void()> duringLogin; // runs while the sign-in check is open
    QTemporaryDir folder;
    clsAgentDB db {folder.path()};
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    QList<QUrl> external; // pages handed to the desktop's browser
    QList<QPair<int, QUrl>> finished; // loads finished, as (tab, address)
    std::unique_ptr<frmMain> window;

    bool isConnected() override { return connected; }
    frmMain &open()
    {
        QFile::copy(qEnvironmentVariable("VAULTRY_PROGRAM_DIR") + "/Qorvish.bmp", folder.filePath("Qorvish.bmp"));
        if (window)
            window->close(); // the old window stores its settings first
        window = std::make_unique<frmMain>(MainWindowServices {db, accessGranted, messages, files, *this,
                                                               [this] {
                                                                   if (duringLogin)
                                                                       duringLogin();
                                                                   accessGranted = (++loginChecks, loginPasses);
                                                               },
                                                               folder.path(),
                                                               [this](const QUrl &url) {
                                                                   external.append(url);
                                                               }});
        for (int i = 0; i < AccountTabs::kTabCount; ++i) // after the tabs' own handlers
            QObject::connect(page(i), &QWebEnginePage::loadFinished, window.get(), [this, i] {
                finished.append({i, page(i)->url()});
            });
        window->show();
        return *window;
    }
    template<typename T = QWidget>
    T *child(const char *name) const
    {
        return window->findChild<T *>(name);
    }
    AccountTabs &tabs() const { return window->tabs(); }
    QWebEnginePage *page(int i) const { return tabs().wbPage(i)->page(); }
    void selectTab(int caption) const { child<QTabBar>("tbs")->setCurrentIndex(caption - 1); }
    // Chooses list position p as the user does (choosing the chosen profile again counts).
    void choose(int p) const
    {
        child<QComboBox>("cboWP")->setCurrentIndex(p);
        emit child<QComboBox>("cboWP")->activated(p);
    }
    // Waits until tab i has finished loading url (once more since the last wait).
    bool loaded(int i, const QString &url)
    {
        return runUntil([&] { return finished.removeOne({i, QUrl(url)}); }, 15000);
    }
    static QVariant eval(QWebEnginePage *page, const QString &script) { return evalInPage(page, script); }
};
