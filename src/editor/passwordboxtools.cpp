#include "passwordboxtools.h"

#include "passwordgenerator.h"
#include "passwordstrength.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

PasswordBoxTools::PasswordBoxTools(QLineEdit *box, QToolButton *show, QPushButton *generate, QProgressBar *meter,
                                   QLabel *words, QObject *parent)
    : QObject(parent), m_box(box), m_show(show), m_meter(meter), m_words(words)
{
    const QString generateTip =
        QStringLiteral("Fill in a random password of %1 characters").arg(PasswordGenerator::kDefaultLength);
    generate->setToolTip(generateTip);
    generate->setAccessibleName(generateTip);
    m_meter->setRange(0, PasswordStrength::kBestScore);

    connect(show, &QToolButton::toggled, this, &PasswordBoxTools::showPassword);
    connect(generate, &QPushButton::clicked, this, &PasswordBoxTools::generate);
    connect(box, &QLineEdit::textChanged, this, &PasswordBoxTools::rate);
    showPassword(false);
    rate(box->text());
}

void PasswordBoxTools::showPassword(bool shown)
{
    m_box->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    m_show->setText(shown ? QStringLiteral("Hide") : QStringLiteral("Show"));
    const QString tip = shown ? QStringLiteral("Hide the password") : QStringLiteral("Show the password");
    m_show->setToolTip(tip);
    m_show->setAccessibleName(tip);
}

void PasswordBoxTools::generate()
{
    m_box->setText(PasswordGenerator::generate(m_box->maxLength()));
    m_box->setFocus();
}

void PasswordBoxTools::rate(const QString &password)
{
    const PasswordStrength strength = PasswordStrength::of(password);
    m_meter->setValue(strength.score);
    // Red to green along the scale.
    static const char *const colours[] = {"#c0392b", "#d35400", "#d4a017", "#5a9e32", "#2e7d32"};
    m_meter->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: %1; }").arg(colours[strength.score]));
    m_meter->setAccessibleDescription(strength.words);
    m_words->setText(strength.words);
}
