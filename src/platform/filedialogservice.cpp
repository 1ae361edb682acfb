#include "filedialogservice.h"

#include <QFileDialog>

QString DialogFileDialogService::getOpenFileName(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString DialogFileDialogService::getSaveFileName(QWidget *parent, const QString &title, const QString &filter,
                                                 const QString &suggestedName)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedName, filter);
}
