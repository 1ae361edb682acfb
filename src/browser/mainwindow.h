#pragma once

#include "mainwindowservices.h"

#include <QMainWindow>

#include <memory>

class AccountTabs;
class PasswordHealth;
class ProfileListModel;
class SecretClipboard;
namespace Ui {
class MainWindow;
}

// The program's working window: the profile list with new, edit and delete, copying, finding, import and export,
// the automatic sign-in switch, and five account tabs, each with its own browser.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    AccountTabs &tabs() const { return *m_tabs; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void addShortcuts();
    void showStartPages();

    // The store index of the chosen profile; -1 when none is.
    int chosenProfile() const;
    // Sets the list position by code; runs the choice when the position changes.
    void selectPosition(int position);
    // Refills the list from the store under the find text; `chosen` (a store index) stays chosen when shown.
    void fillList(int chosen);
    void findTextChanged();
    void openFirstMatch();
    bool typeIntoFind(QObject *watched, QEvent *event);

    void chooseProfile(int position);
    void showProfilePictures(int profile);
    void hideProfilePictures();
    // Shows the picture at path in imgWPThumb, or nothing when it cannot be loaded.
    void showThumb(const QString &path);
    // The store took in a change from disk: the list follows, and the status bar says what came.
    void takeWalletFromDisk(const QString &status);
    void newProfile();
    void editProfile();
    void deleteProfile();
    void importPasswords();
    void copyLoginName();
    void copyPassword();
    void toggleSideBar();
    // The side bar's Settings and Password health, and the number of findings on the latter's button.
    void connectSettingsAndHealth();
    void openSettings();
    void openPasswordHealth();
    void updateHealthButton();
    // After profiles were edited: the list and the chosen profile's pictures follow.
    void showEditedProfiles();

    std::unique_ptr<Ui::MainWindow> ui;
    MainWindowServices m_services;
    AccountTabs *m_tabs = nullptr;
    ProfileListModel *m_profiles = nullptr;
    SecretClipboard *m_clipboard = nullptr;
    std::unique_ptr<PasswordHealth> m_health;
};
