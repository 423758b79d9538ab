#pragma once
// Binary portable pixmaps (P6) and greymaps (P5): a text header, then raw rows top-down.
#include "fx/ImageRows.h"

#include <cstdio>
#include <string>

class COrvanelBitmap;

namespace QuilletFx::PnmFile {

// P6 and P5 with any largest value up to 65535; samples are scaled to 0..255, rounded.
ReadResult Read(std::FILE* file, Picture& picture, std::string& error);

// Writes P6, largest value 255.
bool Write(std::FILE* file, const PixelRows& rows, std::string& error);

} // namespace QuilletFx::PnmFile
