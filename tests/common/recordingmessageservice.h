#pragma once

#include "messageservice.h"

#include <QList>
#include <QQueue>

// Records every message instead of showing it; questions take the queued "next answer" (No when none is queued).
class RecordingMessageService : public MessageService
{
public:
    struct Message
    {
        QString title;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon, MessageButtons buttons) override
    {
        messages.append({title, text, icon, buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return nextAnswers.isEmpty() ? MessageAnswer::No : nextAnswers.dequeue();
    }

    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }

    QList<Message> messages;
    QQueue<MessageAnswer> nextAnswers;
};
