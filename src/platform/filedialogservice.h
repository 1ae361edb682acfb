#pragma once

#include <QString>

class QWidget;

// Every file-open dialog of the program goes through this seam, so tests can answer it.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;
    // The full path of the chosen file, or an empty text when the user cancelled.
    // filter uses Qt's syntax, e.g. "Picture files (*.bmp *.jpg *.gif)".
    virtual QString getOpenFileName(QWidget *parent, const QString &title, const QString &filter) = 0;
};

// Shows the real file-open dialog.
class DialogFileDialogService : public FileDialogService
{
public:
    QString getOpenFileName(QWidget *parent, const QString &title, const QString &filter) override;
};
