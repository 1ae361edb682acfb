#pragma once

#include <QString>

// vy.ini in the program folder, section [Vaultry]: what the user may set, each read afresh with its default.
// A new setting is one more key here, read through number() or QSettings as its neighbours are.
class Settings
{
public:
    explicit Settings(const QString &programFolder);

    QString path() const { return m_path; }

    // "Automatically sign in.": on only when AutoSignIn is exactly "1"; written as "1" or "0".
    bool autoSignIn() const;
    void setAutoSignIn(bool on);
    // HomePage: the page tab "1" opens at start when a connection exists; empty (the key missing) opens none.
    QString homePage() const;
    // ClipboardSeconds: how long a copied password stays on the clipboard; 10 unless a whole number of 1 or more.
    int clipboardSeconds() const;
    // LockMinutes: minutes without input before the wallet locks; 5 unless a whole number, 0 or less never.
    int lockMinutes() const;
    // SealWallet: vy.bdb sealed under the master password; on only for "true" or "1", written as "true" or "false".
    // Turn it with walletsealing::turn(), which seals or unseals the wallet at once.
    bool sealWallet() const;
    bool hasSealWallet() const; // the key is there at all

    // The Settings window's changes, each written at once. A value out of its range is refused with the reason and
    // not written; so is everything when vy.ini cannot be written.
    bool setHomePage(const QString &address, QString *error = nullptr); // empty, or an http or https address
    bool setClipboardSeconds(int seconds, QString *error = nullptr); // 1 to kLongestClipboardSeconds
    bool setLockMinutes(int minutes, QString *error = nullptr); // 0 (never) to kLongestLockMinutes
    bool setSealWallet(bool on, QString *error = nullptr);

    static constexpr int kClipboardSeconds = 10;
    static constexpr int kLockMinutes = 5;
    static constexpr int kLongestClipboardSeconds = 86400;
    static constexpr int kLongestLockMinutes = 1440;

private:
    // A whole number under key; defaultValue when the key is missing, not a number or below minimum.
    int number(const QString &key, int defaultValue, int minimum) const;
    bool write(const QString &key, const QString &value, QString *error);

    QString m_path;
};
