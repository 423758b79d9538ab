// Reading and writing image files as quillet-fx does, checked against an independent codec
// (stb) wherever one exists.
#include "demo/ImageFileBitmap.h"
#include "demo/fx/ImageFile.h"
#include "fx/FxTestFiles.h"
#include "host/OrvanelBitmap.h"

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

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace QuilletFx;
using namespace FxTest;

namespace {

bool Write(const std::string& path, const COrvanelBitmap& bitmap, int quality = 90) {
    ImageFormat format = ImageFormat::Png;
    REQUIRE(FormatFromExtension(path, format));
    WriteOptions options;
    options.jpegQuality = quality;
    std::string error;
    const bool written = WriteImageFile(path.c_str(), format, RowsOf(bitmap), options, error);
    INFO(error);
    return written;
}

COrvanelBitmap Read(const std::string& path) {
    Picture picture;
    std::string error;
    const bool read = ReadImageFile(path.c_str(), picture, error);
    INFO(path, ": ", error);
    REQUIRE(read);
    return *picture;
}

std::string ReadError(const std::string& path) {
    Picture picture;
    std::string error;
    CHECK_FALSE(ReadImageFile(path.c_str(), picture, error));
    CHECK_FALSE(picture.has_value());
    return error;
}

// What stb decodes from a file: RGB, top row first.
Bytes StbRgb(const std::string& path, int& width, int& height) {
    int channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> rgb(
        stbi_load(path.c_str(), &width, &height, &channels, 3), stbi_image_free);
    REQUIRE(rgb);
    return Bytes(rgb.get(), rgb.get() + 3 * static_cast<std::size_t>(width) * height);
}

int LargestDifference(const Bytes& a, const Bytes& b) {
    REQUIRE(a.size() == b.size());
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

// A PNG of any layout written by libpng itself; samples are given as 8-bit values and
// widened to 16 bits as v * 257 when depth is 16.
void WritePng(const std::string& path, int width, int height, int colorType, int depth,
              int interlace, const Bytes& samples, const std::vector<png_color>& palette = {}) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    REQUIRE(file != nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, depth, colorType, interlace, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    const std::size_t perRow = samples.size() / height;
    std::vector<Bytes> rows(height);
    std::vector<png_bytep> pointers;
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < perRow; ++i) {
            const unsigned char v = samples[y * perRow + i];
            if (depth == 16)
                rows[y].insert(rows[y].end(), {v, v}); // v * 257, big-endian
            else
                rows[y].push_back(v);
        }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// A one-channel JPEG written by libjpeg itself (stb's JPEG writer shifts negative values,
// which the sanitizer stops).
void WriteGreyJpeg(const std::string& path, int width, int height, const Bytes& grey) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    REQUIRE(file != nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    Bytes row(grey.size() / height);
    for (int y = 0; y < height; ++y) {
        std::copy(grey.begin() + y * width, grey.begin() + (y + 1) * width, row.begin());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

} // namespace

TEST_CASE("image file rows and bitmap rows") {
    // 2 x 3 RGB, top row first; the bitmap holds it bottom-up as BGR plus a zero byte.
    const unsigned char rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    COrvanelBitmap bitmap(2, 3, 32);
    REQUIRE(CopyRgbRows(rgb, bitmap));
    CHECK(bitmap.GetColorValue(0, 2) == 0x030201u); // top-left pixel of the file
    CHECK(bitmap.GetColorValue(1, 0) == 0x121110u); // bottom-right
    CHECK(bitmap.GetPtBitmap()[3] == 0);
    CHECK(TopDownRgb(bitmap) == Bytes(rgb, rgb + sizeof rgb));
    COrvanelBitmap empty;
    CHECK_FALSE(CopyRgbRows(rgb, empty));
}

TEST_CASE("each format reads back what it wrote, top row first") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    // Odd widths give 24-bit BMP rows padding; one column and one row are edge shapes.
    for (const auto& size : {std::pair<int, int>{13, 7}, {1, 5}, {6, 1}, {64, 33}}) {
        const COrvanelBitmap picture = TestPicture(size.first, size.second, 7u * size.first);
        for (const char* name : {"a.png", "a.bmp", "a.ppm", "a.pnm", "a.tif", "A.TIFF"}) {
            CAPTURE(name);
            CAPTURE(size.first);
            const std::string path = folder / name;
            REQUIRE(Write(path, picture));
            const COrvanelBitmap back = Read(path);
            CHECK(back.GetBitmapWidth() == picture.GetBitmapWidth());
            CHECK(back.GetBitmapHeight() == picture.GetBitmapHeight());
            CHECK(PixelsOf(back) == PixelsOf(picture));
        }
        // The file's first row is the picture's top row, as another decoder sees it.
        for (const char* name : {"a.png", "a.bmp", "a.ppm"}) {
            CAPTURE(name);
            int width = 0, height = 0;
            CHECK(StbRgb(folder / name, width, height) == TopDownRgb(picture));
        }
        std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen((folder / "a.tif").c_str(), "r"),
                                                    TIFFClose);
        REQUIRE(tiff);
        Bytes top(TIFFScanlineSize(tiff.get()));
        REQUIRE(TIFFReadScanline(tiff.get(), top.data(), 0, 0) == 1);
        const Bytes expected = TopDownRgb(picture);
        CHECK(top == Bytes(expected.begin(), expected.begin() + top.size()));
    }
}

TEST_CASE("JPEG keeps the picture within its loss, top row first") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    // Smooth ramps, which JPEG is made for: dark at the top, bright at the bottom, so that a
    // picture read upside down would be far off.
    COrvanelBitmap picture(48, 32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 48; ++x)
            picture.SetColorValue(x, y, 0x402000u + 0x000100u * (3 * x) + 0x000007u * (31 - y));
    }
    REQUIRE(Write(folder / "a.jpg", picture, 95));
    const COrvanelBitmap back = Read(folder / "a.jpg");
    CHECK(LargestDifference(PixelsOf(back), PixelsOf(picture)) <= 12);
    for (std::size_t i = 3; i < PixelsOf(back).size(); i += 4)
        REQUIRE(PixelsOf(back)[i] == 0);
    int width = 0, height = 0;
    CHECK(LargestDifference(StbRgb(folder / "a.jpg", width, height), TopDownRgb(back)) <= 2);

    // Quality changes the file: 10 is far smaller than 100.
    const COrvanelBitmap noisy = TestPicture(64, 64, 5);
    REQUIRE(Write(folder / "low.jpeg", noisy, 10));
    REQUIRE(Write(folder / "high.jpeg", noisy, 100));
    CHECK(ReadBytes(folder / "low.jpeg").size() * 2 < ReadBytes(folder / "high.jpeg").size());
}

