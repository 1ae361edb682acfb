#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QClipboard;

// Puts login names and passwords on the clipboard. A password is marked for clipboard managers as secret and taken
// off again after a while and when this object goes, but only while the clipboard still holds it: whatever the
// user copied since stays.
class SecretClipboard : public QObject
{
    Q_OBJECT
public:
    // Runs `done` once after `ms` milliseconds; tests stand in for the event loop's timer.
    using Timer = std::function<void(int ms, std::function<void()> done)>;

    explicit SecretClipboard(QClipboard *clipboard, Timer timer = {}, QObject *parent = nullptr);
    ~SecretClipboard() override;

    void copyText(const QString &text);
    // Clears it after `seconds`; a later copy starts the time again.
    void copySecret(const QString &text, int seconds);
    // Clears the clipboard when it still holds the secret put there last.
    void clearSecret();

signals:
    // The secret was taken off the clipboard.
    void secretCleared();

private:
    bool holdsSecret() const;

    QClipboard *m_clipboard;
    Timer m_timer;
    QString m_secret;
    quint64 m_copies = 0; // tells a timer's own copy from a later one
};
