// quillet-fx as a script runs it: exit statuses, messages, help, and the pixels it writes.
#include "demo/fx/ImageFile.h"
#include "filter/MotionBlurFilter.h"
#include "fx/FxTestFiles.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>
#include <stb/stb_image.h>
#include <sys/wait.h>

#include <initializer_list>
#include <string>

#ifndef QUILLET_FX_PATH
#error "QUILLET_FX_PATH is defined by the build"
#endif

using namespace FxTest;

namespace {

struct Run {
    int status;
    std::string out;
    std::string err;
};

// Runs quillet-fx with the arguments (none may hold a single quote) and collects its output.
Run RunFx(const ScratchFolder& folder, std::initializer_list<std::string> args) {
    std::string command = std::string("'") + QUILLET_FX_PATH + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + (folder / "stdout") + "' 2>'" + (folder / "stderr") + "'";
    const int raw = std::system(command.c_str());
    REQUIRE(WIFEXITED(raw));
    const Bytes out = ReadBytes(folder / "stdout"), err = ReadBytes(folder / "stderr");
    return Run{WEXITSTATUS(raw), std::string(out.begin(), out.end()),
               std::string(err.begin(), err.end())};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

COrvanelBitmap ReadBack(const std::string& path) {
    QuilletFx::Picture picture;
    std::string error;
    const bool read = QuilletFx::ReadImageFile(path.c_str(), picture, error);
    INFO(error);
    REQUIRE(read);
    return *picture;
}

void WritePicture(const std::string& path, const COrvanelBitmap& bitmap) {
    QuilletFx::ImageFormat format = QuilletFx::ImageFormat::Png;
    REQUIRE(QuilletFx::FormatFromExtension(path, format));
    std::string error;
    REQUIRE(QuilletFx::WriteImageFile(path.c_str(), format, QuilletFx::RowsOf(bitmap), {}, error));
}

} // namespace

TEST_CASE("help for the tool and for each command") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const struct {
        std::initializer_list<std::string> args;
        const char* usage;
    } helps[] = {
        {{"--help"}, "Usage: quillet-fx COMMAND"},
        {{"blur", "--help"}, "Usage: quillet-fx blur IN OUT --radius R --sigma S --angle A"},
        {{"blur", "in.png", "-h"}, "Usage: quillet-fx blur"},
        {{"help", "blur"}, "Usage: quillet-fx blur"},
        {{"convert", "--help"}, "Usage: quillet-fx convert IN OUT"},
    };
    for (const auto& help : helps) {
        const Run run = RunFx(folder, help.args);
        CAPTURE(run.out);
        CHECK(run.status == 0);
        CHECK(run.out.find(help.usage) == 0);
        CHECK(Contains(run.out, "Exit status:\n  0  OUT was written\n  1  the effect refused"));
        CHECK(run.err.empty());
    }
    CHECK(Contains(RunFx(folder, {"blur", "--help"}).out, "--quality Q"));
    const Run version = RunFx(folder, {"--version"});
    CHECK((version.status == 0 && version.out.find("quillet-fx ") == 0));
}

TEST_CASE("usage errors exit with 2 and name the problem") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const std::string in = folder / "in.png", out = folder / "out.png";
    WritePicture(in, TestPicture(5, 4, 2));
    const struct {
        std::initializer_list<std::string> args;
        std::string message;
    } errors[] = {
        {{}, "quillet-fx: no command given"},
        {{"sharpen", in, out}, "quillet-fx: unknown command 'sharpen'"},
        {{"blur", in, out, "--radius", "1", "--sigma", "abc", "--angle", "0"},
         "quillet-fx blur: --sigma needs a number, not 'abc'"},
        {{"blur", in, out, "--radius", "1", "--sigma", "2", "--angle", "1e999"},
         "--angle needs a number, not '1e999'"},
        {{"blur", in, out, "--radius", "1", "--sigma=2x", "--angle", "0"},
         "--sigma needs a number, not '2x'"},
        {{"blur", in, out, "--radius", "1", "--sigma", "2", "--angle"},
         "--angle needs a number after it"},
        {{"blur", in, out, "--radius", "1", "--sigma", "2"}, "quillet-fx blur: missing --angle"},
        {{"blur", in, "--radius", "1", "--sigma", "2", "--angle", "0"}, "missing OUT"},
        {{"blur", in, out, "x", "--radius", "1", "--sigma", "2", "--angle", "0"},
         "unexpected argument 'x'"},
        {{"blur", in, out, "--radius", "1", "--radius", "2"}, "--radius is given twice"},
        {{"blur", in, out, "--radius", "1", "--sigma", "2", "--angle", "0", "--speed", "3"},
         "unknown option '--speed'"},
        {{"convert", in, out, "--quality", "101"},
         "--quality needs a whole number from 1 to 100, not '101'"},
        {{"convert", in, out, "--quality", "50.5"}, "--quality needs a whole number"},
        {{"convert", in, folder / "out.xyz"},
         "cannot tell the format of OUT '" + (folder / "out.xyz") + "' from its extension"},
        {{"convert", in, folder / "out"}, "from its extension (use .png, .bmp"},
    };
    for (const auto& error : errors) {
        const Run run = RunFx(folder, error.args);
        CAPTURE(run.err);
        CHECK(run.status == 2);
        CHECK(Contains(run.err, error.message));
        CHECK(run.out.empty());
    }
    CHECK_FALSE(FileExists(out));
}

