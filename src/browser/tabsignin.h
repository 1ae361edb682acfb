#pragma once

#include "signinscript.h"

#include <QDeadlineTimer>
#include <QObject>

#include <functional>

class QWebEngineView;
class SilentPage;
struct TabState;

// The automatic sign-in of one account tab. When the page of the profile opened in the tab has loaded at exactly
// the stored address, its login form is filled once (and sent when the switch asks). A page that asks for the user
// name alone is the first of two steps: the tab then follows that sign-in for 30 s, and the password goes, once, to
// the first page of the same site that shows a password field (the same document or a later one).
class TabSignIn : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLoginWaitMs = 10000; // how long a login page may take to build its form
    static constexpr int kFollowMs = 30000; // how long a two-step sign-in is followed after its first step

    // state: the tab's copy of the opened profile. submitWanted: whether "Automatically sign in." is ticked now.
    TabSignIn(TabState &state, QWebEngineView *view, std::function<bool()> submitWanted, QObject *parent);

    // A profile was opened in the tab (or the tab left it): what was followed ends.
    void restart();
    // A document finished loading in the tab.
    void pageLoaded(bool ok);

signals:
    // The sign-in has started at the stored address (its script was sent to the page).
    void started();

private:
    void run(SignInScriptData::Step step, int waitMs);
    void onReport(const QString &report);
    void pressEnter();

    TabState &m_state;
    QWebEngineView *m_view;
    SilentPage *m_page;
    std::function<bool()> m_submitWanted;
    int m_opening = 0; // counts the openings, so that a report of an earlier one is not taken
    QDeadlineTimer m_followUntil; // while a two-step sign-in waits for its password step
    bool m_passwordSent = false;
};
