#pragma once
// The file formats quillet-fx reads and writes itself, one namespace each. A reader answers
// Unsupported for a variant it leaves to the general-purpose reader.
#include "fx/ImageRows.h"

#include <png.h>

#include <cstdio>
#include <string>

// Windows bitmap files. Their uncompressed rows already run bottom-up as blue, green, red, so
// 24- and 32-bit files are read row by row straight into the bitmap and widened in place.
namespace QuilletFx::BmpFile {

// Uncompressed 24- and 32-bit files (and 32-bit ones whose bit fields are the usual blue,
// green, red bytes), bottom-up or top-down. Palettes, run-length coding and 16-bit pixels are
// left to the general-purpose reader.
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Writes an uncompressed 24-bit, bottom-up file.
bool Write(std::FILE* file, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::BmpFile

// Binary portable pixmaps (P6) and greymaps (P5): a text header, then raw rows top-down.
namespace QuilletFx::PnmFile {

// P6 and P5 with any largest value up to 65535; samples are scaled to 0..255, rounded.
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Writes P6, largest value 255.
bool Write(std::FILE* file, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::PnmFile

// PNG through libpng: decoded straight into the bitmap's rows, encoded straight from the host's
// rows (libpng swaps blue and red and drops the fourth byte as it goes).
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

// JPEG through libjpeg-turbo, which converts to and from the host's blue, green, red, fourth
// byte layout itself: decoded straight into the bitmap's rows, encoded straight from them.
namespace QuilletFx::JpegFile {

constexpr int kDefaultQuality = 90;

// Colour and grey JPEGs; CMYK ones are left to the general-purpose reader.
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Quality 1 to 100.
bool Write(std::FILE* file, const PixelRows& rows, int quality, std::string& error);

} // namespace QuilletFx::JpegFile

// TIFF through libtiff, which opens the file by its path itself.
namespace QuilletFx::TiffFile {

// The first image of the file, whatever its sample layout: libtiff turns it into 8-bit
// red, green, blue, alpha, which lands in the bitmap's buffer bottom-up and is then reordered in
// place.
ReadResult Read(const char* path, Picture& picture, std::string& error);

// Writes 8-bit RGB, deflate-compressed with the horizontal difference predictor.
bool Write(const char* path, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::TiffFile
