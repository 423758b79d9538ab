#pragma once
// JPEG through libjpeg-turbo, which converts to and from the host's blue, green, red, fourth
// byte layout itself: decoded straight into the bitmap's rows, encoded straight from them.
#include "fx/ImageRows.h"

#include <cstdio>
#include <string>

class COrvanelBitmap;

namespace QuilletFx::JpegFile {

constexpr int kDefaultQuality = 90;

// Colour and grey JPEGs; CMYK ones are left to the general-purpose reader (Unsupported).
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Quality 1 to 100.
bool Write(std::FILE* file, const PixelRows& rows, int quality, std::string& error);

} // namespace QuilletFx::JpegFile
