#pragma once

#include "keytimingcapture.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class KeyClock;
class MessageService;
class ProfileStore;
class QLineEdit;
namespace Ui {
class SignInDialog;
}

// The sign-in dialog: enrolment of a new user (name, master password, ten timed typings of it) or a login that
// checks both texts and judges the typing rhythm. exec() gives Accepted exactly when the enrolment was saved or the
// login passed; see SignInGate for the windows' way in.
class SignInDialog : public QDialog
{
    Q_OBJECT

public:
    // NewPassword: the enrolment's steps for a new master password of the enrolled user, whose name stays.
    enum class Mode { Enrolment, Login, NewPassword };

    // engineLibraryPath: the typing-rhythm engine, see TymcoreEngine::libraryPathIn.
    SignInDialog(Mode mode, ProfileStore &store, MessageService &messages, const QString &engineLibraryPath,
                 const KeyClock &clock, QWidget *parent = nullptr);
    ~SignInDialog() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void next();
    void enrolFirstStep();
    void enrolSample();
    void saveEnrolment();
    void logIn();
    QString loginRefusal() const;
    QString unlockRefusal();
    void judgeRhythm(int length);
    bool refuseField(QLineEdit *box, int minLength, const QString &field);
    void clearPasswordBox();
    void showKeptWallet();

    std::unique_ptr<Ui::SignInDialog> ui;
    Mode m_mode;
    ProfileStore &m_store;
    MessageService &m_messages;
    QString m_engineLibraryPath;
    const KeyClock &m_clock;

    KeyTimingCapture m_capture;
    bool m_training = false; // enrolment past its first step: the samples are being taken
    QString m_newMasterPassword;
    QStringList m_samples;
};