TEST_CASE("files of other encoders and layouts") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const int width = 9, height = 4;
    Bytes rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(),
                    {static_cast<unsigned char>(i * 7), static_cast<unsigned char>(255 - i * 5),
                     static_cast<unsigned char>(i * i), static_cast<unsigned char>(i)});
    Bytes rgb, grey;
    for (int i = 0; i < width * height; ++i) {
        rgb.insert(rgb.end(), rgba.begin() + 4 * i, rgba.begin() + 4 * i + 3);
        grey.push_back(rgba[4 * i]);
    }
    Bytes greyAsRgb;
    for (unsigned char g : grey)
        greyAsRgb.insert(greyAsRgb.end(), {g, g, g});

    SUBCASE("stb's PNG and BMP: RGB, RGBA (alpha dropped), grey, grey with alpha") {
        Bytes greyAlpha;
        for (int i = 0; i < width * height; ++i)
            greyAlpha.insert(greyAlpha.end(), {grey[i], rgba[4 * i + 3]});
        REQUIRE(stbi_write_png((folder / "rgb.png").c_str(), width, height, 3, rgb.data(), 0));
        REQUIRE(stbi_write_png((folder / "rgba.png").c_str(), width, height, 4, rgba.data(), 0));
        REQUIRE(stbi_write_png((folder / "g.png").c_str(), width, height, 1, grey.data(), 0));
        REQUIRE(stbi_write_png((folder / "ga.png").c_str(), width, height, 2, greyAlpha.data(), 0));
        REQUIRE(stbi_write_bmp((folder / "rgb.bmp").c_str(), width, height, 3, rgb.data()));
        REQUIRE(stbi_write_bmp((folder / "rgba.bmp").c_str(), width, height, 4, rgba.data()));
        for (const char* name : {"rgb.png", "rgba.png", "rgb.bmp", "rgba.bmp"}) {
            CAPTURE(name);
            const COrvanelBitmap back = Read(folder / name);
            CHECK(TopDownRgb(back) == rgb);
            CHECK(PixelsOf(back)[3] == 0);
        }
        CHECK(TopDownRgb(Read(folder / "g.png")) == greyAsRgb);
        CHECK(TopDownRgb(Read(folder / "ga.png")) == greyAsRgb);
    }

    SUBCASE("libpng's 16-bit, palette and interlaced PNGs") {
        WritePng(folder / "16.png", width, height, PNG_COLOR_TYPE_RGB, 16, PNG_INTERLACE_NONE, rgb);
        WritePng(folder / "adam7.png", width, height, PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_ADAM7,
                 rgb);
        std::vector<png_color> palette;
        Bytes indices, expected;
        for (int i = 0; i < 4; ++i)
            palette.push_back({static_cast<png_byte>(60 * i), static_cast<png_byte>(200 - 50 * i),
                               static_cast<png_byte>(i * 17)});
        for (int i = 0; i < width * height; ++i) {
            indices.push_back(static_cast<unsigned char>(i % 4));
            const png_color& c = palette[i % 4];
            expected.insert(expected.end(), {c.red, c.green, c.blue});
        }
        WritePng(folder / "palette.png", width, height, PNG_COLOR_TYPE_PALETTE, 8,
                 PNG_INTERLACE_NONE, indices, palette);
        CHECK(TopDownRgb(Read(folder / "16.png")) == rgb);
        CHECK(TopDownRgb(Read(folder / "adam7.png")) == rgb);
        CHECK(TopDownRgb(Read(folder / "palette.png")) == expected);
    }

    SUBCASE("grey JPEG, as stb decodes it") {
        WriteGreyJpeg(folder / "g.jpg", width, height, grey);
        int w = 0, h = 0;
        const Bytes reference = StbRgb(folder / "g.jpg", w, h);
        const COrvanelBitmap back = Read(folder / "g.jpg");
        REQUIRE(back.GetBitmapWidth() == static_cast<unsigned>(width));
        CHECK(LargestDifference(TopDownRgb(back), reference) <= 2);
    }

    SUBCASE("PNM: grey, comments in the header, other largest values; a top-down BMP") {
        Bytes pgm = {'P', '5', '\n', '#', ' ', 'x', '\n', '9', ' ', '4', '\n', '2', '5', '5', '\n'};
        pgm.insert(pgm.end(), grey.begin(), grey.end());
        WriteBytes(folder / "g.pgm", pgm);
        CHECK(TopDownRgb(Read(folder / "g.pgm")) == greyAsRgb);

        const std::string header = "P6 9 4 65535\n";
        Bytes ppm(header.begin(), header.end());
        for (unsigned char v : rgb)
            ppm.insert(ppm.end(), {v, v}); // v * 257, high byte first
        WriteBytes(folder / "16.ppm", ppm);
        CHECK(TopDownRgb(Read(folder / "16.ppm")) == rgb);

        // Largest value 15: 0..15 scale to 0..255 in steps of 17.
        Bytes small = {'P', '5', ' ', '4', ' ', '1', ' ', '1', '5', '\n', 0, 1, 8, 15};
        WriteBytes(folder / "15.pgm", small);
        CHECK(TopDownRgb(Read(folder / "15.pgm")) ==
              Bytes{0, 0, 0, 17, 17, 17, 136, 136, 136, 255, 255, 255});
        // Two bytes a sample, high byte first, rounded to the nearest of 0..255.
        WriteBytes(folder / "16.pgm", {'P', '5',  ' ', '4', ' ',  '1',  ' ',  '6',  '5',  '5', '3',
                                       '5', '\n', 0,   0,   0xFF, 0xFF, 0x80, 0x00, 0x00, 0xFF});
        CHECK(TopDownRgb(Read(folder / "16.pgm")) ==
              Bytes{0, 0, 0, 255, 255, 255, 128, 128, 128, 1, 1, 1});

        // A negative height stores rows top-down.
        REQUIRE(stbi_write_bmp((folder / "up.bmp").c_str(), width, height, 3, rgb.data()));
        Bytes bmp = ReadBytes(folder / "up.bmp");
        const int negative = -height;
        std::memcpy(&bmp[22], &negative, 4);
        Bytes flipped(bmp.begin(), bmp.begin() + 54);
        const std::size_t rowBytes = (3 * width + 3) / 4 * 4;
        for (int y = height - 1; y >= 0; --y)
            flipped.insert(flipped.end(), bmp.begin() + 54 + y * rowBytes,
                           bmp.begin() + 54 + (y + 1) * rowBytes);
        WriteBytes(folder / "down.bmp", flipped);
        CHECK(TopDownRgb(Read(folder / "down.bmp")) == rgb);
    }
}

