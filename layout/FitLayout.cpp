#include "layout/FitLayout.h"

namespace Orvanel::Layout {

float FitRatio(unsigned int pictureWidth, unsigned int pictureHeight, unsigned int windowWidth,
               unsigned int windowHeight) {
    const float sourceWidth = static_cast<float>(pictureWidth);
    const float sourceHeight = static_cast<float>(pictureHeight);
    const float spaceWidth = static_cast<float>(static_cast<int>(windowWidth));
    const float spaceHeight = static_cast<float>(static_cast<int>(windowHeight));
    const float ratio =
        sourceWidth > sourceHeight ? spaceWidth / sourceWidth : spaceHeight / sourceHeight;
    if (sourceHeight * ratio > spaceHeight) {
        return spaceHeight / sourceHeight;
    }
    if (sourceWidth * ratio > spaceWidth) {
        return spaceWidth / sourceWidth;
    }
    return ratio;
}

int ScaledSize(unsigned int size, float ratio) {
    const float scaled = static_cast<float>(size) * ratio;
    // Beyond int the picture could not be allocated anyway; keep the conversion defined.
    if (!(scaled < 2147483648.0f)) {
        return 2147483647;
    }
    const int truncated = static_cast<int>(scaled);
    return truncated < 1 ? 1 : truncated;
}

unsigned int CentredOffset(unsigned int space, unsigned int size) {
    return space > size ? (space - size) / 2 : 0;
}

} // namespace Orvanel::Layout
