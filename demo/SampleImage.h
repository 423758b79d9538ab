#pragma once

class COrvanelBitmap;

namespace QuilletDemo {

// The demo's built-in picture: a sky-to-ground gradient with a sun, hills and a grid of fine
// lines, enough detail for the previews to show what an effect does.
COrvanelBitmap* MakeSampleImage(int width, int height);

} // namespace QuilletDemo
