#pragma once
// Where the picking window puts its picture, its marker and the point under the pointer:
// plain arithmetic on a picture fitted inside a margin, testable without a window system.

namespace Orvanel::Layout {

// A client size less the margin kept around the picture; 0 (nothing to show) when the client
// is not larger than the margin, rather than a wrapped-around huge size.
unsigned int MarginArea(unsigned int clientSize, int margin);

// Offset of the picture in the client area: centred in the area and moved in by half the
// margin; 0 when the picture is not narrower than the client area.
unsigned int MarginOffset(unsigned int clientSize, unsigned int areaSize, unsigned int pictureSize,
                          int halfMargin);

// A client coordinate as a pixel of the picture at `offset` of `pictureSize` pixels: clamped
// onto the picture, so a pointer beside it picks the nearest edge pixel.
int PicturePixel(int client, unsigned int offset, unsigned int pictureSize);

// A pixel of the picture (possibly beside it) as the client coordinate of the marker's centre,
// clamped onto the picture.
int MarkerCentre(int pixel, unsigned int offset, unsigned int pictureSize);

} // namespace Orvanel::Layout
