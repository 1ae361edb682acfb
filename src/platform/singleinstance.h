#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>

#include <memory>

// Lets one copy of the program run per user and program folder. The lock lies outside the program folder
// (the user's runtime folder), so a refused copy touches no file there. A lock left by a crashed copy is
// taken over; a local socket of the same name answers for the running copy.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);
    ~SingleInstance();

    // True when this copy may run (and now holds the lock until destruction).
    bool acquire();

    QString lockFilePath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }

private:
    bool anotherCopyAnswers() const;
    void listen();

    QString m_serverName;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
