#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

#include <array>

// Times the letter and digit keys of one typing of the master password (one sample).
// Times are seconds with at most three decimals, kept as texts with a point as decimal separator,
// so a database moves between machines with any locale intact.
class KeyTimingCapture
{
public:
    static constexpr int kMaxTimings = 15;

    // Capture records nothing while inactive; correction keys still end the sample.
    void setActive(bool active) { m_active = active; }
    bool isActive() const { return m_active; }

    // tickMs: a millisecond counter that may wrap at 32 bits.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, quint32 tickMs);
    // Returns true when the released key was a correction key: the caller then empties the box and calls reset().
    bool keyUp(int key, Qt::KeyboardModifiers modifiers, quint32 tickMs);

    // Forgets the sample; the time of the last key-down stays, as the next sample's first key stores no gap.
    void reset();

    int keyDownCount() const { return m_keyDownCount; }
    int keyUpCount() const { return m_keyUpCount; }
    // Gap between counted key-down n and n+1 at index n-1 (14 texts), empty where not measured.
    QStringList keyDownGaps() const;
    // Time from the most recent timed key-down to counted key-up n at index n-1 (15 texts).
    QStringList keyUpDelays() const;

    // The sample text of a password of `length` characters: gaps, then delays, each followed by a blank, then "% ".
    QString sampleText(int length) const;

    static bool isCountedKey(int key);
    static bool isCorrectionKey(int key);

private:
    bool m_active = false;
    int m_keyDownCount = 0;
    int m_keyUpCount = 0;
    quint32 m_lastKeyDownTick = 0;
    std::array<QString, kMaxTimings - 1> m_keyDownGaps;
    std::array<QString, kMaxTimings> m_keyUpDelays;
};

// Milliseconds to the stored seconds text: above one second gives "1", zero or less "0.001".
QString timingText(qint64 milliseconds);
// Reads a stored timing text; an empty text reads as 0. ok is false for anything that is not a number.
double timingValue(const QString &text, bool *ok = nullptr);
// Difference of two readings of a 32-bit millisecond counter, right across its wrap.
qint32 tickDifference(quint32 later, quint32 earlier);
