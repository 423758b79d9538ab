#pragma once
// Reading and writing image files for quillet-fx. A file is read by what its first bytes show,
// and written in the format its extension names.
#include "fx/ImageRows.h"

#include <string>

class COrvanelBitmap;

namespace QuilletFx {

enum class ImageFormat { Png, Bmp, Pnm, Jpeg, Tiff };

// The format named by the extension of path, in any letter case: .png, .bmp, .ppm, .pnm, .jpg,
// .jpeg, .tif, .tiff. False for any other extension or none.
bool FormatFromExtension(const std::string& path, ImageFormat& format);

// The extensions FormatFromExtension knows, for messages and help.
extern const char* const kKnownExtensions;

struct WriteOptions {
    int jpegQuality = 90;
};

// Reads a PNG, JPEG, BMP, PNM or TIFF file (and, through the general-purpose reader, GIF, TGA
// and the other variants) into picture: 32 bits, fourth byte 0, rows bottom-up. False with a
// reason (a missing file, a directory, a broken or unknown image) in error and no picture.
bool ReadImageFile(const char* path, Picture& picture, std::string& error);

// Writes the rows as an image file of the given format. False with a reason in error; a file
// whose writing failed part-way is removed.
bool WriteImageFile(const char* path, ImageFormat format, const PixelRows& rows,
                    const WriteOptions& options, std::string& error);

} // namespace QuilletFx
