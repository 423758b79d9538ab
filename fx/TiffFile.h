#pragma once
// TIFF through libtiff, which opens the file by its path itself.
#include "fx/ImageRows.h"

#include <string>

class COrvanelBitmap;

namespace QuilletFx::TiffFile {

// The first image of the file, whatever its sample layout: libtiff turns it into 8-bit
// red, green, blue, alpha, which lands in the bitmap's buffer bottom-up and is then reordered in
// place.
ReadResult Read(const char* path, Picture& picture, std::string& error);

// Writes 8-bit RGB, deflate-compressed with the horizontal difference predictor.
bool Write(const char* path, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::TiffFile
