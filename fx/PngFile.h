#pragma once
// PNG through libpng: decoded straight into the bitmap's rows, encoded straight from the host's
// rows (libpng swaps blue and red and drops the fourth byte as it goes).
#include "fx/ImageRows.h"

#include <png.h>

#include <cstdio>
#include <string>

class COrvanelBitmap;

namespace QuilletFx::PngFile {

// Deflate at level 1 with run-length matching only, rows filtered by their left neighbour. On
// photographs this writes files within a few percent of the default settings' size in a
// fraction of their time: run-length matches find what a photograph's noise leaves, and the
// full match search costs most of the time. The codec benchmark uses the same settings.
void UseFastCompression(png_structp png);

// Reads any PNG (palette, grey, alpha, 16 bits, interlaced): 16-bit samples keep their high
// byte, alpha is dropped, grey is copied into blue, green and red.
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Writes 8-bit RGB.
bool Write(std::FILE* file, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::PngFile
