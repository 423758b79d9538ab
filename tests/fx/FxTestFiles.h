#pragma once
// Scratch folders and test pictures shared by the quillet-fx tests.
#include "host/OrvanelBitmap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/quillet-fx-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) != nullptr)
            path_ = name.data();
    }
    ~ScratchFolder() {
        if (!path_.empty())
            std::system(("rm -rf '" + path_ + "'").c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline bool FileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr)
        std::fclose(file);
    return file != nullptr;
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Random pixels over smooth ramps, fourth byte 0, as every reader must deliver.
inline COrvanelBitmap TestPicture(int width, int height, std::uint32_t seed) {
    COrvanelBitmap bitmap(width, height, 32);
    std::mt19937 random(seed);
    unsigned char* pixels = bitmap.GetPtBitmap();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = pixels + y * bitmap.GetWidthSize() + 4 * x;
            pixel[0] = static_cast<unsigned char>(random());
            pixel[1] = static_cast<unsigned char>(x * 255 / width + (random() % 16));
            pixel[2] = static_cast<unsigned char>(y * 200 / height + (random() % 32));
            pixel[3] = 0;
        }
    }
    return bitmap;
}

inline Bytes PixelsOf(const COrvanelBitmap& bitmap) {
    const unsigned char* pixels = bitmap.GetPtBitmap();
    if (pixels == nullptr)
        return {};
    return Bytes(pixels, pixels + bitmap.GetWidthSize() * bitmap.GetBitmapHeight());
}

// The bitmap as an image file lists it: RGB, top row first.
inline Bytes TopDownRgb(const COrvanelBitmap& bitmap) {
    Bytes rgb;
    const int width = static_cast<int>(bitmap.GetBitmapWidth());
    const int height = static_cast<int>(bitmap.GetBitmapHeight());
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = bitmap.GetPtBitmap() + y * bitmap.GetWidthSize() + 4 * x;
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    }
    return rgb;
}

} // namespace FxTest
