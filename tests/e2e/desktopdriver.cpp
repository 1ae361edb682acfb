#include "desktopdriver.h"

#include "typingrhythm.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <cstring>

namespace {
constexpr int kPollPauseMs = 50;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}
} // namespace

DesktopDriver::DesktopDriver()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        m_connection = xcb_connect(nullptr, nullptr);
}

DesktopDriver::~DesktopDriver()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool DesktopDriver::processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) S ...": the state follows the name, which may itself hold blanks and parentheses.
    const QByteArray line = stat.readAll();
    const QByteArray state = line.mid(line.lastIndexOf(')') + 2, 1);
    return state != "Z" && state != "X";
}

QString DesktopDriver::unavailableReason()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("no X display (DISPLAY is not set); run under xvfb-run, as scripts/test does");
    for (const char *tool : {"xdotool", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(tool));
    }
    return {};
}

bool DesktopDriver::xdotool(const QStringList &args, QString *output, int timeoutMs) const
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList DesktopDriver::visibleWindows(const QString &titleRegex, qint64 pid) const
{
    QStringList args {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible")};
    if (pid > 0)
        args << QStringLiteral("--pid") << QString::number(pid);
    args << QStringLiteral("--name") << titleRegex;
    QString out;
    xdotool(args, &out); // exit code 1 just means "none found"
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString DesktopDriver::waitForWindow(const QString &titleRegex, qint64 pid, int timeoutMs, int pollPauseMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QStringList found = visibleWindows(titleRegex, pid);
        if (!found.isEmpty())
            return found.constFirst();
        if (pid > 0 && !processAlive(pid))
            return {};
        if (pollPauseMs > 0)
            QThread::msleep(pollPauseMs);
    } while (!deadline.hasExpired());
    return {};
}

bool DesktopDriver::waitForNoWindow(const QString &titleRegex, qint64 pid, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (visibleWindows(titleRegex, pid).isEmpty())
            return true;
        QThread::msleep(kPollPauseMs);
    } while (!deadline.hasExpired());
    return false;
}

QStringList DesktopDriver::visibleTitles() const
{
    QStringList titles;
    for (const QString &id : visibleWindows(QStringLiteral("."))) {
        QString name;
        if (xdotool({QStringLiteral("getwindowname"), id}, &name))
            titles << QStringLiteral("\"%1\"").arg(name.trimmed());
    }
    return titles;
}

bool DesktopDriver::focus(const QString &windowId) const
{
    // Without a window manager there is nobody to activate a window; set the input focus directly then.
    if (xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId}, nullptr, 3000))
        return true;
    if (!xdotool({QStringLiteral("windowraise"), windowId}))
        return false;
    return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId}, nullptr, 5000);
}

std::optional<DesktopDriver::Geometry> DesktopDriver::geometry(const QString &windowId) const
{
    QString out;
    if (!xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windowId}, &out))
        return std::nullopt;
    Geometry g;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (key == QLatin1String("X"))
            g.x = value;
        else if (key == QLatin1String("Y"))
            g.y = value;
        else if (key == QLatin1String("WIDTH"))
            g.width = value;
        else if (key == QLatin1String("HEIGHT"))
            g.height = value;
    }
    return g;
}

bool DesktopDriver::typeText(const QString &text, int delayMs) const
{
    return xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), QStringLiteral("--"), text});
}

bool DesktopDriver::key(const QString &keyName) const
{
    return xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), keyName});
}

bool DesktopDriver::play(const KeyEventPlan &plan) const
{
    return xdotool(plan.xdotoolArgs());
}

bool DesktopDriver::click(const QString &windowId, int x, int y) const
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), windowId, QString::number(x),
                    QString::number(y), QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("click"),
                    QStringLiteral("1")});
}

bool DesktopDriver::requestClose(const QString &windowId) const
{
    bool ok = false;
    const xcb_window_t window = windowId.toUInt(&ok);
    if (!ok || !m_connection || xcb_connection_has_error(m_connection))
        return false;
    const xcb_atom_t protocols = internAtom(m_connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = internAtom(m_connection, "WM_DELETE_WINDOW");
    if (protocols == XCB_ATOM_NONE || deleteWindow == XCB_ATOM_NONE)
        return false;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = deleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent = xcb_send_event_checked(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                          reinterpret_cast<const char *>(&event));
    xcb_generic_error_t *error = xcb_request_check(m_connection, sent);
    const bool delivered = error == nullptr;
    free(error);
    return delivered;
}

bool DesktopDriver::closeWindow(const QString &windowId, int timeoutMs) const
{
    // A close request that arrives while the program is busy may be lost; a user would click again.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!requestClose(windowId))
            return false;
        for (int i = 0; i < 40 && !deadline.hasExpired(); ++i) {
            QString out;
            xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                     QStringLiteral(".")},
                    &out);
            if (!out.split(QLatin1Char('\n')).contains(windowId))
                return true;
            QThread::msleep(100);
        }
    }
    return false;
}

bool DesktopDriver::screenshot(const QString &path) const
{
    QProcess process;
    process.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return process.waitForFinished(20000) && process.exitCode() == 0;
}
