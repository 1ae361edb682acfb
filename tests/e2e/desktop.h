#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <xcb/xcb.h>

// The program's window titles, as whole-title patterns.
namespace Titles {
inline const QString kEnrolment = QStringLiteral("^Vaultry Registration - powered by Tympra$");
inline const QString kLogin = QStringLiteral("^Vaultry Login - powered by Tympra$");
inline const QString kMain = QStringLiteral("^Vaultry \\(Free Distribution\\)$");
inline const QString kEditor = QStringLiteral("^Website Profile$");
inline const QString kMessage = QStringLiteral("^(Vaultry|Registration|Login)$");
} // namespace Titles

// Drives the X display as a user does, through xdotool (XTEST): the program receives real key and mouse events
// with the server's own timestamps. Each call returns false (or empty) when it could not be done.
class Desktop
{
public:
    // Held open: an X server without clients resets, and a program connecting meanwhile fails to start.
    xcb_connection_t *const x = qEnvironmentVariableIsEmpty("DISPLAY") ? nullptr : xcb_connect(nullptr, nullptr);
    ~Desktop()
    {
        if (x)
            xcb_disconnect(x);
    }
    bool xdotool(const QStringList &args, QString *output = nullptr) const
    {
        QProcess p;
        p.start("xdotool", args);
        const bool done = p.waitForFinished(20000) && p.exitCode() == 0;
        if (output)
            *output = QString::fromLocal8Bit(p.readAllStandardOutput());
        return done;
    }
    QStringList windows(const QString &title, qint64 pid) const
    {
        QString out;
        xdotool({"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", title}, &out);
        return out.split('\n', Qt::SkipEmptyParts);
    }
    // The first such window once it shows; empty at the timeout.
    QString waitFor(const QString &title, qint64 pid, int timeoutMs = 60000, int pauseMs = 50) const
    {
        for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(pauseMs))
            if (const QStringList found = windows(title, pid); !found.isEmpty())
                return found.first();
        return {};
    }
    bool focus(const QString &window) const
    {
        // Without a window manager nobody activates a window: set the input focus directly then.
        return xdotool({"windowactivate", "--sync", window}) ||
            (xdotool({"windowraise", window}) && xdotool({"windowfocus", "--sync", window}));
    }
    bool keys(const QStringList &names) const { return xdotool(QStringList {"key", "--delay", "40"} + names); }
    bool type(const QString &text) const { return xdotool({"type", "--delay", "40", "--", text}); }
    bool screenshot(const QString &path) const { return QProcess::execute("import", {"-window", "root", path}) == 0; }

    // Asks the window to close as a title bar's close box does (WM_DELETE_WINDOW), until it has gone.
    bool close(const QString &window, qint64 pid) const
    {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window.toUInt();
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        for (int attempt = 0; attempt < 3; ++attempt) { // a busy program may miss one, and a user would click again
            xcb_send_event(x, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
            xcb_flush(x);
            for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(100))
                if (!windows(".", pid).contains(window))
                    return true;
        }
        return false;
    }

    // The user's part of the sign-in dialog, the master password typed in a steady personal rhythm. Each returns
    // what went wrong, or empty; logIn leaves Next to the caller.
    QString enrol(qint64 pid, const QString &user, const QString &password)
    {
        const QString dialog = waitFor(Titles::kEnrolment, pid);
        QThread::msleep(kThinkMs);
        if (dialog.isEmpty() || !focus(dialog) || !type(user) || !keys({"Tab"}) || !type(password) || !keys({"Return"}))
            return QStringLiteral("no enrolment dialog to type into");
        for (int sample = 0; sample < 10; ++sample) {
            QThread::msleep(2 * kThinkMs);
            if (!windows(Titles::kMessage, pid).isEmpty() || !typeInRhythm(password) || !keys({"Return"}))
                return QStringLiteral("the enrolment refused typing %1").arg(sample);
        }
        return awaitClosed(Titles::kEnrolment, pid);
    }
    QString logIn(const QString &dialog, const QString &user, const QString &password)
    {
        QThread::msleep(kThinkMs);
        if (!focus(dialog) || !type(user) || !keys({"Tab"}))
            return QStringLiteral("cannot type into the login dialog");
        QThread::msleep(kThinkMs);
        return typeInRhythm(password) ? QString() : QStringLiteral("cannot type the password");
    }
    QString awaitClosed(const QString &title, qint64 pid) const
    {
        for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::msleep(50)) {
            if (!windows(Titles::kMessage, pid).isEmpty())
                return QStringLiteral("the sign-in dialog answered with a message box");
            if (windows(title, pid).isEmpty())
                return {};
        }
        return QStringLiteral("the sign-in dialog stayed open");
    }

private:
    static constexpr int kThinkMs = 350; // a person looks at the screen before typing
    QRandomGenerator m_jitter {20261206};

    xcb_atom_t atom(const char *name) const
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, strlen(name), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return result;
    }
    // Key-downs and key-ups at planned times in one xdotool run, so that the pauses hold to the millisecond. Every
    // hold is shorter than the next gap, and each typing varies by a few milliseconds, as a person's does.
    bool typeInRhythm(const QString &password)
    {
        static const int gaps[] = {185, 140, 230, 160, 205, 150, 250}, holds[] = {95, 80, 110, 85, 100};
        QStringList args;
        for (int i = 0; i < password.size(); ++i) {
            const int hold = holds[i % 5] + m_jitter.bounded(17) - 8,
                      gap = gaps[(i + 1) % 7] + m_jitter.bounded(17) - 8;
            args << QStringList {"keydown", "--delay", "0", password[i], "sleep", QString::number(hold / 1000.0)}
                 << QStringList {"keyup", "--delay", "0", password[i], "sleep", QString::number((gap - hold) / 1000.0)};
        }
        return xdotool(args);
    }
};
