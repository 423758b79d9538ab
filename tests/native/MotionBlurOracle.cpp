#include "native/MotionBlurOracle.h"

#include "host/OrvanelBitmap.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace MotionBlurOracle {

int MakeKernel(int width, double sigma, double*& kernel) {
    const int n = width > 0 ? width : 3;
    kernel = static_cast<double*>(std::malloc(sizeof(double) * n));
    if (kernel == nullptr)
        return 0;
    for (int j = 0; j < n; ++j)
        kernel[j] = 0.0;
    for (int i = 0; i < 3 * n; ++i) {
        kernel[i / 3] += std::exp(static_cast<double>(i * i) * (-1.0 / ((sigma * 18.0) * sigma))) *
                         (1.0 / (sigma * 2.5066282746310002));
    }
    double sum = 0.0;
    for (int j = 0; j < n; ++j)
        sum += kernel[j];
    const double scale = 1.0 / sum;
    for (int j = 0; j < n; ++j)
        kernel[j] *= scale;
    return n;
}

namespace {

// The host's search; returns the width and hands over the kernel it ends with.
int SearchKernel(double sigma, double*& kernel) {
    int width = 3;
    double* current = nullptr;
    MakeKernel(width, sigma, current);
    double* previous = nullptr;
    while (current[width - 1] * 255.0 > 0.0) {
        std::free(previous);
        previous = current;
        width += 2;
        MakeKernel(width, sigma, current);
    }
    if (previous != nullptr) {
        std::free(current);
        current = previous;
        width -= 2;
    }
    kernel = current;
    return width;
}

} // namespace

int AdaptiveWidth(double sigma) {
    double* kernel = nullptr;
    const int width = SearchKernel(sigma, kernel);
    std::free(kernel);
    return width;
}

void ApplyKernel(const unsigned char* source, std::ptrdiff_t stride, int width, int height,
                 const double* kernel, int taps, double angle, unsigned char* output) {
    double* offsets = static_cast<double*>(std::malloc(16 * static_cast<std::size_t>(taps)));
    const double theta = angle * 3.141592653589793 * 0.005555555555555556;
    const int p = static_cast<int>(std::sin(theta) * taps);
    const int q = static_cast<int>(std::cos(theta) * taps);
    const double m = std::sqrt(static_cast<double>(q * q + p * p));
    for (int k = 0; k < taps; ++k) {
        offsets[2 * k] = (p * k) / m;
        offsets[2 * k + 1] = (q * k) / m;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int acc[3] = {0, 0, 0};
            for (int k = 0; k < taps; ++k) {
                const int u = x + static_cast<int>(offsets[2 * k]);
                const int v = y + static_cast<int>(offsets[2 * k + 1]);
                if (u < 0 || u >= width || v < 0 || v >= height)
                    continue;
                const unsigned char* pixel = source + v * stride + 4 * u;
                for (int c = 0; c < 3; ++c)
                    acc[c] = static_cast<int>(pixel[c] * kernel[k] + acc[c]);
            }
            unsigned char* out = output + 4 * (y * width + x);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<unsigned char>(acc[c] < 0 ? 0 : acc[c] > 255 ? 255 : acc[c]);
            out[3] = 0;
        }
    }
    std::free(offsets);
}

bool MotionBlur(COrvanelBitmap* bitmap, const double& radius, const double& sigma,
                const double& angle) {
    if (sigma == 0.0 || std::isnan(sigma))
        return false;
    double* kernel = nullptr;
    int width = 0;
    if (radius > 0.0)
        width = MakeKernel(static_cast<int>(2.0 * std::ceil(radius) + 1.0), sigma, kernel);
    else
        width = SearchKernel(sigma, kernel);
    if (bitmap->GetPtBitmap() == nullptr) {
        std::free(kernel);
        return true;
    }
    const int w = static_cast<int>(bitmap->GetBitmapWidth());
    const int h = static_cast<int>(bitmap->GetBitmapHeight());
    unsigned char* output = new unsigned char[static_cast<std::size_t>(w) * h * 4]();
    ApplyKernel(bitmap->GetPtBitmap(), bitmap->GetWidthSize(), w, h, kernel, width, angle, output);
    bitmap->SetBitmap(output, w, h, false, true);
    delete[] output;
    std::free(kernel);
    return true;
}

} // namespace MotionBlurOracle
