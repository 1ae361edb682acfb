#pragma once

#include "filedialogservice.h"
#include "messageservice.h"

#include <QQueue>

// Records every message instead of showing it; questions take the queued "next answer" (No when none is queued).
struct RecordingMessageService : MessageService
{
    struct Message
    {
        QString title, text;
        MessageIcon icon;
        MessageButtons buttons;
    };
    QList<Message> messages;
    QQueue<MessageAnswer> nextAnswers;

    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon, MessageButtons buttons) override
    {
        messages.append({title, text, icon, buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return nextAnswers.isEmpty() ? MessageAnswer::No : nextAnswers.dequeue();
    }
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};

// Answers file dialogs, open and save alike, from a queue of paths; an empty path, or an empty queue, is a cancel.
struct ScriptedFileDialogService : FileDialogService
{
    QQueue<QString> nextPaths;
    QString getOpenFileName(QWidget *, const QString &, const QString &) override
    {
        return nextPaths.isEmpty() ? QString() : nextPaths.dequeue();
    }
    QString getSaveFileName(QWidget *w, const QString &t, const QString &f, const QString &) override
    {
        return getOpenFileName(w, t, f);
    }
};
