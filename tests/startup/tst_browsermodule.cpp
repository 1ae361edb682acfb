// The browser module loads into an application that started without the web engine, as the program loads it after
// a passed sign-in, and its start page renders; a missing or broken module is reported, not a crash.
#include "clsagentdb.h"
#include "connectiontest.h"
#include "mainwindowloader.h"
#include "seams.h"

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
        const modMain::BrowserModuleLoad module =
            modMain::LoadBrowserModule(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"));
        QVERIFY2(module.create, qPrintable(module.error));
        QTemporaryDir folder;
        clsAgentDB db(folder.path());
        bool granted = true;
        RecordingMessageService messages;
        ScriptedFileDialogService files;
        const MainWindowServices services {db, granted, messages, files, *this, {}, folder.path(), {}};
        const std::unique_ptr<QWidget> window(module.create(&services));
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
        QVERIFY(!modMain::LoadMainWindow(folder.path(), messages));
        QVERIFY(messages.lastText().startsWith("The browser part of Vaultry could not be loaded.\r\n"));
    }
};

QTEST_MAIN(tst_BrowserModule)
#include "tst_browsermodule.moc"
