#pragma once

#include <QDialog>

class clsAgentDB;
class FileDialogService;
class MessageService;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The dialog in which a website profile is created (NewWP) or edited (EditWP).
// Shown modally; on a successful Confirm it raises WPUpdated once and closes.
class frmWebsiteProfile : public QDialog
{
    Q_OBJECT
public:
    frmWebsiteProfile(clsAgentDB &db, MessageService &messages, FileDialogService &files, QWidget *parent = nullptr);

    void NewWP();
    void EditWP(qint32 lWPIndex);

signals:
    void WPUpdated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cmdConfirm_Click();
    void SelectThumb();
    void showThumb(const QString &path);

    clsAgentDB &m_db;
    MessageService &m_messages;
    FileDialogService &m_files;

    bool bNew = true;
    qint32 lIndex = -1;
    QString m_thumbTag; // bare name of the picture chosen in this dialog

    QLabel *Label1 = nullptr;
    QLineEdit *txtWebsiteName = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtURL = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtID = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *imgThumb = nullptr;
    QLabel *lblNewThumb = nullptr;
    QCheckBox *chkTympra = nullptr;
    QLabel *imgWPTympra = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdAbort = nullptr;
    QLineEdit *txtThumbFullPath = nullptr;
};
