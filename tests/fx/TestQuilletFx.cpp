// quillet-fx as a script runs it: exit statuses, messages, help, and the pixels it writes.
#include "filter/MotionBlurFilter.h"
#include "fx/FxTestFiles.h"
#include "native/LensFlareOracle.h"

#include <doctest/doctest.h>
#include <sys/wait.h>

#ifndef QUILLET_FX_PATH
#error "QUILLET_FX_PATH is defined by the build"
#endif

using namespace FxTest;

namespace {

using Args = std::vector<std::string>;

struct Run {
    int status;
    std::string out, err;
};

// Runs quillet-fx with the arguments (none may hold a single quote) and collects its output.
Run RunFx(const ScratchFolder& folder, const Args& args) {
    std::string command = std::string("'") + QUILLET_FX_PATH + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + (folder / "stdout") + "' 2>'" + (folder / "stderr") + "'";
    const int raw = std::system(command.c_str());
    REQUIRE(WIFEXITED(raw));
    const Bytes out = ReadBytes(folder / "stdout"), err = ReadBytes(folder / "stderr");
    return Run{WEXITSTATUS(raw), {out.begin(), out.end()}, {err.begin(), err.end()}};
}

Args Blur(const std::string& in, const std::string& out, const std::string& radius,
          const std::string& sigma, const std::string& angle) {
    return {"blur", in, out, "--radius", radius, "--sigma", sigma, "--angle", angle};
}

Args Flare(const std::string& in, const std::string& out, const std::vector<int>& values) {
    Args args = {"flare", in, out};
    const char* names[] = {"--x", "--y", "--size", "--brightness", "--hue", "--intensity"};
    for (std::size_t i = 0; i < values.size(); ++i)
        args.insert(args.end(), {names[i], std::to_string(values[i])});
    return args;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_CASE("help for the tool and for each command, with the exit statuses") {
    ScratchFolder folder;
    const std::pair<Args, const char*> helps[] = {
        {{"--help"}, "Usage: quillet-fx COMMAND"},
        {{"blur", "--help"},
         "Usage: quillet-fx blur IN OUT --radius R --sigma S --angle A [--quality Q]\n"},
        {{"blur", "in.png", "-h"}, "Usage: quillet-fx blur"},
        {{"help", "blur"}, "Usage: quillet-fx blur"},
        {{"convert", "--help"}, "Usage: quillet-fx convert IN OUT"},
        {{"flare", "--help"},
         "Usage: quillet-fx flare IN OUT --x X --y Y --size S --brightness B --hue H "
         "--intensity I\n"},
    };
    for (const auto& help : helps) {
        const Run run = RunFx(folder, help.first);
        CAPTURE(run.out);
        CHECK(run.status == 0);
        CHECK(run.out.find(help.second) == 0);
        CHECK(Contains(run.out, "Exit status:\n  0  OUT was written\n  1  the effect refused"));
        CHECK(run.err.empty());
    }
    const Run version = RunFx(folder, {"--version"});
    CHECK((version.status == 0 && version.out.find("quillet-fx ") == 0));
}

TEST_CASE("failures: 2 for usage and files, 1 for parameters the effect refuses; no OUT") {
    ScratchFolder folder;
    const std::string in = folder / "in.png", out = folder / "out.png";
    const std::string missing = folder / "missing.png", garbage = folder / "garbage.png";
    REQUIRE(Write(in, TestPicture(5, 4, 2)) == "");
    WriteBytes(garbage, {'G', 'I', 'F', '8', '7', 'a', 0, 1});
    const struct {
        int status;
        Args args;
        std::string message;
    } failures[] = {
        {2, {}, "quillet-fx: no command given"},
        {2, {"sharpen", in, out}, "quillet-fx: unknown command 'sharpen'"},
        {2, Blur(in, out, "1", "2", "1e999"), "--angle needs a number, not '1e999'"},
        {2,
         {"blur", in, out, "--radius", "1", "--sigma=2x", "--angle", "0"},
         "quillet-fx blur: --sigma needs a number, not '2x'"},
        {2,
         {"blur", in, out, "--radius", "1", "--sigma", "2", "--angle"},
         "--angle needs a number after it"},
        {2, {"blur", in, out, "--radius", "1", "--sigma", "2"}, "quillet-fx blur: missing --angle"},
        {2, {"blur", in, "--radius", "1", "--sigma", "2", "--angle", "0"}, "missing OUT"},
        {2,
         {"blur", in, out, "x", "--radius", "1", "--sigma", "2", "--angle", "0"},
         "unexpected argument 'x'"},
        {2, {"blur", in, out, "--radius", "1", "--radius", "2"}, "--radius is given twice"},
        {2, {"convert", in, out, "--speed", "3"}, "unknown option '--speed'"},
        {2,
         {"convert", in, out, "--quality", "101"},
         "--quality needs a whole number from 1 to 100, not '101'"},
        {2, {"convert", in, out, "--quality", "50.5"}, "--quality needs a whole number"},
        {2,
         {"convert", in, folder / "out.xyz"},
         "cannot tell the format of OUT '" + (folder / "out.xyz") + "' from its extension"},
        {2, {"convert", in, folder / "out"}, "from its extension (use .png, .bmp"},
        {2, Blur(missing, out, "1", "1", "0"),
         "quillet-fx blur: cannot read " + missing + ": No such file or directory"},
        {2, {"convert", garbage, out}, "cannot read " + garbage + ": broken image"},
        {2, {"convert", folder / "", out}, "is a directory"},
        {2,
         {"convert", in, folder / "none/o.png"},
         "cannot write " + (folder / "none/o.png") + ": No such file or directory"},
        {2, Blur(in, folder / "none/o.jpg", "1", "1", "0"), "cannot write "},
        {1, Blur(in, out, "1e7", "1", "0"),
         "quillet-fx blur: the blur refuses its parameters: radius 1e+07 gives a kernel longer "
         "than the 1048576 taps"},
        {1, Blur(in, out, "0", "1e6", "0"), "sigma 1e+06 with radius 0 gives a kernel longer"},
        {1, Blur(in, out, "2", "1e-300", "0"), "sigma 1e-300 is too small"},
        {1, Blur(in, out, "2", "1", "1e308"), "angle 1e+308 is too large"},
        {2, Flare(in, out, {1, 2, 3, 4, 5}), "quillet-fx flare: missing --intensity"},
        {2, Flare(in, out, {1, 2, 3, 101, 5, 6}),
         "--brightness needs a whole number from 0 to 100"},
        {2, Flare(in, out, {1, 2, 65536, 4, 5, 6}), "--size needs a whole number from 0 to 65535"},
        {2, Flare(in, out, {-1000001, 2, 3, 4, 5, 6}), "--x needs a whole number"},
        {2, Flare(missing, out, {1, 2, 3, 4, 5, 6}), "quillet-fx flare: cannot read " + missing},
        // The source beside the centre column of a 5x4 picture, a million rows down: the back
        // disc would sit 49151 x 2000004 / 2 rows away.
        {1, Flare(in, out, {1, -1000000, 65535, 1, 0, 0}),
         "quillet-fx flare: the flare refuses its parameters: on a 5x4 picture a flare of size "
         "65535 at (1, -1000000) would reach beyond 2^30 pixels"},
        // The parameters are judged before the picture is read.
        {1, Blur(missing, out, "1e7", "1", "0"), "radius 1e+07 gives a kernel longer"},
    };
    for (const auto& failure : failures) {
        const Run run = RunFx(folder, failure.args);
        CAPTURE(run.err);
        CHECK(run.status == failure.status);
        CHECK(Contains(run.err, failure.message));
        CHECK(run.out.empty());
        CHECK_FALSE(std::filesystem::exists(out));
    }
}

TEST_CASE("sigma 0 copies the pixels exactly, in any output format") {
    ScratchFolder folder;
    const COrvanelBitmap picture = TestPicture(37, 21, 9);
    REQUIRE(Write(folder / "in.png", picture) == "");
    for (const char* name : {"out.png", "out.bmp", "out.ppm", "out.tif"}) {
        CAPTURE(name);
        const Run run = RunFx(folder, Blur(folder / "in.png", folder / name, "5", "0", "30"));
        CHECK((run.status == 0 && run.err.empty()));
        CHECK(PixelsOf(Read(folder / name)) == PixelsOf(picture));
    }
    CHECK(RunFx(folder, {"convert", folder / "in.png", folder / "c.bmp"}).status == 0);
    CHECK(PixelsOf(Read(folder / "c.bmp")) == PixelsOf(picture));
}

TEST_CASE("the blurred file holds what the filter makes of the same bitmap") {
    ScratchFolder folder;
    const COrvanelBitmap picture = TestPicture(71, 43, 11);
    REQUIRE(Write(folder / "in.bmp", picture) == "");
    const double cases[][3] = {
        {3, 2, 30}, {0, 1.5, 90}, {-1, 0.7, 200}, {2.5, -10, -45}, {12, 40, 0}};
    for (const auto& c : cases) {
        INFO("radius " << c[0] << " sigma " << c[1] << " angle " << c[2]);
        COrvanelBitmap expected = picture;
        REQUIRE(Orvanel::Filter::CMotionBlurFilter().MotionBlur(&expected, c[0], c[1], c[2]));
        REQUIRE(PixelsOf(expected) != PixelsOf(picture));
        const Run run =
            RunFx(folder, Blur(folder / "in.bmp", folder / "out.png", std::to_string(c[0]),
                               std::to_string(c[1]), std::to_string(c[2])));
        CAPTURE(run.err);
        REQUIRE(run.status == 0);
        CHECK(PixelsOf(Read(folder / "out.png")) == PixelsOf(expected));
    }
}

TEST_CASE("the flare's file holds the oracle's render of the same picture, its first render") {
    ScratchFolder folder;
    const COrvanelBitmap picture = TestPicture(90, 61, 5);
    REQUIRE(Write(folder / "in.png", picture) == "");
    const std::vector<int> cases[] = {
        {20, 40, 30, 25, 0, 30},     // y counts from the bottom row
        {70, 5, 44, 60, 310, 100},   // h50 of 360
        {45, 10, 40, 40, 120, 70},   // on the centre column
        {-50, 200, 60, 10, 200, 50}, // the source outside
        {10, 10, 0, 100, 0, 100},    // size 0: the picture unchanged
        {30, 30, 50, 1, 90, 50},     // no rays
    };
    for (const auto& c : cases) {
        INFO("x " << c[0] << " y " << c[1] << " size " << c[2] << " brightness " << c[3] << " hue "
                  << c[4] << " intensity " << c[5]);
        COrvanelBitmap expected = picture;
        LensFlareOracle::Generator firstState(1);
        LensFlareOracle::Painter().LensFlare(&expected, c[0], c[1], c[2], c[3], c[4], c[5],
                                             firstState);
        CHECK((PixelsOf(expected) != PixelsOf(picture)) == (c[2] != 0));
        const Run run = RunFx(folder, Flare(folder / "in.png", folder / "out.png", c));
        CAPTURE(run.err);
        REQUIRE(run.status == 0);
        CHECK(PixelsOf(Read(folder / "out.png")) == PixelsOf(expected));
    }
}
