#pragma once

#include "filedialogservice.h"

#include <QList>
#include <QQueue>

// Answers file dialogs from a queue of paths (an empty path, or an empty queue, is a cancel) and records each request.
class ScriptedFileDialogService : public FileDialogService
{
public:
    struct Request
    {
        QString title;
        QString filter;
    };

    QString getOpenFileName(QWidget *, const QString &title, const QString &filter) override
    {
        requests.append({title, filter});
        return nextPaths.isEmpty() ? QString() : nextPaths.dequeue();
    }

    QList<Request> requests;
    QQueue<QString> nextPaths;
};
