#include "settingsdialog.h"

#include "messageservice.h"
#include "settings.h"
#include "ui_settingsdialog.h"

#include <QPushButton>
#include <QSignalBlocker>

#include <limits>

namespace {

// A whole number as typed; one that no setting takes when the text is none.
int wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : std::numeric_limits<int>::min();
}

} // namespace

SettingsDialog::SettingsDialog(const SettingsWindowServices &services, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingsDialog>()), m_services(services)
{
    ui->setupUi(this);
    // Enter in a box writes its value; it must not press a button as well.
    ui->buttonBox->button(QDialogButtonBox::Close)->setAutoDefault(false);
    Settings &settings = m_services.settings;
    ui->txtHomePage->setText(settings.homePage());
    ui->txtClipboardSeconds->setText(QString::number(settings.clipboardSeconds()));
    ui->txtLockMinutes->setText(QString::number(qMax(0, settings.lockMinutes())));
    ui->chkSealWallet->setChecked(settings.sealWallet());

    watch(ui->txtHomePage, ui->lblHomePageRefusal,
          [&settings](const QString &text, QString *error) { return settings.setHomePage(text, error); });
    watch(ui->txtClipboardSeconds, ui->lblClipboardSecondsRefusal, [&settings](const QString &text, QString *error) {
        return settings.setClipboardSeconds(wholeNumber(text), error);
    });
    watch(ui->txtLockMinutes, ui->lblLockMinutesRefusal, [&settings](const QString &text, QString *error) {
        return settings.setLockMinutes(wholeNumber(text), error);
    });
    connect(ui->chkSealWallet, &QCheckBox::toggled, this, &SettingsDialog::sealChanged);
    ui->cmdChangeMasterPassword->setEnabled(bool(m_services.changeMasterPassword));
    connect(ui->cmdChangeMasterPassword, &QPushButton::clicked, this, [this] { m_services.changeMasterPassword(); });
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::watch(QLineEdit *box, QLabel *refusal, Setter setter)
{
    const auto apply = [box, refusal, setter] {
        if (!box->isModified())
            return;
        QString error;
        const bool written = setter(box->text(), &error);
        // Written: the box counts as unchanged until it is edited again. Refused: it stays as typed, to be mended.
        box->setModified(!written);
        refusal->setText(written ? QString() : error);
        refusal->setVisible(!written);
    };
    connect(box, &QLineEdit::editingFinished, this, apply);
    m_applies.append(apply);
}

void SettingsDialog::done(int result)
{
    // A box still being edited counts as left: the window closes over it.
    for (const auto &apply : std::as_const(m_applies))
        apply();
    QDialog::done(result);
}

void SettingsDialog::sealChanged(bool on)
{
    QString error;
    const bool done =
        m_services.sealWallet ? m_services.sealWallet(on, &error) : m_services.settings.setSealWallet(on, &error);
    if (done)
        return;
    const QSignalBlocker blocker(ui->chkSealWallet);
    ui->chkSealWallet->setChecked(!on);
    m_services.messages.show(kApplicationTitle,
                             withReason(on ? QStringLiteral("The wallet could not be sealed.")
                                           : QStringLiteral("The wallet could not be unsealed."),
                                        error),
                             MessageIcon::Critical);
}
