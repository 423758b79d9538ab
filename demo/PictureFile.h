#pragma once
// The viewer's image files. Reading takes any format the general-purpose reader decodes (PNG,
// BMP, JPEG, TGA, GIF's first frame, PNM, PSD...); writing takes the format the name's extension
// names: .png, .bmp, .jpg or .jpeg, .tga. Paths are wide: names outside the ANSI code page work.
// Files carry red, green and blue only: the bitmap's fourth byte is not written, and reads as 0.
#include <string>

class COrvanelBitmap;

namespace QuilletDemo {

// Replaces the picture with the image the file holds and records the path as its file name.
// On failure returns false with a sentence naming the file and the reason in `error`, and the
// picture stays exactly as it was.
bool ReadPictureFile(const std::wstring& path, COrvanelBitmap& picture, std::wstring& error);

// Writes the picture to the file in the format its extension names (JPEG at quality 95). On
// failure returns false with a sentence naming the file and the reason in `error`; a file the
// write had begun is removed, and a name with an extension it does not know is never created.
bool WritePictureFile(const COrvanelBitmap& picture, const std::wstring& path, std::wstring& error);

} // namespace QuilletDemo
