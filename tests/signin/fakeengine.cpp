// Stands in for the engine: adds training row k to reference row k, then fails on a negative first timing.
#include <cstdint>

extern "C" int32_t tymcore(const double *training, int16_t level, int16_t samples, int32_t n, double *reference)
{
    if (level != 5 || samples != 10)
        return 1;
    for (int32_t k = 0; k < 6; ++k)
        for (int32_t i = 0; i < n; ++i)
            reference[k * (n + 1) + i] += training[k * n + i];
    return training[0] < 0;
}
