#include "messageservice.h"

#include <QMessageBox>

MessageAnswer DialogMessageService::show(const QString &title, const QString &text, MessageIcon icon,
                                         MessageButtons buttons)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::NoIcon:
        boxIcon = QMessageBox::NoIcon;
        break;
    case MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Question:
        boxIcon = QMessageBox::Question;
        break;
    }
    QMessageBox box(boxIcon, title, text,
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_parent);
    if (buttons == MessageButtons::YesNo)
        box.setDefaultButton(QMessageBox::Yes);
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}
