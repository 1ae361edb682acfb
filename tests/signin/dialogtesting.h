#pragma once

#include "clsagentdb.h"
#include "frmtympra.h"
#include "keyclock.h"
#include "recordingmessageservice.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// Key times chosen by the test.
class TestKeyClock : public KeyClock
{
public:
    quint32 keyTime(const QKeyEvent &) const override { return now; }
    quint32 now = 100000;
};

// Types into a widget with a steady rhythm: a key goes down every `gap` ms and is held `hold` ms;
// capitals are typed with Shift held around them.
struct Typist
{
    TestKeyClock &clock;
    quint32 gap = 150;
    quint32 hold = 80;

    void type(QWidget *box, const QString &text)
    {
        for (const QChar c : text) {
            const char ascii = c.toLatin1();
            const bool upper = c.isUpper();
            const Qt::KeyboardModifiers mods = upper ? Qt::ShiftModifier : Qt::NoModifier;
            const quint32 down = clock.now + gap;
            if (upper) {
                clock.now = down - 10;
                QTest::keyPress(box, Qt::Key_Shift, Qt::ShiftModifier);
            }
            clock.now = down;
            QTest::keyPress(box, ascii, mods);
            clock.now = down + hold;
            QTest::keyRelease(box, ascii, mods);
            if (upper) {
                clock.now = down + hold + 5;
                QTest::keyRelease(box, Qt::Key_Shift, Qt::NoModifier);
            }
            clock.now = down;
        }
        clock.now += 1000;
    }

    void press(QWidget *box, Qt::Key key)
    {
        clock.now += gap;
        QTest::keyPress(box, key);
        clock.now += hold;
        QTest::keyRelease(box, key);
    }

    // A key-down repeated by the keyboard while the key is held.
    void autoRepeat(QWidget *box, Qt::Key key, const QString &text)
    {
        clock.now += 30;
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text, true);
        QApplication::sendEvent(box, &event);
    }
};

// The sample text that Typist gives for a password of `length` characters.
inline QString steadySample(int length, quint32 gap = 150, quint32 hold = 80)
{
    const QString g = QString::number(gap / 1000.0);
    const QString h = QString::number(hold / 1000.0);
    return (g + QLatin1Char(' ')).repeated(length - 1) + (h + QLatin1Char(' ')).repeated(length) + QStringLiteral("% ");
}

// One sign-in dialog over a store in a fresh program folder; the test picks the mode.
struct SignInDialog
{
    explicit SignInDialog(const QString &engine = QString()) : dialog(db, granted, messages, engine, clock) { }
    void submit(const QString &password)
    {
        typist.type(dialog.txtMasterPassword, password);
        dialog.cmdNext->click();
    }
    // Every message shown, as "title: text".
    QStringList shown() const
    {
        QStringList lines;
        for (const auto &m : messages.messages)
            lines << m.title + QStringLiteral(": ") + m.text;
        return lines;
    }

    QTemporaryDir folder;
    clsAgentDB db {folder.path()};
    RecordingMessageService messages;
    bool granted = false;
    TestKeyClock clock;
    Typist typist {clock};
    frmTympra dialog;
};
