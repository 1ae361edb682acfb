#include "filedialogservice.h"

#include <QFileDialog>

QString DialogFileDialogService::getOpenFileName(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}
