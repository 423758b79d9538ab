#pragma once
// Windows bitmap files. Their uncompressed rows already run bottom-up as blue, green, red, so
// 24- and 32-bit files are read row by row straight into the bitmap and widened in place.
#include "fx/ImageRows.h"

#include <cstdio>
#include <string>

class COrvanelBitmap;

namespace QuilletFx::BmpFile {

// Uncompressed 24- and 32-bit files (and 32-bit ones whose bit fields are the usual blue,
// green, red bytes), bottom-up or top-down. Palettes, run-length coding and 16-bit pixels are
// left to the general-purpose reader (Unsupported).
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Writes an uncompressed 24-bit, bottom-up file.
bool Write(std::FILE* file, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::BmpFile
