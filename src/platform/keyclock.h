#pragma once

#include <QKeyEvent>

// Where key timings come from: the key event's own millisecond timestamp, replaced in tests.
class KeyClock
{
public:
    virtual ~KeyClock() = default;
    virtual quint32 keyTime(const QKeyEvent &event) const = 0;
};

class EventKeyClock : public KeyClock
{
public:
    // The window system's timestamp is a 32-bit millisecond counter; only differences are used.
    quint32 keyTime(const QKeyEvent &event) const override { return quint32(event.timestamp()); }
};
