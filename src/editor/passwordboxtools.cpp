#include "passwordboxtools.h"

#include "passwordgenerator.h"
#include "passwordstrength.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

PasswordBoxTools::PasswordBoxTools(QLineEdit *box, QWidget *parent) : QWidget(parent), m_box(box)
{
    cmdShowPassword = new QToolButton(this);
    cmdShowPassword->setObjectName(QStringLiteral("cmdShowPassword"));
    cmdShowPassword->setCheckable(true);
    cmdShowPassword->setFocusPolicy(Qt::StrongFocus);
    cmdGeneratePassword = new QPushButton(QStringLiteral("Generate"), this);
    cmdGeneratePassword->setObjectName(QStringLiteral("cmdGeneratePassword"));
    cmdGeneratePassword->setAutoDefault(false);
    const QString generateTip =
        QStringLiteral("Fill in a random password of %1 characters").arg(PasswordGenerator::kDefaultLength);
    cmdGeneratePassword->setToolTip(generateTip);
    cmdGeneratePassword->setAccessibleName(generateTip);

    pgrStrength = new QProgressBar(this);
    pgrStrength->setObjectName(QStringLiteral("pgrStrength"));
    pgrStrength->setRange(0, PasswordStrength::kBestScore);
    pgrStrength->setTextVisible(false);
    pgrStrength->setFixedHeight(8);
    pgrStrength->setAccessibleName(QStringLiteral("Password strength"));
    const QString strengthTip = QStringLiteral("How hard the password is to guess, as zxcvbn estimates it");
    pgrStrength->setToolTip(strengthTip);
    lblStrength = new QLabel(this);
    lblStrength->setObjectName(QStringLiteral("lblStrength"));
    lblStrength->setToolTip(strengthTip);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(box, 0, 0, 1, 2);
    grid->addWidget(cmdShowPassword, 0, 2);
    grid->addWidget(cmdGeneratePassword, 0, 3);
    grid->addWidget(pgrStrength, 1, 0);
    grid->addWidget(lblStrength, 1, 1, 1, 3);
    grid->setColumnStretch(0, 1);

    connect(cmdShowPassword, &QToolButton::toggled, this, &PasswordBoxTools::showPassword);
    connect(cmdGeneratePassword, &QPushButton::clicked, this, &PasswordBoxTools::generate);
    connect(box, &QLineEdit::textChanged, this, &PasswordBoxTools::rate);
    showPassword(false);
    rate(box->text());
}

void PasswordBoxTools::showPassword(bool shown)
{
    m_box->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    cmdShowPassword->setText(shown ? QStringLiteral("Hide") : QStringLiteral("Show"));
    const QString tip = shown ? QStringLiteral("Hide the password") : QStringLiteral("Show the password");
    cmdShowPassword->setToolTip(tip);
    cmdShowPassword->setAccessibleName(tip);
}

void PasswordBoxTools::generate()
{
    m_box->setText(PasswordGenerator::generate(m_box->maxLength()));
    m_box->setFocus();
}

void PasswordBoxTools::rate(const QString &password)
{
    const PasswordStrength strength = PasswordStrength::of(password);
    pgrStrength->setValue(strength.score);
    // Red to green along the scale.
    static const char *const colours[] = {"#c0392b", "#d35400", "#d4a017", "#5a9e32", "#2e7d32"};
    pgrStrength->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: %1; }").arg(colours[strength.score]));
    pgrStrength->setAccessibleDescription(strength.words);
    lblStrength->setText(strength.words);
}
