#include "layout/MarginLayout.h"

namespace Orvanel::Layout {

unsigned int MarginArea(unsigned int clientSize, int margin) {
    if (margin < 0) {
        return clientSize;
    }
    const unsigned int kept = static_cast<unsigned int>(margin);
    return clientSize > kept ? clientSize - kept : 0;
}

unsigned int MarginOffset(unsigned int clientSize, unsigned int areaSize, unsigned int pictureSize,
                          int halfMargin) {
    if (clientSize <= pictureSize) {
        return 0;
    }
    // The fitted picture never exceeds the area; should it, it starts at the inset.
    const unsigned int spare = areaSize > pictureSize ? (areaSize - pictureSize) / 2 : 0;
    return spare + static_cast<unsigned int>(halfMargin);
}

int PicturePixel(int client, unsigned int offset, unsigned int pictureSize) {
    // 64-bit: a client coordinate less an offset near 2^32 must not wrap.
    long long pixel = static_cast<long long>(client) - static_cast<long long>(offset);
    if (pixel < 0) {
        pixel = 0;
    }
    if (pictureSize > 0 && pixel >= static_cast<long long>(pictureSize)) {
        pixel = static_cast<long long>(pictureSize) - 1;
    }
    return static_cast<int>(pixel);
}

int MarkerCentre(int pixel, unsigned int offset, unsigned int pictureSize) {
    long long centre = static_cast<long long>(pixel) + static_cast<long long>(offset);
    const long long last = static_cast<long long>(offset) + static_cast<long long>(pictureSize) - 1;
    if (centre > last) {
        centre = last;
    }
    if (centre < static_cast<long long>(offset)) {
        centre = static_cast<long long>(offset);
    }
    return static_cast<int>(centre);
}

} // namespace Orvanel::Layout