TEST_CASE("files that cannot be read or written exit with 2") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const std::string missing = folder / "missing.png", garbage = folder / "garbage.png";
    WriteBytes(garbage, {'G', 'I', 'F', '8', '7', 'a', 0, 1});
    const std::string in = folder / "in.bmp";
    WritePicture(in, TestPicture(5, 4, 2));
    const struct {
        std::initializer_list<std::string> args;
        std::string message;
    } errors[] = {
        {{"blur", missing, folder / "o.png", "--radius", "1", "--sigma", "1", "--angle", "0"},
         "quillet-fx blur: cannot read " + missing + ": No such file or directory"},
        {{"convert", garbage, folder / "o.png"}, "cannot read " + garbage + ": broken image"},
        {{"convert", folder / "", folder / "o.png"}, "is a directory"},
        {{"convert", in, folder / "none/o.png"},
         "cannot write " + (folder / "none/o.png") + ": No such file or directory"},
        {{"blur", in, folder / "none/o.jpg", "--radius", "1", "--sigma", "1", "--angle", "0"},
         "cannot write "},
    };
    for (const auto& error : errors) {
        const Run run = RunFx(folder, error.args);
        CAPTURE(run.err);
        CHECK(run.status == 2);
        CHECK(Contains(run.err, error.message));
    }
    CHECK_FALSE(FileExists(folder / "o.png"));
}

TEST_CASE("parameters the blur refuses exit with 1 and write nothing") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const std::string in = folder / "in.png", out = folder / "out.png";
    WritePicture(in, TestPicture(6, 5, 4));
    const struct {
        const char* radius;
        const char* sigma;
        const char* angle;
        const char* reason;
    } refused[] = {
        {"1e7", "1", "0", "radius 1e+07 gives a kernel longer than the 1048576 taps"},
        {"0", "1e6", "0", "sigma 1e+06 with radius 0 gives a kernel longer"},
        {"2", "1e-300", "0", "sigma 1e-300 is too small"},
        {"2", "1", "1e308", "angle 1e+308 is too large"},
    };
    for (const auto& parameters : refused) {
        const Run run = RunFx(folder, {"blur", in, out, "--radius", parameters.radius, "--sigma",
                                       parameters.sigma, "--angle", parameters.angle});
        CAPTURE(run.err);
        CHECK(run.status == 1);
        CHECK(Contains(run.err, "quillet-fx blur: the blur refuses its parameters: "));
        CHECK(Contains(run.err, parameters.reason));
        CHECK_FALSE(FileExists(out));
    }
    // The parameters are judged before the picture is read.
    const Run run = RunFx(folder, {"blur", folder / "missing.png", out, "--radius", "1e7",
                                   "--sigma", "1", "--angle", "0"});
    CHECK(run.status == 1);
}

TEST_CASE("sigma 0 copies the pixels exactly, in any output format") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    const COrvanelBitmap picture = TestPicture(37, 21, 9);
    WritePicture(folder / "in.png", picture);
    for (const char* name : {"out.png", "out.bmp", "out.ppm", "out.tif"}) {
        CAPTURE(name);
        const Run run = RunFx(folder, {"blur", folder / "in.png", folder / name, "--radius", "5",
                                       "--sigma", "0", "--angle", "30"});
        CHECK(run.status == 0);
        CHECK(run.err.empty());
        CHECK(PixelsOf(ReadBack(folder / name)) == PixelsOf(picture));
    }
    // As another decoder sees the file.
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load((folder / "out.png").c_str(), &width, &height, &channels, 3);
    REQUIRE(rgb != nullptr);
    CHECK(Bytes(rgb, rgb + width * height * 3) == TopDownRgb(picture));
    stbi_image_free(rgb);
    const Run convert = RunFx(folder, {"convert", folder / "in.png", folder / "c.bmp"});
    CHECK(convert.status == 0);
    CHECK(PixelsOf(ReadBack(folder / "c.bmp")) == PixelsOf(picture));
}

TEST_CASE("the blurred file holds what the filter makes of the same bitmap") {
    ScratchFolder folder;
    REQUIRE(folder.Made());
    COrvanelBitmap picture = TestPicture(71, 43, 11);
    WritePicture(folder / "in.bmp", picture);
    const struct {
        double radius, sigma, angle;
    } cases[] = {{3, 2, 30}, {0, 1.5, 90}, {-1, 0.7, 200}, {2.5, -10, -45}, {12, 40, 0}};
    for (const auto& c : cases) {
        CAPTURE(c.radius);
        CAPTURE(c.sigma);
        CAPTURE(c.angle);
        COrvanelBitmap expected = picture;
        Orvanel::Filter::CMotionBlurFilter filter;
        REQUIRE(filter.MotionBlur(&expected, c.radius, c.sigma, c.angle));
        REQUIRE(PixelsOf(expected) != PixelsOf(picture));
        const Run run = RunFx(folder, {"blur", folder / "in.bmp", folder / "out.png", "--radius",
                                       std::to_string(c.radius), "--sigma", std::to_string(c.sigma),
                                       "--angle", std::to_string(c.angle)});
        CAPTURE(run.err);
        REQUIRE(run.status == 0);
        CHECK(PixelsOf(ReadBack(folder / "out.png")) == PixelsOf(expected));
    }
}
