// The stored samples follow the user's practice: after a granted login its typing takes the place of the oldest.
#pragma once

#include <QString>

namespace rhythm {

// The training text (samples oldest first, each ending in "% ") with the login's sample text appended and, when it
// held ten samples, without the first. Whatever follows the last whole sample (the file's blank padding) is dropped.
QString withLoginSample(const QString &trainData, const QString &loginSample);

} // namespace rhythm
