#pragma once

#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmmain.h"
#include "recordingmessageservice.h"
#include "scriptedfiledialogservice.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

// A main window over a store in a temporary program folder, offline unless told otherwise.
struct MainWindowHarness
{
    struct Connection : ConnectionTest
    {
        bool connected = false;
        bool isConnected() override { return connected; }
    };

    QTemporaryDir folder;
    clsAgentDB db {folder.path()};
    bool accessGranted = true;
    int loginChecks = 0; // how often the login dialog ran
    bool loginPasses = true;
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    Connection connection;
    QList<QUrl> external; // pages opened outside
    std::unique_ptr<frmMain> window;

    explicit MainWindowHarness(const QString &programDir = qEnvironmentVariable("VAULTRY_PROGRAM_DIR"))
    {
        QFile::copy(programDir + QStringLiteral("/Qorvish.bmp"), folder.filePath(QStringLiteral("Qorvish.bmp")));
    }

    frmMain &open()
    {
        window.reset(); // the old window stores its settings first
        MainWindowServices services {db,
                                     accessGranted,
                                     messages,
                                     files,
                                     connection,
                                     [this] {
                                         ++loginChecks;
                                         if (loginPasses)
                                             accessGranted = true;
                                     },
                                     folder.path(),
                                     [this](const QUrl &url) {
                                         external.append(url);
                                     }};
        window = std::make_unique<frmMain>(services);
        window->show();
        return *window;
    }
};
