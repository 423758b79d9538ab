#pragma once
#include "HalvoryApi.h"

class COrvanelBitmap;

// Bicubic resampler (Keys kernel, a = -0.5). When shrinking, the kernel is widened by the
// inverse scale so that every source pixel contributes and the result does not alias.
class HALVORY_API CInterpolationBicubic {
public:
    CInterpolationBicubic();
    ~CInterpolationBicubic();

    // Fills destination (already created with the wanted width, height and 32 bits) with the
    // source resampled to that size. Either pointer null, or an empty bitmap: nothing happens.
    void Execute(COrvanelBitmap* source, COrvanelBitmap*& destination);
    // The same with the output rows shared out in `bands` bands (at least 1, at most one per
    // row), each on a thread of its own. The bytes do not depend on the band count.
    void ExecuteInBands(COrvanelBitmap* source, COrvanelBitmap*& destination, unsigned bands);
};
