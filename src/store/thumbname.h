#pragma once

#include <QString>

namespace thumbname {

// A thumbnail name is a bare file name inside the thumbs folder: not empty, no folder part, not "." or "..".
inline bool isBareName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
        !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

} // namespace thumbname
