#pragma once

#include <QObject>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The helpers of a password box: a toggle that shows or hides the password, a button that fills in a generated one,
// and under the box a meter of its strength, with its words, that follows every change.
class PasswordBoxTools : public QObject
{
    Q_OBJECT
public:
    PasswordBoxTools(QLineEdit *box, QToolButton *show, QPushButton *generate, QProgressBar *meter, QLabel *words,
                     QObject *parent);

private:
    void showPassword(bool shown);
    void generate();
    void rate(const QString &password);

    QLineEdit *m_box;
    QToolButton *m_show;
    QProgressBar *m_meter;
    QLabel *m_words;
};
