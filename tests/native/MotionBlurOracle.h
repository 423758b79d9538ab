#pragma once
// A plain, slow transcription of the motion blur as the host computes it, kept to check the
// production filter against: no shortcuts, the width search done the long way.
#include <cstddef>

class COrvanelBitmap;

namespace MotionBlurOracle {

// Kernel of `width` taps (3 when width <= 0), malloc'ed; returns the tap count.
int MakeKernel(int width, double sigma, double*& kernel);

// The width radius 0 settles on, found by rebuilding wider kernels until the last tap is 0.
int AdaptiveWidth(double sigma);

// The pixel pass: packed output, 4 x width bytes per row.
void ApplyKernel(const unsigned char* source, std::ptrdiff_t stride, int width, int height,
                 const double* kernel, int taps, double angle, unsigned char* output);

// The whole filter on a host bitmap, for parameters inside its normal range.
bool MotionBlur(COrvanelBitmap* bitmap, const double& radius, const double& sigma,
                const double& angle);

} // namespace MotionBlurOracle
