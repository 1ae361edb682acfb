#pragma once

#include <QString>

// How hard a password is to guess, by zxcvbn's estimate of the guesses an attacker needs.
struct PasswordStrength
{
    double guessesLog10 = 0;
    int score = 0; // 0 to 4, zxcvbn's scale
    QString words;

    static constexpr int kBestScore = 4;
    static PasswordStrength of(const QString &password);
};
