// quillet-fx: its image files checked against other codecs (stb, libpng, libjpeg, libtiff)
// wherever one can read or write the same file, and the tool run as a script runs it: exit
// statuses, messages, help, and the pixels it writes.
#include "fx/ImageFile.h"
#include "host/OrvanelBitmap.h"
#include "native/LensFlareOracle.h"
#include "native/MotionBlurOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#ifndef QUILLET_FX_PATH
#error "QUILLET_FX_PATH is defined by the build"
#endif

using namespace QuilletFx;
using FlareDigests::Pattern; // detail in every channel, fourth byte 0 as every reader delivers
using FlareDigests::Pixels;

namespace {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    std::string path = std::filesystem::temp_directory_path() / "quillet-fx-XXXXXX";
    std::error_code ignored;
    ScratchFolder() { REQUIRE(mkdtemp(path.data()) != nullptr); }
    ~ScratchFolder() { std::filesystem::remove_all(path, ignored); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// A file's header text and the bytes after it.
Bytes Text(const std::string& text, Bytes data = {}) {
    data.insert(data.begin(), text.begin(), text.end());
    return data;
}

// The bitmap as an image file lists it: RGB, top row first.
Bytes TopDownRgb(const COrvanelBitmap& bitmap) {
    Bytes rgb;
    for (int y = static_cast<int>(bitmap.GetBitmapHeight()) - 1; y >= 0; --y)
        for (unsigned x = 0; x < bitmap.GetBitmapWidth(); ++x) {
            const unsigned char* pixel = bitmap.GetPtBitmap() + y * bitmap.GetWidthSize() + 4 * x;
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    return rgb;
}

// Writes the bitmap in the format the extension names: empty when written, else why not.
std::string Write(const std::string& path, const COrvanelBitmap& bitmap, int quality = 90) {
    ImageFormat format = ImageFormat::Png;
    std::string error = "unknown extension";
    if (FormatFromExtension(path, format) &&
        WriteImageFile(path.c_str(), format, RowsOf(bitmap), {quality}, error))
        error.clear();
    return error;
}

COrvanelBitmap Read(const std::string& path) {
    Picture picture;
    std::string error;
    INFO(path, ": ", error);
    REQUIRE(ReadImageFile(path.c_str(), picture, error));
    return *picture;
}

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

// Whether two byte strings are as long and differ by at most `tolerance` in every byte.
bool Near(const Bytes& a, const Bytes& b, int tolerance) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](int x, int y) { return std::abs(x - y) <= tolerance; });
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

} // namespace

TEST_CASE("each format reads back what it wrote, top row first as other decoders see it") {
    ScratchFolder folder;
    // Odd widths give 24-bit BMP rows padding; one column and one row are edge shapes.
    for (const auto& [width, height] : {std::pair{13, 7}, {1, 5}, {6, 1}, {64, 33}}) {
        CAPTURE(width);
        const COrvanelBitmap picture = Pattern(width, height);
        for (const std::string name : {"a.PNG", "a.bmp", "a.pnm", "a.TIFF"}) {
            CAPTURE(name);
            REQUIRE(Write(folder / name, picture) == "");
            CHECK(Pixels(Read(folder / name)) == Pixels(picture));
            if (name != "a.TIFF") // stb reads no TIFF: libtiff below
                CHECK(StbRgb(folder / name) == TopDownRgb(picture));
        }
        std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen((folder / "a.TIFF").c_str(), "r"),
                                                    TIFFClose);
        Bytes top(3 * width);
        REQUIRE(TIFFReadScanline(tiff.get(), top.data(), 0, 0) == 1);
        CHECK(std::equal(top.begin(), top.end(), TopDownRgb(picture).begin()));
    }

    // JPEG on smooth ramps, which it is made for: dark at the top, bright at the bottom, so that
    // a picture read upside down would be far off.
    COrvanelBitmap ramps(48, 32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            ramps.SetColorValue(x, y, 0x402000u + 0x000100u * (3 * x) + 0x000007u * (31 - y));
    REQUIRE(Write(folder / "a.jpg", ramps, 95) == "");
    const COrvanelBitmap back = Read(folder / "a.jpg");
    CHECK(Near(Pixels(back), Pixels(ramps), 12));
    CHECK(Near(StbRgb(folder / "a.jpg"), TopDownRgb(back), 2));
}

