#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class MessageService;
class QLabel;
class QLineEdit;
class Settings;
namespace Ui {
class SettingsDialog;
}

// What the Settings window works with. The two wallet functions belong to the wallet's owner: sealWallet seals or
// unseals the wallet at once, the SealWallet key included, and says why when it cannot; without it the check box
// only records the choice in vy.ini. Without changeMasterPassword its button is disabled.
struct SettingsWindowServices
{
    Settings &settings;
    MessageService &messages;
    std::function<bool(bool seal, QString *error)> sealWallet = {};
    std::function<void()> changeMasterPassword = {};
};

// The settings of vy.ini that a user changes: the page tab "1" opens at start, how long a copied password stays,
// the minutes before the lock, and the sealing of the wallet. Each change is written as soon as it is made (a text
// when Enter is pressed or the box is left); a value that is refused shows why under its box and is not written.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(const SettingsWindowServices &services, QWidget *parent = nullptr);
    ~SettingsDialog() override;

    void done(int result) override;

private:
    using Setter = std::function<bool(const QString &text, QString *error)>;
    void watch(QLineEdit *box, QLabel *refusal, Setter setter);
    void sealChanged(bool on);

    std::unique_ptr<Ui::SettingsDialog> ui;
    SettingsWindowServices m_services;
    QList<std::function<void()>> m_applies; // one per text box: writes its text when the user changed it
};
