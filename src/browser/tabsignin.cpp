#include "tabsignin.h"

#include "accounttabs.h"
#include "silentpage.h"
#include "sitematch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWebEngineScript>
#include <QWebEngineView>

TabSignIn::TabSignIn(TabState &state, QWebEngineView *view, std::function<bool()> submitWanted, QObject *parent)
    : QObject(parent), m_state(state), m_view(view), m_page(qobject_cast<SilentPage *>(view->page())),
      m_submitWanted(std::move(submitWanted)), m_followUntil(QDeadlineTimer(0))
{
    connect(m_page, &SilentPage::scriptReport, this, &TabSignIn::onReport);
}

void TabSignIn::restart()
{
    ++m_opening;
    m_followUntil = QDeadlineTimer(0);
    m_passwordSent = false;
}

void TabSignIn::pageLoaded(bool ok)
{
    // An error page reports the address it failed to reach; filling it would use up this opening's sign-in.
    if (!ok || m_state.sTabURL.isEmpty())
        return;
    const QUrl here = m_page->url();
    if (!m_state.bTabSignInDone && here.toString() == m_state.sTabURL) {
        m_state.bTabSignInDone = true;
        run(SignInScriptData::Step::Login, kLoginWaitMs);
        emit started();
        return;
    }
    // The page after a user-name step: it gets the password only on the site the profile belongs to.
    if (!m_passwordSent && !m_followUntil.hasExpired() && sameSite(QUrl::fromUserInput(m_state.sTabURL), here))
        run(SignInScriptData::Step::Password, int(m_followUntil.remainingTime()));
}

void TabSignIn::run(SignInScriptData::Step step, int waitMs)
{
    SignInScriptData data;
    data.id = m_state.sTabID;
    data.password = m_state.sTabPassword;
    data.address = m_page->url();
    data.step = step;
    data.submit = m_submitWanted();
    data.waitMs = waitMs;
    data.followMs = kFollowMs;
    data.tag = m_page->reportTag() + QLatin1Char(' ') + QString::number(m_opening);
    m_page->runJavaScript(signInScript(data), QWebEngineScript::ApplicationWorld);
}

void TabSignIn::onReport(const QString &report)
{
    const QStringList words = report.split(QLatin1Char(' '));
    if (words.size() != 2 || words[0] != QString::number(m_opening) || !m_state.bTabSignInDone)
        return;
    if (words[1] == QLatin1String("first")) {
        m_followUntil = QDeadlineTimer(kFollowMs);
    } else if (words[1] == QLatin1String("done")) {
        m_passwordSent = true;
        m_followUntil = QDeadlineTimer(0);
    } else if (words[1] == QLatin1String("enter")) {
        pressEnter();
    }
}

void TabSignIn::pressEnter()
{
    // A real key through the view: pages take no notice of key events that a script makes up.
    QWidget *target = m_view->focusProxy() ? m_view->focusProxy() : m_view;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(target, &key);
    }
}
