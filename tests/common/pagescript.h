#pragma once

#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <functional>
#include <memory>

// Runs the event loop until done() holds or ms have passed. A real loop, as the program runs: QTest's waits sleep
// between rounds of events, and each of the many steps of a page load between the browser's threads and its
// renderer would wait for that sleep.
inline bool runUntil(const std::function<bool()> &done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    bool met = false;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (!met && (met = done()))
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return met;
}

// Runs a script in the page's own world; its result, or invalid after 5 s (a late answer writes nowhere).
inline QVariant evalInPage(QWebEnginePage *page, const QString &script)
{
    auto result = std::make_shared<QVariant>(QStringLiteral("<none>"));
    page->runJavaScript(script, QWebEngineScript::MainWorld, [result](const QVariant &v) { *result = v; });
    return runUntil([&] { return *result != QStringLiteral("<none>"); }, 5000) ? *result : QVariant();
}

// Every input of the page and of its same-origin frames, as "id=value" ("id=checked" for a ticked box).
inline QString pageInputs(QWebEnginePage *page)
{
    return evalInPage(page,
                      "[document].concat(Array.from(document.querySelectorAll('iframe'), f => f.contentDocument))"
                      ".filter(d => d).flatMap((d, k) => Array.from(d.querySelectorAll('input'), e => (k ? 'frame:' "
                      ": '') + e.id + '=' + (e.type === 'checkbox' ? (e.checked ? 'checked' : '') : e.value)))"
                      ".join(' ')")
        .toString();
}
