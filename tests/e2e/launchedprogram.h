#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program started in a process group of its own, so that it ends together with every helper process it
// started (the browser engine's renderers) when the test or the measurement is over.
class LaunchedProgram
{
public:
    LaunchedProgram() = default;
    LaunchedProgram(const LaunchedProgram &) = delete;
    LaunchedProgram &operator=(const LaunchedProgram &) = delete;
    ~LaunchedProgram() { kill(); }

    // Starts the program with the environment a desktop session gives it; false with a reason on failure.
    bool start(const QString &program, const QStringList &arguments = {}, QString *error = nullptr);
    qint64 pid() const { return m_pid; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Waits for the program to end by itself; false when it is still running at the timeout.
    bool waitForExit(int timeoutMs);
    int exitCode() const { return m_process.exitCode(); }
    // Everything the program printed so far (standard output and error together).
    QString output();
    // Ends the whole process group at once.
    void kill();

private:
    QProcess m_process;
    qint64 m_pid = 0;
    QByteArray m_output;
};
