#pragma once

#include <QWebEnginePage>

// A page that shows no dialogs of its own: alerts vanish, questions are answered No, except whether to leave the
// page (Yes), and certificate errors are refused. It passes on the sign-in script's reports, which open with a tag
// of its own that the page's scripts cannot read.
class SilentPage : public QWebEnginePage
{
    Q_OBJECT
public:
    SilentPage(QWebEngineProfile *profile, QObject *parent);

    // The secret that opens every report of the sign-in script in this page.
    QString reportTag() const { return m_reportTag; }

signals:
    // What a sign-in script reported, the tag taken off.
    void scriptReport(const QString &report);

protected:
    void javaScriptAlert(const QUrl &, const QString &) override { }
    bool javaScriptConfirm(const QUrl &, const QString &text) override;
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }
    QStringList chooseFiles(FileSelectionMode, const QStringList &, const QStringList &) override { return {}; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    const QString m_reportTag;
};
