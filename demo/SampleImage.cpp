#include "demo/SampleImage.h"

#include "host/OrvanelBitmap.h"

#include <cmath>

namespace QuilletDemo {

namespace {

unsigned char Clamp(double value) {
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

} // namespace

COrvanelBitmap* MakeSampleImage(int width, int height) {
    auto* bitmap = new COrvanelBitmap(width, height, 32);
    unsigned char* pixels = bitmap->GetPtBitmap();
    const long stride = bitmap->GetWidthSize();
    const double sunX = width * 0.7, sunY = height * 0.72, sunRadius = height * 0.12;
    for (int row = 0; row < height; ++row) {
        // Buffer rows run bottom-up: row 0 is the bottom of the picture.
        const double up = static_cast<double>(row) / (height - 1);
        for (int x = 0; x < width; ++x) {
            const double across = static_cast<double>(x) / (width - 1);
            double red = 40 + 120 * up, green = 90 + 110 * up, blue = 160 + 90 * up;
            const double hill =
                0.32 + 0.08 * std::sin(across * 9.0) + 0.05 * std::sin(across * 23.0);
            if (up < hill) {
                red = 40 + 60 * up;
                green = 110 + 120 * up * (0.6 + 0.4 * std::sin(across * 40.0));
                blue = 30;
            }
            const double dx = x - sunX, dy = row - sunY;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance < sunRadius) {
                red = 255;
                green = 220 - 60 * distance / sunRadius;
                blue = 90;
            }
            if (x % 40 == 0 || row % 40 == 0) {
                red *= 0.55;
                green *= 0.55;
                blue *= 0.55;
            }
            unsigned char* pixel = pixels + row * stride + 4 * x;
            pixel[0] = Clamp(blue);
            pixel[1] = Clamp(green);
            pixel[2] = Clamp(red);
            pixel[3] = 0;
        }
    }
    return bitmap;
}

} // namespace QuilletDemo
