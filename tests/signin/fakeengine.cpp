// Stand-ins for the typing-rhythm engine, built as real shared libraries. Each variant copies
// training row k into reference row k, so a test chooses the reference rows through the stored samples.
#include <cstdint>
#include <cstring>

namespace {
int32_t registerCalls = 0;
}

extern "C" {

__attribute__((visibility("default"))) int32_t DllRegisterServer(void)
{
    return ++registerCalls;
}

// How often DllRegisterServer ran while the library stayed loaded.
__attribute__((visibility("default"))) int32_t fakeRegisterCalls(void)
{
    return registerCalls;
}

#ifndef FAKE_NO_METHOD
__attribute__((visibility("default"))) int32_t tymcore(const double *training, int16_t securityLevel,
                                                       int16_t sampleCount, int32_t featureCount, double *reference)
{
    // Arguments the program must always pass; anything else is a failed call.
    if (securityLevel != 5 || sampleCount != 10 || featureCount < 1)
        return 2;
    for (int32_t k = 0; k < 6; ++k) {
        for (int32_t i = 0; i <= featureCount; ++i) {
            if (reference[k * (featureCount + 1) + i] != 0.0)
                return 3; // the reference matrix must be zero on entry
        }
        std::memcpy(reference + k * (featureCount + 1), training + k * featureCount, sizeof(double) * featureCount);
    }
#ifdef FAKE_ZERO_ROW
    std::memset(reference + 2 * (featureCount + 1), 0, sizeof(double) * (featureCount + 1));
#endif
#ifdef FAKE_FAILS
    return 1;
#else
    return 0;
#endif
}
#endif
}
