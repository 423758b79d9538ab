#pragma once
#include <string>

class COrvanelBitmap;

namespace QuilletDemo {

// The demo's built-in picture: a sky-to-ground gradient with a sun, hills and a grid of fine
// lines, enough detail for the previews to show what an effect does.
COrvanelBitmap* MakeSampleImage(int width, int height);

// Reads an image file (PNG, BMP, JPEG, PNM...) into a new bitmap, or null on failure.
COrvanelBitmap* LoadImageFile(const std::wstring& path);

} // namespace QuilletDemo
