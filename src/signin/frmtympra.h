#pragma once

#include "keytimingcapture.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class clsAgentDB;
class KeyClock;
class MessageService;

// The sign-in dialog: enrolment of a new user (name, master password, ten timed typings of it) or a login
// that checks both texts and judges the typing rhythm. Success is reported only through accessGranted.
class frmTympra : public QDialog
{
    Q_OBJECT

public:
    // engineLibraryPath: the typing-rhythm engine, see TymcoreEngine::libraryPathIn.
    frmTympra(clsAgentDB &agentDB, bool &accessGranted, MessageService &messages, const QString &engineLibraryPath,
              const KeyClock &clock, QWidget *parent = nullptr);

    void RegisterNewTYMProfile();
    void LogInTYMProfile();

    QLabel *lblUserID;
    QLineEdit *txtUserID;
    QLabel *lblPassword;
    QLineEdit *txtMasterPassword;
    QLabel *lblTip;
    QLabel *lblRegistration;
    QLabel *lblKeptDatabase;
    QProgressBar *pgrTimes;
    QLineEdit *txtCount;
    QPushButton *cmdCancel;
    QPushButton *cmdNext;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cmdNext_Click();
    void enrolFirstStep();
    void enrolSample();
    void logIn();
    bool refuseForCodePage(const QString &text, const QString &field, QLineEdit *box);
    void ClearPasswordBox();
    void updateCapture();
    void showKeptDatabase();

    clsAgentDB &m_agentDB;
    bool &m_accessGranted;
    MessageService &m_messages;
    QString m_engineLibraryPath;
    const KeyClock &m_clock;

    KeyTimingCapture m_capture;
    bool bRegisterMode = false;
    bool bTrainingPhase = false;
    bool bLoginMode = false;
    QString sNewMasterPassword;
    QStringList sTrainSamples;
};