TEST_CASE("files of other encoders and layouts; formats by extension; files that say why not") {
    ScratchFolder folder;
    const int width = 9, height = 4;
    Bytes rgba, rgb, greyAlpha16, greyAsRgb, indices, paletted;
    const std::vector<png_color> palette = {{0, 200, 0}, {60, 150, 17}, {120, 100, 34}};
    for (int i = 0; i < width * height; ++i) {
        const unsigned char r = i * 7, g = 255 - i * 5, b = i * i, a = i;
        rgba.insert(rgba.end(), {r, g, b, a});
        rgb.insert(rgb.end(), {r, g, b});
        greyAlpha16.insert(greyAlpha16.end(), {r, r, a, a}); // each value v * 257, high byte first
        greyAsRgb.insert(greyAsRgb.end(), {r, r, r});
        indices.push_back(i % 3);
        const png_color& c = palette[i % 3];
        paletted.insert(paletted.end(), {c.red, c.green, c.blue});
    }
    // libpng's interlaced 16-bit grey with alpha, which needs every conversion but the
    // palette's, and its palette PNG; stb's TGA, which only the general-purpose reader reads.
    WritePng(folder / "ga16.png", width, height, PNG_COLOR_TYPE_GRAY_ALPHA, 16, PNG_INTERLACE_ADAM7,
             greyAlpha16);
    WritePng(folder / "palette.png", width, height, PNG_COLOR_TYPE_PALETTE, 8, PNG_INTERLACE_NONE,
             indices, palette);
    REQUIRE(stbi_write_tga((folder / "rgb.tga").c_str(), width, height, 3, rgb.data()));
    // stb's 32-bit bit-field BMP, its rows turned top-down and its height made negative to say so.
    REQUIRE(stbi_write_bmp((folder / "rgba.bmp").c_str(), width, height, 4, rgba.data()));
    Bytes bmp = ReadBytes(folder / "rgba.bmp");
    const int negative = -height, rowBytes = 4 * width, pixels = bmp[10] | bmp[11] << 8;
    std::memcpy(&bmp[22], &negative, 4);
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(bmp.begin() + pixels + y * rowBytes,
                         bmp.begin() + pixels + (y + 1) * rowBytes, bmp.end() - (y + 1) * rowBytes);
    WriteBytes(folder / "down.bmp", bmp);
    const std::pair<std::string, const Bytes*> files[] = {{"ga16.png", &greyAsRgb},
                                                          {"palette.png", &paletted},
                                                          {"rgb.tga", &rgb},
                                                          {"down.bmp", &rgb}};
    for (const auto& [name, expected] : files) {
        CAPTURE(name);
        const COrvanelBitmap back = Read(folder / name);
        CHECK(TopDownRgb(back) == *expected);
        CHECK(Pixels(back)[3] == 0);
    }

    // PNM with a comment in its header and largest value 15: 0..15 scale to 0..255 in steps of 17.
    WriteBytes(folder / "15.pgm", Text("P5\n# x\n4 1 15\n", {0, 1, 8, 15}));
    CHECK(TopDownRgb(Read(folder / "15.pgm")) ==
          Bytes{0, 0, 0, 17, 17, 17, 136, 136, 136, 255, 255, 255});
    // Two bytes a sample, high byte first, rounded to the nearest of 0..255.
    WriteBytes(folder / "16.ppm",
               Text("P6 2 1 65535\n", {0, 0, 0xFF, 0xFF, 0x80, 0, 0, 0xFF, 0x12, 0x34, 0, 0x80}));
    CHECK(TopDownRgb(Read(folder / "16.ppm")) == Bytes{0, 255, 128, 1, 18, 0});

    // Extensions no file here is written with, in any letter case.
    ImageFormat format = ImageFormat::Bmp;
    for (const auto& [name, expected] : {std::pair{"b/c.ppm", ImageFormat::Pnm},
                                         {"x.tif", ImageFormat::Tiff},
                                         {"x.tar.JpEg", ImageFormat::Jpeg}})
        CHECK_MESSAGE((FormatFromExtension(name, format) && format == expected), std::string(name));
    for (const std::string unknown : {"x.gif", "x", "x.", "dir.png/x", "x.png.txt", "x.pngx"})
        CHECK_MESSAGE(!FormatFromExtension(unknown, format), unknown);

    WriteBytes(folder / "empty.png", {});
    CHECK(ReadError(folder / "empty.png") == "the file is empty");
    WriteBytes(folder / "text.png", Text("hello\n"));
    CHECK(ReadError(folder / "text.png").find("not an image file") == 0);
    // Each format cut short in its pixel data.
    for (const std::string name : {"cut.png", "cut.bmp", "cut.ppm", "cut.tif"}) {
        REQUIRE(Write(folder / name, Pattern(40, 30)) == "");
        Bytes bytes = ReadBytes(folder / name);
        bytes.resize(bytes.size() / 2);
        WriteBytes(folder / name, bytes);
        CHECK_MESSAGE(ReadError(folder / name).find("broken") == 0, name);
    }
    // A picture too large for the host's bitmap is refused before any pixel is read.
    WriteBytes(folder / "huge.ppm", Text("P6 100000 100000 255\n"));
    CHECK(ReadError(folder / "huge.ppm").find("too large") != std::string::npos);

    // A failed write leaves no partial file: the encoder refuses a JPEG wider than 65500 pixels
    // only after the file was created.
    CHECK(Write(folder / "wide.jpg", COrvanelBitmap(70000, 1, 32)).find("JPEG") == 0);
    CHECK_FALSE(std::filesystem::exists(folder / "wide.jpg"));
}

