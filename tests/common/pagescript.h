#pragma once

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

// Runs a script in the page's own world; its result, or invalid after 5 s (a late answer writes nowhere).
inline QVariant evalInPage(QWebEnginePage *page, const QString &script)
{
    auto result = std::make_shared<QVariant>(QStringLiteral("<none>"));
    page->runJavaScript(script, QWebEngineScript::MainWorld, [result](const QVariant &v) { *result = v; });
    return QTest::qWaitFor([&] { return *result != QStringLiteral("<none>"); }, 5000) ? *result : QVariant();
}
