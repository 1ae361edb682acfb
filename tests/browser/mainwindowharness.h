#pragma once

#include "accounttabs.h"
#include "connectiontest.h"
#include "mainwindow.h"
#include "pagescript.h"
#include "profilestore.h"
#include "seams.h"
#include "settings.h"

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
    bool connected = false, loginPasses = true;
    int loginChecks = 0;
    std::function<void()> duringLogin; // runs while the sign-in check is open
    QTemporaryDir folder;
    ProfileStore store {folder.path()};
    Settings settings {folder.path()};
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    QList<QUrl> external; // pages handed to the desktop's browser
    QList<QPair<int, QUrl>> finished; // loads finished, as (tab, address)
    std::unique_ptr<MainWindow> window;

    bool isConnected() override { return connected; }
    MainWindow &open()
    {
        QFile::copy(qEnvironmentVariable("VAULTRY_PROGRAM_DIR") + "/Qorvish.bmp", folder.filePath("Qorvish.bmp"));
        if (window)
            window->close(); // the old window stores its settings first
        const auto signIn = [this] {
            if (duringLogin)
                duringLogin();
            return ++loginChecks, loginPasses;
        };
        const auto openExternally = [this](const QUrl &url) {
            external.append(url);
        };
        window = std::make_unique<MainWindow>(
            MainWindowServices {store, settings, messages, files, *this, signIn, folder.path(), openExternally, {}});
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
