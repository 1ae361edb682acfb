// The engine's C entry points, as the program resolves them by name.
#pragma once

#include <cstdint>

#if defined(TYMCORE_BUILDING)
#define TYMCORE_EXPORT __attribute__((visibility("default")))
#else
#define TYMCORE_EXPORT
#endif

extern "C" {

// Fills rows 0..4 of referenceMatrix (6 x (featureCount + 1), row-major) with five reference typing vectors
// made from the enrolment samples in trainingMatrix (sampleCount x featureCount, row-major).
// securityLevel runs from 0 (most lenient) to 10 (strictest); values outside are clamped.
// Returns 0 on success. On bad arguments (null pointers, counts <= 0, no usable sample, too little memory) it
// returns non-zero and writes nothing; the caller's rows then stay zero, which ends a login attempt unpassed.
// A sample is usable when every timing is finite and positive (missing samples arrive as zero rows).
TYMCORE_EXPORT int32_t tymcore(const double *trainingMatrix, int16_t securityLevel, int16_t sampleCount,
                               int32_t featureCount, double *referenceMatrix);

// Nothing to register on this platform; kept because the program calls it after every attempt.
TYMCORE_EXPORT int32_t DllRegisterServer(void);
}

// Return codes of tymcore().
enum TymcoreResult : int32_t {
    TymcoreOk = 0,
    TymcoreNullPointer = 1,
    TymcoreBadCount = 2,
    TymcoreNoUsableSample = 3,
    TymcoreOutOfMemory = 4,
};
