#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

// Input in any of the program's windows: an application-wide event filter restarts a countdown at every key and
// mouse event, and idle() follows when it runs out. An interval of zero never runs out.
class IdleWatch : public QObject
{
    Q_OBJECT
public:
    explicit IdleWatch(std::chrono::milliseconds interval, QObject *parent = nullptr);
    ~IdleWatch() override;

    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_timer.intervalAsDuration(); }
    // The interval that the LockMinutes setting asks for; zero or less is never.
    static std::chrono::milliseconds fromMinutes(int minutes);

signals:
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restart();

    QTimer m_timer;
};
