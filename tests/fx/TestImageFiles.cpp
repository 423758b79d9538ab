// Reading and writing image files as quillet-fx does, checked against other codecs (stb,
// libpng, libjpeg, libtiff) wherever one can read or write the same file.
#include "fx/ImageFile.h"
#include "fx/FxTestFiles.h"

#include <doctest/doctest.h>
#include <png.h>
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace QuilletFx;
using namespace FxTest;

namespace {

std::string ReadError(const std::string& path) {
    Picture picture;
    std::string error;
    CHECK_FALSE(ReadImageFile(path.c_str(), picture, error));
    CHECK_FALSE(picture.has_value()); // no half picture
    return error;
}

// What stb decodes from a file: RGB, top row first.
Bytes StbRgb(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> rgb(
        stbi_load(path.c_str(), &width, &height, &channels, 3), stbi_image_free);
    REQUIRE(rgb);
    return Bytes(rgb.get(), rgb.get() + 3 * width * height);
}

// A file's header text and the bytes after it.
Bytes Text(const std::string& text, Bytes data = {}) {
    data.insert(data.begin(), text.begin(), text.end());
    return data;
}

int LargestDifference(const Bytes& a, const Bytes& b) {
    REQUIRE(a.size() == b.size());
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

// A PNG written by libpng itself; `samples` holds the rows as the file stores them.
void WritePng(const std::string& path, int width, int height, int colorType, int depth,
              int interlace, Bytes samples, const std::vector<png_color>& palette = {}) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    REQUIRE(file != nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, depth, colorType, interlace, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(samples.data() + y * samples.size() / height);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// A one-channel JPEG written by libjpeg itself (stb's JPEG writer shifts negative values,
// which the sanitizer stops).
void WriteGreyJpeg(const std::string& path, int width, int height, Bytes grey) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    REQUIRE(file != nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    for (JSAMPROW row = grey.data(); info.next_scanline < info.image_height; row += width)
        jpeg_write_scanlines(&info, &row, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

} // namespace

TEST_CASE("each format reads back what it wrote, top row first") {
    ScratchFolder folder;
    // Odd widths give 24-bit BMP rows padding; one column and one row are edge shapes.
    for (const auto& size : {std::pair{13, 7}, {1, 5}, {6, 1}, {64, 33}}) {
        const int width = size.first;
        CAPTURE(width);
        const COrvanelBitmap picture = TestPicture(width, size.second, 7u * width);
        for (const char* name : {"a.png", "a.bmp", "a.ppm", "a.pnm", "a.tif", "A.TIFF"}) {
            CAPTURE(name);
            REQUIRE(Write(folder / name, picture) == "");
            const COrvanelBitmap back = Read(folder / name);
            CHECK(back.GetBitmapWidth() == picture.GetBitmapWidth());
            CHECK(PixelsOf(back) == PixelsOf(picture));
        }
        // The file's first row is the picture's top row, as other decoders see it.
        for (const char* name : {"a.png", "a.bmp", "a.ppm"})
            CHECK_MESSAGE(StbRgb(folder / name) == TopDownRgb(picture), name);
        std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen((folder / "a.tif").c_str(), "r"),
                                                    TIFFClose);
        Bytes top(3 * width);
        REQUIRE(TIFFReadScanline(tiff.get(), top.data(), 0, 0) == 1);
        CHECK(std::equal(top.begin(), top.end(), TopDownRgb(picture).begin()));
    }
}

TEST_CASE("JPEG keeps the picture within its loss, top row first, fourth byte 0") {
    ScratchFolder folder;
    // Smooth ramps, which JPEG is made for: dark at the top, bright at the bottom, so that a
    // picture read upside down would be far off.
    COrvanelBitmap picture(48, 32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            picture.SetColorValue(x, y, 0x402000u + 0x000100u * (3 * x) + 0x000007u * (31 - y));
    REQUIRE(Write(folder / "a.jpg", picture, 95) == "");
    const COrvanelBitmap back = Read(folder / "a.jpg");
    CHECK(LargestDifference(PixelsOf(back), PixelsOf(picture)) <= 12);
    CHECK(LargestDifference(StbRgb(folder / "a.jpg"), TopDownRgb(back)) <= 2);

    // Quality reaches the encoder: 10 is far smaller than 100.
    const COrvanelBitmap noisy = TestPicture(64, 64, 5);
    REQUIRE(Write(folder / "low.jpeg", noisy, 10) == "");
    REQUIRE(Write(folder / "high.jpeg", noisy, 100) == "");
    CHECK(ReadBytes(folder / "low.jpeg").size() * 2 < ReadBytes(folder / "high.jpeg").size());
}

TEST_CASE("files of other encoders and layouts") {
    ScratchFolder folder;
    const int width = 9, height = 4, n = width * height;
    Bytes rgba, rgb, grey, greyAlpha, greyAsRgb, rgb16, indices, paletted;
    const std::vector<png_color> palette = {{0, 200, 0}, {60, 150, 17}, {120, 100, 34}};
    for (int i = 0; i < n; ++i) {
        const unsigned char r = i * 7, g = 255 - i * 5, b = i * i, a = i;
        rgba.insert(rgba.end(), {r, g, b, a});
        rgb.insert(rgb.end(), {r, g, b});
        rgb16.insert(rgb16.end(), {r, r, g, g, b, b}); // each value v * 257, high byte first
        grey.push_back(r);
        greyAlpha.insert(greyAlpha.end(), {r, a});
        greyAsRgb.insert(greyAsRgb.end(), {r, r, r});
        indices.push_back(i % 3);
        const png_color& c = palette[i % 3];
        paletted.insert(paletted.end(), {c.red, c.green, c.blue});
    }
    // stb's PNG, BMP and TGA (read by stb itself): RGB, RGBA with alpha dropped, grey.
    REQUIRE(stbi_write_png((folder / "rgb.png").c_str(), width, height, 3, rgb.data(), 0));
    REQUIRE(stbi_write_png((folder / "rgba.png").c_str(), width, height, 4, rgba.data(), 0));
    REQUIRE(stbi_write_png((folder / "g.png").c_str(), width, height, 1, grey.data(), 0));
    REQUIRE(stbi_write_png((folder / "ga.png").c_str(), width, height, 2, greyAlpha.data(), 0));
    REQUIRE(stbi_write_bmp((folder / "rgb.bmp").c_str(), width, height, 3, rgb.data()));
    REQUIRE(stbi_write_bmp((folder / "rgba.bmp").c_str(), width, height, 4, rgba.data()));
    REQUIRE(stbi_write_tga((folder / "rgb.tga").c_str(), width, height, 3, rgb.data()));
    // libpng's 16-bit, interlaced and palette PNGs.
    WritePng(folder / "16.png", width, height, PNG_COLOR_TYPE_RGB, 16, PNG_INTERLACE_NONE, rgb16);
    WritePng(folder / "adam7.png", width, height, PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_ADAM7, rgb);
    WritePng(folder / "palette.png", width, height, PNG_COLOR_TYPE_PALETTE, 8, PNG_INTERLACE_NONE,
             indices, palette);
    // A PNM with a comment in its header; a BMP whose negative height stores rows top-down.
    WriteBytes(folder / "g.pgm", Text("P5\n# x\n9 4\n255\n", grey));
    Bytes bmp = ReadBytes(folder / "rgb.bmp");
    const int negative = -height, rowBytes = (3 * width + 3) / 4 * 4;
    std::memcpy(&bmp[22], &negative, 4);
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(bmp.begin() + 54 + y * rowBytes, bmp.begin() + 54 + (y + 1) * rowBytes,
                         bmp.end() - (y + 1) * rowBytes);
    WriteBytes(folder / "down.bmp", bmp);
    const std::pair<const char*, const Bytes*> files[] = {
        {"rgb.png", &rgb},      {"rgba.png", &rgb},    {"rgb.bmp", &rgb},
        {"rgba.bmp", &rgb},     {"rgb.tga", &rgb},     {"16.png", &rgb},
        {"adam7.png", &rgb},    {"down.bmp", &rgb},    {"g.png", &greyAsRgb},
        {"ga.png", &greyAsRgb}, {"g.pgm", &greyAsRgb}, {"palette.png", &paletted}};
    for (const auto& file : files) {
        CAPTURE(file.first);
        const COrvanelBitmap back = Read(folder / file.first);
        CHECK(TopDownRgb(back) == *file.second);
        CHECK(PixelsOf(back)[3] == 0);
    }

    // A grey JPEG, as stb decodes it.
    WriteGreyJpeg(folder / "g.jpg", width, height, grey);
    CHECK(LargestDifference(TopDownRgb(Read(folder / "g.jpg")), StbRgb(folder / "g.jpg")) <= 2);

    // PNM with largest value 15: 0..15 scale to 0..255 in steps of 17.
    WriteBytes(folder / "15.pgm", Text("P5 4 1 15\n", {0, 1, 8, 15}));
    CHECK(TopDownRgb(Read(folder / "15.pgm")) ==
          Bytes{0, 0, 0, 17, 17, 17, 136, 136, 136, 255, 255, 255});
    // Two bytes a sample, high byte first, rounded to the nearest of 0..255.
    WriteBytes(folder / "16.ppm",
               Text("P6 2 1 65535\n", {0, 0, 0xFF, 0xFF, 0x80, 0, 0, 0xFF, 0x12, 0x34, 0, 0x80}));
    CHECK(TopDownRgb(Read(folder / "16.ppm")) == Bytes{0, 255, 128, 1, 18, 0});
}

TEST_CASE("output formats by extension, in any letter case") {
    ImageFormat format = ImageFormat::Bmp;
    const std::pair<const char*, ImageFormat> known[] = {
        {"b/c.PNG", ImageFormat::Png}, {"x.bmp", ImageFormat::Bmp},
        {"x.ppm", ImageFormat::Pnm},   {"x.pnm", ImageFormat::Pnm},
        {"x.jpg", ImageFormat::Jpeg},  {"x.tif", ImageFormat::Tiff},
        {"x.tiff", ImageFormat::Tiff}, {"x.tar.JpEg", ImageFormat::Jpeg}};
    for (const auto& entry : known)
        CHECK_MESSAGE((FormatFromExtension(entry.first, format) && format == entry.second),
                      entry.first);
    for (const char* unknown : {"x.gif", "x", "x.", "dir.png/x", "x.png.txt", "x.pngx"})
        CHECK_MESSAGE(!FormatFromExtension(unknown, format), unknown);
}

TEST_CASE("files that cannot be read say why") {
    ScratchFolder folder;
    CHECK(ReadError(folder / "missing.png") == "No such file or directory");
    CHECK(ReadError(folder / "") == "is a directory");
    WriteBytes(folder / "empty.png", {});
    CHECK(ReadError(folder / "empty.png") == "the file is empty");
    WriteBytes(folder / "text.png", Text("hello\n"));
    CHECK(ReadError(folder / "text.png").find("not an image file") == 0);
    // Each format cut short in its pixel data.
    for (const char* name : {"cut.png", "cut.bmp", "cut.ppm", "cut.tif"}) {
        CAPTURE(name);
        REQUIRE(Write(folder / name, TestPicture(40, 30, 3)) == "");
        Bytes bytes = ReadBytes(folder / name);
        bytes.resize(bytes.size() / 2);
        WriteBytes(folder / name, bytes);
        CHECK(ReadError(folder / name).find("broken") == 0);
    }
    // A picture too large for the host's bitmap is refused before any pixel is read.
    WriteBytes(folder / "huge.ppm", Text("P6 100000 100000 255\n"));
    CHECK(ReadError(folder / "huge.ppm").find("too large") != std::string::npos);
}

TEST_CASE("failed writes are reported and leave no partial file") {
    ScratchFolder folder;
    const COrvanelBitmap picture = TestPicture(8, 8, 1);
    for (const char* name : {"no/such/folder/a.png", "no/such/folder/a.tif"})
        CHECK(Write(folder / name, picture).find("No such file or directory") != std::string::npos);
    // The encoder itself refuses a JPEG wider than 65500 pixels after the file was created.
    CHECK(Write(folder / "wide.jpg", COrvanelBitmap(70000, 1, 32)).find("JPEG") == 0);
    CHECK_FALSE(std::filesystem::exists(folder / "wide.jpg"));
    // A full disk shows when the last buffer is flushed; the device itself stays.
    REQUIRE(symlink("/dev/full", (folder / "full.bmp").c_str()) == 0);
    CHECK(Write(folder / "full.bmp", picture).find("No space left on device") != std::string::npos);
    CHECK(std::filesystem::exists("/dev/full"));
}
