#pragma once

#include "mainwindowservices.h"

#include <QDialog>

#include <memory>

class PasswordHealth;
class QTreeWidgetItem;
namespace Ui {
class PasswordHealthDialog;
}

// Lists the profiles whose passwords are easy to guess and the passwords that several profiles share; a profile's
// row opens the profile dialog. Protected profiles are listed only after the rhythm check, and no password is shown.
class PasswordHealthDialog : public QDialog
{
    Q_OBJECT
public:
    PasswordHealthDialog(const MainWindowServices &services, PasswordHealth &health, QWidget *parent = nullptr);
    ~PasswordHealthDialog() override;

    // Whether a profile was changed from here, so that the main window shows it anew.
    bool edited() const { return m_edited; }

    // The side bar button's caption: "Password health", with the number of findings when there are any.
    static QString buttonText(int findings);

private:
    void showFindings();
    QTreeWidgetItem *addProfile(QTreeWidgetItem *parent, int profile, const QString &finding);
    void checkProtected();
    void openProfile(QTreeWidgetItem *item);

    std::unique_ptr<Ui::PasswordHealthDialog> ui;
    MainWindowServices m_services;
    PasswordHealth &m_health;
    bool m_withProtected = false;
    bool m_edited = false;
};
