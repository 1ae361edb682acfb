#pragma once

#include <QString>

// A whole-number key of vy.ini's [Vaultry] section; `fallback` when the key is missing, not a number or below
// `minimum`.
int iniNumber(const QString &iniFile, const QString &key, int fallback, int minimum = 0);
