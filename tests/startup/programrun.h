#pragma once

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A copy of the built program in a folder of its own, started as a real process and watched through the
// X server with xdotool (the tests run under Xvfb).
class ProgramFolder
{
public:
    ProgramFolder()
    {
        const QDir built(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"));
        for (const QString &name : {QStringLiteral("vaultry"), QStringLiteral("libTymcore.so")}) {
            if (QFile::exists(built.filePath(name)))
                QFile::copy(built.filePath(name), path(name));
        }
    }
    QString path(const QString &name = QString()) const { return name.isEmpty() ? m_dir.path() : m_dir.filePath(name); }
    bool hasEngine() const { return QFile::exists(path(QStringLiteral("libTymcore.so"))); }

    // Every entry of the folder with its size and time of change.
    QStringList snapshot() const
    {
        QStringList entries;
        const auto infos =
            QDir(path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QFileInfo &info : infos)
            entries << QStringLiteral("%1 %2 %3")
                           .arg(info.fileName())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch());
        return entries;
    }

    // Starts the program from another working folder, so only its own folder can count.
    QProcess *start(QObject *owner)
    {
        auto *process = new QProcess(owner);
        process->setWorkingDirectory(m_elsewhere.path());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(path(QStringLiteral("vaultry")), {});
        process->waitForStarted(10000);
        return process;
    }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_elsewhere;
};

namespace x11 {

inline QString xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The visible windows of a process with exactly this title.
inline QStringList windows(qint64 pid, const QString &title)
{
    const QString out = xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                                 QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')});
    return out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
}

// Waits until the process shows a window with this title; its id, or empty.
inline QString waitForWindow(qint64 pid, const QString &title, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QStringList found = windows(pid, title);
        if (!found.isEmpty())
            return found.first();
        QTest::qWait(200);
    }
    return QString();
}

// Real key strokes (XTEST) into the window.
inline void keys(const QString &window, const QStringList &keyNames)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool(QStringList {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keyNames);
}

inline void type(const QString &window, const QString &text, int delayMs)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text});
}

} // namespace x11
