#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

// A fresh program folder: copies of the built program, its engine and its logo. The program keeps its data
// beside itself, so every folder starts with no user and no profiles.
struct ProgramFolder
{
    QTemporaryDir dir;
    explicit ProgramFolder(const QString &built = qEnvironmentVariable("VAULTRY_PROGRAM_DIR"))
    {
        for (const QString &name :
             QDir(built).entryList({"vaultry", "libTymcore.so", "libVaultryBrowser.so", "Qorvish.bmp"}, QDir::Files))
            QFile::copy(built + '/' + name, path(name));
    }
    QString path(const QString &name = {}) const { return name.isEmpty() ? dir.path() : dir.filePath(name); }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    // Every entry with a hash of its content, to show that a run changed nothing.
    QStringList snapshot() const
    {
        QStringList entries = QDir(path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (QString &name : entries)
            name += ' ' + QString::number(qHash(read(name)));
        return entries;
    }
};

// A program started in a process group of its own, so that it ends together with the web engine's helper
// processes when the test is over.
struct Launched
{
    QProcess process;
    qint64 pid = 0;
    explicit Launched(const QString &program, QProcessEnvironment env = QProcessEnvironment::systemEnvironment(),
                      const QStringList &arguments = {})
    {
        env.insert("QT_QPA_PLATFORM", "xcb");
        if (::geteuid() == 0) // the web engine refuses its sandbox for root
            env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(QDir::tempPath()); // only the program's own folder may count
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(program, arguments);
        pid = process.waitForStarted(10000) ? process.processId() : 0;
    }
    ~Launched()
    {
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        process.waitForFinished(10000);
    }
    bool ended(int timeoutMs) { return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs); }
    // What the program printed, for failure messages.
    QString output() { return QString::fromLocal8Bit(process.readAll().right(3000)); }
};
