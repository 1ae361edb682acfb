#pragma once

#include <QString>

class QWidget;

// The icons a message box can carry. The described "exclamation" icon is the warning icon.
enum class MessageIcon { NoIcon, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Every message box of the program goes through this seam, so tests can record the messages and answer questions.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

// Shows real modal message boxes.
class DialogMessageService : public MessageService
{
public:
    explicit DialogMessageService(QWidget *parent = nullptr) : m_parent(parent) { }
    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    QWidget *m_parent;
};

// The application title that titles most message boxes.
inline const QString kApplicationTitle = QStringLiteral("Vaultry");

// A failure as the user is told of it: the described message, and on the next line the reason the failing step gave.
inline QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\r\n") + reason;
}