TEST_CASE("output formats by extension") {
    ImageFormat format = ImageFormat::Bmp;
    const std::pair<const char*, ImageFormat> known[] = {
        {"a.png", ImageFormat::Png},       {"b/c.PNG", ImageFormat::Png},
        {"x.bmp", ImageFormat::Bmp},       {"x.ppm", ImageFormat::Pnm},
        {"x.pnm", ImageFormat::Pnm},       {"x.jpg", ImageFormat::Jpeg},
        {"x.tar.JpEg", ImageFormat::Jpeg}, {"x.tif", ImageFormat::Tiff},
        {"x.tiff", ImageFormat::Tiff}};
    for (const auto& entry : known) {
        CAPTURE(entry.first);
        CHECK((FormatFromExtension(entry.first, format) && format == entry.second));
    }
    for (const char* unknown : {"x.gif", "x", "x.", "dir.png/x", "x.png.txt", "x.pngx"}) {
        CAPTURE(unknown);
        CHECK_FALSE(FormatFromExtension(unknown, format));
    }
}

TEST_CASE("files that cannot be read say why") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    CHECK(ReadError(folder / "missing.png") == "No such file or directory");
    CHECK(ReadError(folder / "") == "is a directory");
    WriteBytes(folder / "empty.png", {});
    CHECK(ReadError(folder / "empty.png") == "the file is empty");
    WriteBytes(folder / "text.png", {'h', 'e', 'l', 'l', 'o', '\n'});
    CHECK(ReadError(folder / "text.png").find("not an image file") == 0);

    // Each format cut short in its pixel data.
    const COrvanelBitmap picture = TestPicture(40, 30, 3);
    for (const char* name : {"cut.png", "cut.bmp", "cut.ppm", "cut.tif"}) {
        CAPTURE(name);
        REQUIRE(Write(folder / name, picture));
        Bytes bytes = ReadBytes(folder / name);
        bytes.resize(bytes.size() / 2);
        WriteBytes(folder / name, bytes);
        CHECK(ReadError(folder / name).find("broken") == 0);
    }
    // A picture too large for the host's bitmap is refused before any pixel is read.
    const std::string header = "P6 100000 100000 255\n";
    WriteBytes(folder / "huge.ppm", Bytes(header.begin(), header.end()));
    CHECK(ReadError(folder / "huge.ppm").find("too large") != std::string::npos);
}