namespace {

struct Run {
    int status;
    std::string out, err;
};

// Runs quillet-fx in the folder with the arguments as a shell splits them.
Run RunFx(const ScratchFolder& folder, const std::string& args) {
    const std::string command =
        "cd '" + (folder / "") + "' && '" QUILLET_FX_PATH "' " + args + " >stdout 2>stderr";
    const int raw = std::system(command.c_str());
    REQUIRE(WIFEXITED(raw));
    const Bytes out = ReadBytes(folder / "stdout"), err = ReadBytes(folder / "stderr");
    return Run{WEXITSTATUS(raw), {out.begin(), out.end()}, {err.begin(), err.end()}};
}

} // namespace

TEST_CASE("the tool: help with the exit statuses; 2 for usage and files, 1 for refusals") {
    ScratchFolder folder;
    // The tool's help, a command's (an option anywhere, or asked of the tool).
    const std::pair<const char*, const char*> helps[] = {
        {"--help", "Usage: quillet-fx COMMAND"},
        {"blur in.png -h",
         "Usage: quillet-fx blur IN OUT --radius R --sigma S --angle A [--quality Q]\n"},
        {"help flare", "Usage: quillet-fx flare IN OUT --x X --y Y --size S --brightness B --hue H "
                       "--intensity I\n"},
    };
    for (const auto& [args, text] : helps) {
        const Run run = RunFx(folder, args);
        CAPTURE(run.out);
        CHECK((run.status == 0 && run.err.empty() && run.out.find(text) == 0));
        CHECK(run.out.find("Exit status:\n  0  OUT was written\n  1  the effect refused") !=
              std::string::npos);
    }

    REQUIRE(Write(folder / "in.png", Pattern(5, 4)) == "");
    WriteBytes(folder / "garbage.png", {'G', 'I', 'F', '8', '7', 'a', 0, 1});
    const std::string blur = "blur in.png out.png --radius ";
    // One of each message: the command, the arguments, OUT's format, reading and writing files
    // (2), and each refusal of the effects' parameters (1).
    const std::tuple<int, std::string, const char*> failures[] = {
        {2, "", "quillet-fx: no command given"},
        {2, "sharpen in.png out.png", "quillet-fx: unknown command 'sharpen'"},
        {2, blur + "1 --sigma=2x --angle 0", "quillet-fx blur: --sigma needs a number, not '2x'"},
        {2, blur + "1 --sigma 2 --angle", "--angle needs a number after it"},
        {2, blur + "1 --sigma 2", "quillet-fx blur: missing --angle"},
        {2, "blur in.png --radius 1 --sigma 2 --angle 0", "missing OUT"},
        {2, "blur in.png out.png x --radius 1 --sigma 2 --angle 0", "unexpected argument 'x'"},
        {2, blur + "1 --radius 2", "--radius is given twice"},
        {2, "convert in.png out.png --speed 3", "unknown option '--speed'"},
        {2, "convert in.png out.png --quality 50.5",
         "--quality needs a whole number from 1 to 100, not '50.5'"},
        {2, "flare in.png out.png --x 1 --y 2 --size 65536 --brightness 4 --hue 5 --intensity 6",
         "--size needs a whole number from 0 to 65535"},
        {2, "convert in.png out.xyz",
         "cannot tell the format of OUT 'out.xyz' from its extension (use .png, .bmp"},
        {2, "blur missing.png out.png --radius 1 --sigma 1 --angle 0",
         "quillet-fx blur: cannot read missing.png: No such file or directory"},
        {2, "convert garbage.png out.png", "cannot read garbage.png: broken image"},
        {2, "convert . out.png", "cannot read .: is a directory"},
        {2, "convert in.png none/o.png", "cannot write none/o.png: No such file or directory"},
        // The parameters are judged before the picture is read.
        {1, "blur missing.png out.png --radius 1e7 --sigma 1 --angle 0",
         "quillet-fx blur: the blur refuses its parameters: radius 1e+07 gives a kernel longer "
         "than the 1048576 taps"},
        {1, blur + "0 --sigma 1e6 --angle 0", "sigma 1e+06 with radius 0 gives a kernel longer"},
        {1, blur + "2 --sigma 1e-300 --angle 0", "sigma 1e-300 is too small"},
        {1, blur + "2 --sigma 1 --angle 1e308", "angle 1e+308 is too large"},
        // The source beside the centre column of a 5x4 picture, a million rows down: the back
        // disc would sit 49151 x 2000004 / 2 rows away.
        {1,
         "flare in.png out.png --x 1 --y -1000000 --size 65535 --brightness 1 --hue 0 "
         "--intensity 0",
         "quillet-fx flare: the flare refuses its parameters: on a 5x4 picture a flare of size "
         "65535 at (1, -1000000) would reach beyond 2^30 pixels"},
    };
    for (const auto& [status, args, message] : failures) {
        const Run run = RunFx(folder, args);
        INFO(args, "\n", run.err);
        CHECK(run.status == status);
        CHECK(run.err.find(message) != std::string::npos);
        CHECK((run.out.empty() && !std::filesystem::exists(folder / "out.png")));
    }
}

