#include "layout/PrintPreviewLayout.h"

#include "layout/SaturatedInt.h"

namespace Orvanel::Layout {

namespace {

// Larger than any miniature a dialog shows; a free area beyond it comes from absurd margins,
// and a copy of the image that size would only exhaust memory.
constexpr long long kMaxMiniatureExtent = 16384;

long long Width(const PixelRect& r) { return static_cast<long long>(r.right) - r.left; }
long long Height(const PixelRect& r) { return static_cast<long long>(r.bottom) - r.top; }

// One side of the page spans the client less 10 pixels at either end; the other keeps the
// paper's proportions and is centred.
void SpanAndCentre(int spanClient, int spanMm, int crossClient, int crossMm, int& spanStart,
                   int& spanEnd, int& crossStart, int& crossEnd) {
    spanStart = 10;
    spanEnd = spanClient - 10;
    const int extent = SaturatedInt(static_cast<double>(spanClient - 20) / spanMm * crossMm);
    crossStart = SaturatedSum((static_cast<long long>(crossClient) - extent) / 2);
    crossEnd = SaturatedSum(static_cast<long long>(crossStart) + extent);
}

} // namespace

PixelRect PageRectangle(int clientWidth, int clientHeight, int paperWidthMm, int paperHeightMm,
                        int orientation) {
    PixelRect page{0, 0, 0, 0};
    if (paperWidthMm <= 0 || paperHeightMm <= 0) {
        return page;
    }
    if (orientation == 1) {
        SpanAndCentre(clientHeight, paperHeightMm, clientWidth, paperWidthMm, page.top, page.bottom,
                      page.left, page.right);
    } else {
        SpanAndCentre(clientWidth, paperWidthMm, clientHeight, paperHeightMm, page.left, page.right,
                      page.top, page.bottom);
    }
    return page;
}

int MarginPixels(int pageExtent, float marginCm, int paperMm) {
    if (paperMm <= 0) {
        return 0;
    }
    return SaturatedInt(static_cast<float>(pageExtent) * marginCm * 10 /
                        static_cast<float>(paperMm));
}

int TypedMarginPixels(int pageExtent, float marginCm, int paperMm) {
    if (paperMm <= 0) {
        return 0;
    }
    const float tenfold = static_cast<float>(static_cast<long long>(pageExtent) * 10);
    return SaturatedInt(tenfold * marginCm / static_cast<float>(paperMm));
}

PixelRect FreeArea(const PixelRect& page, int leftMargin, int topMargin, int rightMargin,
                   int bottomMargin) {
    return PixelRect{SaturatedSum(static_cast<long long>(page.left) + leftMargin),
                     SaturatedSum(static_cast<long long>(page.top) + topMargin),
                     SaturatedSum(static_cast<long long>(page.right) - rightMargin),
                     SaturatedSum(static_cast<long long>(page.bottom) - bottomMargin)};
}

double FitScale(unsigned int width, unsigned int height, long long freeWidth, long long freeHeight,
                int horizontalPlacement) {
    if (width == 0 || height == 0) {
        return 0.0;
    }
    const double aw = static_cast<double>(freeWidth), ah = static_cast<double>(freeHeight);
    double scale = horizontalPlacement == 1 ? aw / width : ah / height;
    // The width is checked even after the height has set the scale: ah / H x H can round up
    // past ah, and skipping the width then left a wide image at its height's scale.
    if (height * scale > ah) {
        scale = ah / height;
    }
    if (width * scale > aw) {
        scale = aw / width;
    }
    return scale;
}

float MiddleMargin(unsigned int imageExtent, double scale, int paperMm, int pageExtent) {
    const double extentMm = pageExtent > 0 ? imageExtent * scale * paperMm / pageExtent : 0.0;
    return NarrowedFloat((paperMm - extentMm) * 0.5) / 10;
}

float EndMargin(unsigned int imageExtent, double scale, int paperMm, int pageExtent,
                float oppositeCm) {
    const double extentMm = pageExtent > 0 ? imageExtent * scale * paperMm / pageExtent : 0.0;
    return NarrowedFloat((paperMm - (oppositeCm * 10 + extentMm)) / 10);
}

float MiniatureRatio(unsigned int width, unsigned int height, const PixelRect& area) {
    if (width == 0 || height == 0) {
        return 0.0f;
    }
    // An inside-out area wraps to a huge unsigned size here; callers ask MiniatureAreaUsable
    // first and never scale to it.
    const unsigned int w = static_cast<unsigned int>(Width(area));
    const unsigned int h = static_cast<unsigned int>(Height(area));
    float r = width > height ? static_cast<float>(w) / static_cast<float>(width)
                             : static_cast<float>(h) / static_cast<float>(height);
    // As in the dialog's scale: the second side is checked even after the first has been
    // corrected, since h / H x H may round up past h.
    if (static_cast<float>(height) * r > static_cast<float>(h)) {
        r = static_cast<float>(h) / static_cast<float>(height);
    }
    if (static_cast<float>(width) * r > static_cast<float>(w)) {
        r = static_cast<float>(w) / static_cast<float>(width);
    }
    return r;
}

bool MiniatureAreaUsable(const PixelRect& area) {
    const long long w = Width(area), h = Height(area);
    return w > 0 && h > 0 && w <= kMaxMiniatureExtent && h <= kMaxMiniatureExtent;
}

} // namespace Orvanel::Layout
