#pragma once

#include <QString>

// Window titles of the program as xdotool title patterns (extended regular expressions, whole title).
namespace VaultryWindows {
inline const QString kEnrolment = QStringLiteral("^Vaultry Registration - powered by Tympra$");
inline const QString kLogin = QStringLiteral("^Vaultry Login - powered by Tympra$");
inline const QString kMain = QStringLiteral("^Vaultry \\(Free Distribution\\)$");
inline const QString kProfileEditor = QStringLiteral("^Website Profile$");
// Message boxes carry the application title or the name of the sign-in mode.
inline const QString kMessage = QStringLiteral("^Vaultry$");
inline const QString kRegistrationMessage = QStringLiteral("^Registration$");
inline const QString kLoginMessage = QStringLiteral("^Login$");
} // namespace VaultryWindows