TEST_CASE("the tool's files hold what the oracles' blur and first flare make of a picture") {
    ScratchFolder folder;
    const COrvanelBitmap picture = Pattern(90, 61);
    REQUIRE(Write(folder / "in.bmp", picture) == "");
    // Radius, sigma, angle. Sigma 0: the blur refuses and the tool copies the pixels, as convert
    // does.
    const char* blurs[][3] = {{"5", "0", "30"}, {"3", "2", "30"}, {"-1", "0.7", "200"}};
    for (const auto& c : blurs) {
        const std::string args = std::string("blur in.bmp out.png --radius ") + c[0] + " --sigma " +
                                 c[1] + " --angle " + c[2];
        CAPTURE(args);
        COrvanelBitmap expected = picture;
        MotionBlurOracle::MotionBlur(&expected, std::stod(c[0]), std::stod(c[1]), std::stod(c[2]));
        CHECK((Pixels(expected) != Pixels(picture)) == (std::stod(c[1]) != 0));
        const Run run = RunFx(folder, args);
        REQUIRE_MESSAGE(run.status == 0, run.err);
        CHECK(Pixels(Read(folder / "out.png")) == Pixels(expected));
    }
    CHECK(RunFx(folder, "convert in.bmp c.png").status == 0);
    CHECK(Pixels(Read(folder / "c.png")) == Pixels(picture));

    // x, y, size, brightness, hue, intensity: y counts from the bottom row; the source outside.
    const int flares[][6] = {{20, 40, 30, 25, 170, 60}, {-50, 200, 60, 10, 200, 50}};
    const char* names[] = {"--x", "--y", "--size", "--brightness", "--hue", "--intensity"};
    for (const auto& c : flares) {
        std::string args = "flare in.bmp out.png";
        for (int i = 0; i < 6; ++i)
            args += std::string(" ") + names[i] + " " + std::to_string(c[i]);
        CAPTURE(args);
        COrvanelBitmap expected = picture;
        LensFlareOracle::Generator firstState(1);
        LensFlareOracle::Painter().LensFlare(&expected, c[0], c[1], c[2], c[3], c[4], c[5],
                                             firstState);
        CHECK(Pixels(expected) != Pixels(picture));
        const Run run = RunFx(folder, args);
        REQUIRE_MESSAGE(run.status == 0, run.err);
        CHECK(Pixels(Read(folder / "out.png")) == Pixels(expected));
    }
}
