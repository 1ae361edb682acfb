#include "launchedprogram.h"

#include <QFileInfo>
#include <QProcessEnvironment>

#include <csignal>
#include <unistd.h>

bool LaunchedProgram::start(const QString &program, const QStringList &arguments, QString *error)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The browser engine refuses its sandbox for root; the test environment turns it off only then.
    if (::geteuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setWorkingDirectory(QFileInfo(program).absolutePath());
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    m_pid = m_process.processId();
    return true;
}

bool LaunchedProgram::waitForExit(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    return m_process.waitForFinished(timeoutMs);
}

QString LaunchedProgram::output()
{
    // Without an event loop the pipe is read only on request: take what has arrived (and notice an end).
    while (m_process.state() != QProcess::NotRunning && m_process.waitForReadyRead(100))
        m_output += m_process.readAll();
    m_output += m_process.readAll();
    if (m_process.state() == QProcess::NotRunning && m_pid > 0) {
        const QString end = m_process.exitStatus() == QProcess::CrashExit
            ? QStringLiteral("[the program crashed]\n")
            : QStringLiteral("[the program ended with exit code %1]\n").arg(m_process.exitCode());
        return QString::fromLocal8Bit(m_output) + end;
    }
    return QString::fromLocal8Bit(m_output);
}

void LaunchedProgram::kill()
{
    if (m_pid <= 0)
        return;
    // The group outlives its leader while renderers still run, so it is ended even when the leader is gone.
    ::kill(-static_cast<pid_t>(m_pid), SIGKILL);
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForFinished(10000);
    m_output += m_process.readAll();
    m_pid = 0;
}
