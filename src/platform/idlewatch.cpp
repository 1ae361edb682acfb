#include "idlewatch.h"

#include <QCoreApplication>
#include <QEvent>

#include <limits>

IdleWatch::IdleWatch(std::chrono::milliseconds interval, QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &IdleWatch::idle);
    QCoreApplication::instance()->installEventFilter(this);
    setInterval(interval);
}

IdleWatch::~IdleWatch()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void IdleWatch::setInterval(std::chrono::milliseconds interval)
{
    m_timer.setInterval(interval);
    restart();
}

std::chrono::milliseconds IdleWatch::fromMinutes(int minutes)
{
    // A timer counts to about 24 days; a longer setting waits that long.
    constexpr int kLongest = std::numeric_limits<int>::max() / 60000;
    return std::chrono::minutes(qBound(0, minutes, kLongest));
}

void IdleWatch::restart()
{
    if (m_timer.intervalAsDuration().count() > 0)
        m_timer.start();
    else
        m_timer.stop();
}

bool IdleWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
        restart();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
