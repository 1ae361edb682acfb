#include "rhythmlearning.h"

#include "rhythmscoring.h"

#include <QStringList>

namespace rhythm {

QString withLoginSample(const QString &trainData, const QString &loginSample)
{
    const QString end = QStringLiteral("% ");
    QStringList samples;
    qsizetype from = 0;
    for (qsizetype at = trainData.indexOf(end); at >= 0 && samples.size() < kSampleCount;
         at = trainData.indexOf(end, from)) {
        samples.append(trainData.mid(from, at + end.size() - from));
        from = at + end.size();
    }
    if (samples.size() == kSampleCount)
        samples.removeFirst();
    samples.append(loginSample);
    return samples.join(QString());
}

} // namespace rhythm
