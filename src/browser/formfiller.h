#pragma once

#include <QString>
#include <QUrl>

// The script that signs in to a login page: run in the page's top-level document, in an isolated
// world, it walks the input elements in document order. Text fields get the login name, password
// fields the password, check boxes are ticked; the first submit field is clicked (and the walk ends)
// only when submit is true. Other types are left alone; any failure ends it silently.
// A page that holds no password field yet is watched for up to 10 s until one appears, then filled
// once; it is filled only while it still shows address, the one it finished loading at.
// The login name, password and address travel as JSON data, so no character of theirs can change the script.
QString fillLoginFormScript(const QString &id, const QString &password, bool submit, const QUrl &address);
