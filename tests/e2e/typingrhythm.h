#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// One typing as timed key events, ready to be played by the desktop driver.
struct KeyEventPlan
{
    struct Event
    {
        bool down = true;
        QString keyName; // X key name: "t", "4"
        int atMs = 0; // from the first key-down
    };
    QList<Event> events; // in time order

    // The xdotool command chain: keydown/keyup without xdotool's own delay, and sleeps between events.
    QStringList xdotoolArgs() const;
};

// A typist with a steady personal rhythm: every key has its own gap before it and its own hold time, and
// each typing varies them by a small random jitter, as a person repeating a well-known password does.
class TypingRhythm
{
public:
    explicit TypingRhythm(quint32 seed, int jitterMs = 8);

    // Plans one typing of text (letters and digits only, so every key is a plain key name).
    KeyEventPlan plan(const QString &text);

    // The rhythm without jitter, for key index i of a typing.
    static int gapBeforeMs(int i);
    static int holdMs(int i);

private:
    QRandomGenerator m_random;
    int m_jitterMs;
};
