#pragma once

#include <QString>
#include <QUrl>

// What the sign-in script is given: data, never script text, so that no character of a login name or password can
// change what the script does.
struct SignInScriptData
{
    enum class Step { Login, Password };

    QString id;
    QString password;
    QUrl address; // the stored address: the login step acts only while the page shows exactly this one
    Step step = Step::Login;
    bool submit = false;
    int waitMs = 0; // how long the page is watched for its fields
    int followMs = 0; // after a user-name step, how long the same document is watched for its password field
    QString tag; // opens each of the script's reports; the page cannot read it
};

// The script that signs in to a page, to be run in the page's top document in an isolated world. It fills the
// login form (the form of the visible password field, in the page, its same-origin frames or its open shadow roots),
// or a user-name step alone, and reports on the console: "<tag> first", "<tag> done", "<tag> enter".
QString signInScript(const SignInScriptData &data);
