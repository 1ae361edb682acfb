#pragma once

#include <QString>

class QWidget;

// Every file dialog of the program goes through this seam, so tests can answer it.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;
    // The full path of the chosen file, or an empty text when the user cancelled.
    // filter uses Qt's syntax, e.g. "Picture files (*.bmp *.jpg *.gif)".
    virtual QString getOpenFileName(QWidget *parent, const QString &title, const QString &filter) = 0;
    // The full path under which to write a new file, or an empty text when the user cancelled.
    // suggestedName: the file name offered at first.
    virtual QString getSaveFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &suggestedName) = 0;
};

// Shows the real file-open dialog.
class DialogFileDialogService : public FileDialogService
{
public:
    QString getOpenFileName(QWidget *parent, const QString &title, const QString &filter) override;
    QString getSaveFileName(QWidget *parent, const QString &title, const QString &filter,
                            const QString &suggestedName) override;
};
