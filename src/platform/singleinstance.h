#pragma once

#include <QLocalServer>
#include <QString>

#include <memory>

// Lets one copy of the program run per program folder, whatever the environment it was started from. The rule is
// an advisory lock on an owner-only lock file inside the folder, held for the program's life and released by the
// kernel when the process dies; a refused copy creates no file. A local socket named after the user and the
// folder answers for the running copy, and decides alone where the folder takes no lock file.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);
    ~SingleInstance();

    // True when this copy may run (and now holds the lock until destruction).
    bool acquire();

private:
    bool anotherCopyAnswers() const;
    void listen();

    QString m_serverName;
    QString m_lockPath;
    int m_lockFd = -1;
    std::unique_ptr<QLocalServer> m_server;
};
