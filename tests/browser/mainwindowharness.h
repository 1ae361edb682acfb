#pragma once

#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmmain.h"
#include "recordingmessageservice.h"
#include "scriptedfiledialogservice.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

// A main window over an empty store in a temporary program folder, offline.
struct MainWindowHarness
{
    struct Offline : ConnectionTest
    {
        bool isConnected() override { return false; }
    };

    QTemporaryDir folder;
    clsAgentDB db {folder.path()};
    bool accessGranted = true;
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    Offline offline;
    std::unique_ptr<frmMain> window;

    explicit MainWindowHarness(const QString &programDir)
    {
        QFile::copy(programDir + QStringLiteral("/Qorvish.bmp"), folder.filePath(QStringLiteral("Qorvish.bmp")));
    }

    frmMain &open()
    {
        MainWindowServices services {db,
                                     accessGranted,
                                     messages,
                                     files,
                                     offline,
                                     [this] { accessGranted = true; },
                                     folder.path(),
                                     [](const QUrl &) {
                                     }};
        window = std::make_unique<frmMain>(services);
        window->show();
        return *window;
    }
};
