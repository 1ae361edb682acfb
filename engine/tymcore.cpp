// The engine's C entry points: argument checks around ReferenceBuilder.
#include "tymcore.h"

#include "referencebuilder.h"

#include <algorithm>

int32_t tymcore(const double *trainingMatrix, int16_t securityLevel, int16_t sampleCount, int32_t featureCount,
                double *referenceMatrix)
{
    if (!trainingMatrix || !referenceMatrix)
        return TymcoreNullPointer;
    if (sampleCount <= 0 || featureCount <= 0)
        return TymcoreBadCount;

    // No exception may cross into the program that called us.
    try {
        const rhythm::ReferenceBuilder builder(trainingMatrix, sampleCount, featureCount);
        if (builder.usableSamples() == 0)
            return TymcoreNoUsableSample;

        // The scale is 0..10; a level beyond either end means that end.
        const int level =
            std::clamp<int>(securityLevel, rhythm::ReferenceBuilder::kMinLevel, rhythm::ReferenceBuilder::kMaxLevel);
        builder.build(level, referenceMatrix);
        return TymcoreOk;
    } catch (...) {
        return TymcoreOutOfMemory;
    }
}

int32_t DllRegisterServer(void)
{
    return 0;
}
