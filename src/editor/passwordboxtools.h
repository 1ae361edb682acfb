#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The profile's password box with its helpers: a toggle that shows or hides the password, a button that fills in a
// generated one, and under the box a meter of its strength that follows every change.
class PasswordBoxTools : public QWidget
{
    Q_OBJECT
public:
    // Takes box into its own layout.
    PasswordBoxTools(QLineEdit *box, QWidget *parent);

    QToolButton *cmdShowPassword = nullptr;
    QPushButton *cmdGeneratePassword = nullptr;
    QProgressBar *pgrStrength = nullptr;
    QLabel *lblStrength = nullptr;

private:
    void showPassword(bool shown);
    void generate();
    void rate(const QString &password);

    QLineEdit *m_box;
};
