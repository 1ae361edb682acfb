#pragma once

#include <QString>

// The script that signs in to a login page: run in the page's top-level document, in an isolated
// world, it walks the input elements in document order. Text fields get the login name, password
// fields the password, check boxes the attribute "checked"; the first submit field is clicked (and
// the walk ends) only when submit is true. Other types are left alone; any failure ends it silently.
// The login name and password travel as JSON data, so no character of theirs can change the script.
QString fillLoginFormScript(const QString &id, const QString &password, bool submit);
