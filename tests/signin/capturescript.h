#pragma once

#include "keytimingcapture.h"

#include <QHash>
#include <QStringList>

// Plays a compact key script into a capture: "+A@1000" is A going down at 1000 ms, "-A@1100" going up.
// Keys: a letter or digit, "KP0".."KP9" (keypad), "Shift", "Caps", "Bksp", "Del", "Space", "Minus", "Excl",
// "Left", "Enter", "Tab". Returns how many key-ups were correction keys.
inline int playScript(KeyTimingCapture &capture, const QString &script)
{
    int corrections = 0;
    for (const QString &token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool down = token.startsWith(QLatin1Char('+'));
        const QStringList parts = token.mid(1).split(QLatin1Char('@'));
        const QString name = parts[0];
        const quint32 t = parts[1].toUInt();
        Qt::KeyboardModifiers mods = Qt::NoModifier;
        int key = 0;
        if (name.size() == 1)
            key = name[0].toUpper().unicode();
        else if (name.startsWith(QLatin1String("KP"))) {
            key = Qt::Key_0 + name.mid(2).toInt();
            mods = Qt::KeypadModifier;
        } else {
            static const QHash<QString, int> keys {{"Shift", Qt::Key_Shift},    {"Caps", Qt::Key_CapsLock},
                                                   {"Bksp", Qt::Key_Backspace}, {"Del", Qt::Key_Delete},
                                                   {"Space", Qt::Key_Space},    {"Minus", Qt::Key_Minus},
                                                   {"Excl", Qt::Key_Exclam},    {"Left", Qt::Key_Left},
                                                   {"Enter", Qt::Key_Return},   {"Tab", Qt::Key_Tab}};
            key = keys.value(name);
        }
        if (down)
            capture.keyDown(key, mods, t);
        else if (capture.keyUp(key, mods, t))
            ++corrections;
    }
    return corrections;
}
