#pragma once
// The lens flare drawn straight into a pixel buffer: CLensFlareFilter draws a host bitmap
// through these, the effects library a host's plain buffer, so both give the same bytes.
#include "filter/FlareBlend.h"
#include "filter/FlareCanvas.h"
#include "filter/FlareDiscRaster.h"

namespace Orvanel::Filter {

// The whole flare on the canvas, its nineteen elements in a fixed order (LensFlareFilter.h says
// what it paints); (x, y) is the source, y a buffer row. Takes 722 numbers from the C runtime's
// generator (RuntimeRandom.h) for the rays, none when G / 2 is 0.
void RenderLensFlare(const CFlareCanvas& canvas, int x, int y, int size, int brightness, int hue,
                     int intensity);

// Beyond this many pixels from the picture's origin the renderer's integer coordinates could
// overflow; hues beyond this many degrees could overflow the hues derived from them.
constexpr double kReachLimit = 1073741824.0; // 2^30
constexpr int kHueLimit = 1000000;

// How far from the picture's origin, in pixels, the flare can reach at most: its reflections
// lie on the line from the source through the centre, some of them beside it by up to R0
// columns, which the line's slope turns into rows; every element reaches out by its radius.
double LensFlareReach(int width, int height, int x, int y, int size, int brightness);

// Whether RenderLensFlare has a defined result for these parameters on a width x height
// canvas: both sides above 0, size at least 0, brightness and intensity 0 ... 100, the hue
// within kHueLimit and the reach within kReachLimit.
bool LensFlareDrawable(int width, int height, int x, int y, int size, int brightness, int hue,
                       int intensity);

// Elements that CLensFlareFilter's primitives share with the flare: a line of single pixels
// from (x0, y0) rightwards, a glow of `radius` outlines, a ring (with its inside when `inner`).
void FlareLine(const CFlareCanvas& canvas, int x0, int y0, int x1, int y1,
               const CFlareBlend& blend);
void FlareGlow(CFlareDiscRaster& raster, int centreX, int centreY, int radius, int hue,
               int saturationScale);
void FlareRing(CFlareDiscRaster& raster, int intensity, int centreX, int centreY, int hue,
               int radius, int width, float keep, bool inner);

} // namespace Orvanel::Filter
