#include "keytimingcapture.h"

#include <QLocale>

namespace {

// A point as decimal separator and no grouping, whatever the user's locale.
QLocale timingLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return c;
}

} // namespace

bool KeyTimingCapture::isCountedKey(int key)
{
    // Keypad digits arrive as Key_0..Key_9 with the keypad modifier, so they fall in the first range.
    return (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z);
}

bool KeyTimingCapture::isCorrectionKey(int key)
{
    return key == Qt::Key_Backspace || key == Qt::Key_Delete;
}

void KeyTimingCapture::keyDown(int key, Qt::KeyboardModifiers, quint32 tickMs)
{
    if (!m_active || !isCountedKey(key))
        return;
    // Counts stop growing far below overflow; they only need to differ from the password length.
    if (m_keyDownCount < 32767)
        ++m_keyDownCount;
    if (m_keyDownCount > kMaxTimings)
        return;
    const qint32 d = tickDifference(tickMs, m_lastKeyDownTick);
    m_lastKeyDownTick = tickMs;
    if (m_keyDownCount == 1)
        return;
    m_keyDownGaps[m_keyDownCount - 2] = timingText(d);
}

bool KeyTimingCapture::keyUp(int key, Qt::KeyboardModifiers, quint32 tickMs)
{
    if (m_active && isCountedKey(key)) {
        if (m_keyUpCount < 32767)
            ++m_keyUpCount;
        if (m_keyUpCount <= kMaxTimings)
            m_keyUpDelays[m_keyUpCount - 1] = timingText(tickDifference(tickMs, m_lastKeyDownTick));
    }
    return isCorrectionKey(key);
}

void KeyTimingCapture::reset()
{
    m_keyDownCount = 0;
    m_keyUpCount = 0;
    m_keyDownGaps.fill(QString());
    m_keyUpDelays.fill(QString());
}

QStringList KeyTimingCapture::keyDownGaps() const
{
    return QStringList(m_keyDownGaps.begin(), m_keyDownGaps.end());
}

QStringList KeyTimingCapture::keyUpDelays() const
{
    return QStringList(m_keyUpDelays.begin(), m_keyUpDelays.end());
}

QString KeyTimingCapture::sampleText(int length) const
{
    QString text;
    for (int i = 0; i < length - 1 && i < int(m_keyDownGaps.size()); ++i)
        text += m_keyDownGaps[i] + QLatin1Char(' ');
    for (int i = 0; i < length && i < int(m_keyUpDelays.size()); ++i)
        text += m_keyUpDelays[i] + QLatin1Char(' ');
    return text + QStringLiteral("% ");
}

QString timingText(qint64 milliseconds)
{
    double seconds = double(milliseconds) / 1000.0;
    if (seconds > 1.0)
        seconds = 1.0;
    else if (seconds <= 0.0)
        seconds = 0.001;
    // The C locale always writes a point; 15 significant digits drop the noise of the division.
    return timingLocale().toString(seconds, 'g', 15);
}

double timingValue(const QString &text, bool *ok)
{
    if (text.isEmpty()) {
        if (ok)
            *ok = true;
        return 0.0;
    }
    return timingLocale().toDouble(text, ok);
}

qint32 tickDifference(quint32 later, quint32 earlier)
{
    // Unsigned subtraction is exact modulo 2^32; read as signed, a later reading just past the wrap
    // still gives a small positive difference.
    return qint32(later - earlier);
}
