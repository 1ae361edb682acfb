#include "passwordstrength.h"

#include <zxcvbn.h>

#include <cmath>

PasswordStrength PasswordStrength::of(const QString &password)
{
    PasswordStrength strength;
    if (password.isEmpty())
        return strength;
    // The library answers in bits, the base-2 logarithm of the guesses.
    strength.guessesLog10 = ZxcvbnMatch(password.toUtf8().constData(), nullptr, nullptr) * std::log10(2.0);
    // zxcvbn's own bounds: 10^3, 10^6, 10^8 and 10^10 guesses.
    for (const double bound : {3.0, 6.0, 8.0, 10.0})
        strength.score += strength.guessesLog10 >= bound ? 1 : 0;
    static const char *const words[] = {"Too guessable", "Very guessable", "Somewhat guessable", "Safely unguessable",
                                        "Very unguessable"};
    strength.words = QString::fromLatin1(words[strength.score]);
    return strength;
}
