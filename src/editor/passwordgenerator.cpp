#include "passwordgenerator.h"

namespace PasswordGenerator {

QString alphabet()
{
    QString all;
    for (char c = '!'; c <= '~'; ++c)
        all += QLatin1Char(c);
    return all;
}

QString generate(int maxLength, int length, QRandomGenerator *random)
{
    const QString all = alphabet();
    QString password;
    for (int i = 0; i < qMin(length, maxLength); ++i)
        password += all.at(random->bounded(int(all.size()))); // unbiased: bounded() rejects the remainder
    return password;
}

} // namespace PasswordGenerator
