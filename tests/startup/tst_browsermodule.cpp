// The browser module loads into an application that started without the web engine, as the program loads it after
// a passed sign-in, and its start page renders; a missing or broken module is reported, not a crash.
#include "connectiontest.h"
#include "keyclock.h"
#include "mainwindowloader.h"
#include "profilestore.h"
#include "seams.h"
#include "settings.h"
#include "signingate.h"

#include <QtTest>
#include <QtWidgets>

class tst_BrowserModule : public QObject, ConnectionTest
{
    Q_OBJECT
    bool isConnected() override { return false; }

private slots:
    void loadsAfterTheStart()
    {
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
        BrowserModule::CreateMainWindow create = nullptr;
        QString error;
        QVERIFY2(startup::loadBrowserModule(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"), &create, &error),
                 qPrintable(error));
        QTemporaryDir folder;
        ProfileStore store(folder.path());
        Settings settings(folder.path());
        RecordingMessageService messages;
        ScriptedFileDialogService files;
        const MainWindowServices services {store, settings, messages, files, *this, {}, folder.path(), {}, {}};
        const std::unique_ptr<QWidget> window(create(&services));
        window->show();
        QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QLabel *>("statusPanel2")->text(), "Complete", 30000);
    }

    void missingOrBrokenModuleIsReported_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a library") << QByteArray("text");
    }
    void missingOrBrokenModuleIsReported()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        QFile module(folder.filePath("libVaultryBrowser.so"));
        QVERIFY(content.isEmpty() || (module.open(QIODevice::WriteOnly) && module.write(content) == 4));
        module.close();
        RecordingMessageService messages;
        ProfileStore store(folder.path());
        Settings settings(folder.path());
        const EventKeyClock clock;
        SignInGate gate(store, messages, QString(), clock);
        QVERIFY(!startup::loadMainWindow(folder.path(), store, settings, gate, messages, {}));
        QVERIFY(messages.lastText().startsWith("The browser part of Vaultry could not be loaded.\r\n"));
    }
};

QTEST_MAIN(tst_BrowserModule)
#include "tst_browsermodule.moc"
