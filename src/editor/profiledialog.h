#pragma once

#include <QDialog>

#include <memory>

class FileDialogService;
class MessageService;
class ProfileStore;
namespace Ui {
class ProfileDialog;
}

// The dialog in which a website profile is created or edited, shown modally. A successful Confirm writes the wallet,
// copies a newly chosen picture into the thumbs folder and closes with Accepted.
class ProfileDialog : public QDialog
{
    Q_OBJECT
public:
    // index: the profile to edit; -1 for a new one, which the store appends at its end.
    ProfileDialog(ProfileStore &store, int index, MessageService &messages, FileDialogService &files,
                  QWidget *parent = nullptr);
    ~ProfileDialog() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void confirm();
    void choosePicture();
    void showThumb(const QString &path);

    std::unique_ptr<Ui::ProfileDialog> ui;
    ProfileStore &m_store;
    int m_index;
    MessageService &m_messages;
    FileDialogService &m_files;
    QString m_thumbName; // the bare name of the picture chosen in this dialog
};
