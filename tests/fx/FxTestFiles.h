#pragma once
// Scratch folders, test pictures and image file reading and writing for the quillet-fx tests.
#include "fx/ImageFile.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace FxTest {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string name = std::filesystem::temp_directory_path() / "quillet-fx-XXXXXX";
        REQUIRE(mkdtemp(name.data()) != nullptr);
        path_ = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// Random pixels over smooth ramps, fourth byte 0, as every reader must deliver.
inline COrvanelBitmap TestPicture(int width, int height, std::uint32_t seed) {
    COrvanelBitmap bitmap(width, height, 32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char blue = random(), green = x * 255 / width + random() % 16;
            const unsigned char red = y * 200 / height + random() % 32;
            bitmap.SetColorValue(x, y, red | green << 8 | blue << 16);
        }
    return bitmap;
}

inline Bytes PixelsOf(const COrvanelBitmap& bitmap) {
    const unsigned char* pixels = bitmap.GetPtBitmap();
    return Bytes(pixels, pixels + bitmap.GetWidthSize() * bitmap.GetBitmapHeight());
}

// The bitmap as an image file lists it: RGB, top row first.
inline Bytes TopDownRgb(const COrvanelBitmap& bitmap) {
    Bytes rgb;
    for (int y = static_cast<int>(bitmap.GetBitmapHeight()) - 1; y >= 0; --y)
        for (unsigned x = 0; x < bitmap.GetBitmapWidth(); ++x) {
            const unsigned char* pixel = bitmap.GetPtBitmap() + y * bitmap.GetWidthSize() + 4 * x;
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    return rgb;
}

// Writes the bitmap in the format the extension names: empty when written, else why not.
inline std::string Write(const std::string& path, const COrvanelBitmap& bitmap, int quality = 90) {
    QuilletFx::ImageFormat format = QuilletFx::ImageFormat::Png;
    std::string error = "unknown extension";
    if (QuilletFx::FormatFromExtension(path, format) &&
        QuilletFx::WriteImageFile(path.c_str(), format, QuilletFx::RowsOf(bitmap), {quality},
                                  error))
        error.clear();
    return error;
}

inline COrvanelBitmap Read(const std::string& path) {
    QuilletFx::Picture picture;
    std::string error;
    INFO(path, ": ", error);
    REQUIRE(QuilletFx::ReadImageFile(path.c_str(), picture, error));
    return *picture;
}

} // namespace FxTest