TEST_CASE("failed writes are reported and leave no partial file") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const COrvanelBitmap picture = TestPicture(8, 8, 1);
    std::string error;
    ImageFormat format = ImageFormat::Png;
    for (const char* name : {"no/such/folder/a.png", "no/such/folder/a.tif"}) {
        CAPTURE(name);
        REQUIRE(FormatFromExtension(name, format));
        CHECK_FALSE(WriteImageFile((folder / name).c_str(), format, RowsOf(picture), {}, error));
        CHECK(error.find("No such file or directory") != std::string::npos);
    }
    // The encoder itself refuses a JPEG wider than 65500 pixels after the file was created.
    const COrvanelBitmap wide(70000, 1, 32);
    CHECK_FALSE(
        WriteImageFile((folder / "wide.jpg").c_str(), ImageFormat::Jpeg, RowsOf(wide), {}, error));
    CHECK(error.find("JPEG") == 0);
    CHECK_FALSE(FileExists(folder / "wide.jpg"));
    // A full disk shows when the last buffer is flushed; the device itself stays.
    REQUIRE(symlink("/dev/full", (folder / "full.bmp").c_str()) == 0);
    CHECK_FALSE(WriteImageFile((folder / "full.bmp").c_str(), ImageFormat::Bmp, RowsOf(picture), {},
                               error));
    CHECK(error.find("No space left on device") != std::string::npos);
    CHECK(FileExists("/dev/full"));
}
