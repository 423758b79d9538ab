#include "fx/FxCommands.h"

#include "fx/CommandLine.h"
#include "fx/ImageFile.h"
#include "fx/ImageCodecs.h"
#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"

#include <quillet/Effects.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace QuilletFx {

using Orvanel::Filter::CMotionBlurFilter;

const char* const kExitStatusHelp =
    "Exit status:\n"
    "  0  OUT was written\n"
    "  1  the effect refused its parameters (nothing is written)\n"
    "  2  usage error (unknown or missing option, bad number, unknown OUT extension), or a\n"
    "     file could not be read or written\n";

namespace {

constexpr double kAnyNumber = std::numeric_limits<double>::max();

const char* const kBlurHelp =
    "Usage: quillet-fx blur IN OUT --radius R --sigma S --angle A [--quality Q]\n"
    "\n"
    "Motion blur: smears every pixel of IN along one direction with a one-sided Gaussian\n"
    "and writes the result to OUT.\n"
    "\n"
    "  IN           PNG, JPEG, BMP, PNM (P5, P6), TIFF, GIF or TGA, told by its content\n"
    "  OUT          written in the format its extension names: .png, .bmp, .ppm, .pnm,\n"
    "               .jpg, .jpeg, .tif or .tiff\n"
    "  --radius R   kernel of 2 x ceil(R) + 1 taps; 0 or less picks the length from sigma\n"
    "  --sigma S    the Gaussian's standard deviation in pixels; 0 copies IN unchanged\n"
    "  --angle A    direction in degrees: 0 up, 90 right\n"
    "  --quality Q  JPEG quality, 1 to 100 (default 90); other formats ignore it\n"
    "  -h, --help   show this help and exit\n"
    "\n"
    "The blur refuses (exit status 1) a kernel longer than 1048576 taps, a sigma so small\n"
    "that the taps are not finite, and an angle too large to turn into radians.\n"
    "\n";

const char* const kFlareHelp =
    "Usage: quillet-fx flare IN OUT --x X --y Y --size S --brightness B --hue H --intensity I\n"
    "                        [--quality Q]\n"
    "\n"
    "Lens flare: paints a light source at (X, Y) with its ring, glow and rays, and a chain of\n"
    "rings, glows and reflections through the picture's centre to the far side, as the host\n"
    "draws it with the lens flare dialog's values, and writes the result to OUT.\n"
    "\n"
    "  IN              PNG, JPEG, BMP, PNM (P5, P6), TIFF, GIF or TGA, told by its content\n"
    "  OUT             written in the format its extension names: .png, .bmp, .ppm, .pnm,\n"
    "                  .jpg, .jpeg, .tif or .tiff\n"
    "  --x X           the source's column, 0 at the left (-1000000 to 1000000; it may lie\n"
    "                  outside the picture)\n"
    "  --y Y           the source's row counted from the BOTTOM of the picture, as the\n"
    "                  host's pixel buffer counts them (-1000000 to 1000000)\n"
    "  --size S        the flare's scale in pixels, 0 to 65535\n"
    "  --brightness B  0 to 100; the source's glow reaches B x S / 10 pixels\n"
    "  --hue H         base hue in degrees, taken modulo 360 (-1000000 to 1000000)\n"
    "  --intensity I   colour intensity in percent, 0 to 100\n"
    "  --quality Q     JPEG quality, 1 to 100 (default 90); other formats ignore it\n"
    "  -h, --help      show this help and exit\n"
    "\n"
    "The rays come from the C runtime's generator in its first state, so the same command\n"
    "writes the same file. The flare refuses (exit status 1) parameters whose reflections\n"
    "would land more than 2^30 pixels away: a large size with the source far above or below\n"
    "the centre of a picture, on an almost vertical axis.\n"
    "\n";

const char* const kConvertHelp =
    "Usage: quillet-fx convert IN OUT [--quality Q]\n"
    "\n"
    "Reads IN and writes its pixels to OUT in the format OUT's extension names.\n"
    "\n"
    "  IN           PNG, JPEG, BMP, PNM (P5, P6), TIFF, GIF or TGA, told by its content\n"
    "  OUT          .png, .bmp, .ppm, .pnm, .jpg, .jpeg, .tif or .tiff\n"
    "  --quality Q  JPEG quality, 1 to 100 (default 90); other formats ignore it\n"
    "  -h, --help   show this help and exit\n"
    "\n";

NumberOption QualityOption() {
    return {"--quality", false, true, 1, 100, JpegFile::kDefaultQuality, false};
}

int Fail(int status, const char* command, const std::string& message) {
    std::fprintf(stderr, "quillet-fx %s: %s\n", command, message.c_str());
    return status;
}

int UsageError(const char* command, const std::string& message) {
    Fail(kExitUsageOrIo, command, message);
    std::fprintf(stderr, "Try 'quillet-fx %s --help'.\n", command);
    return kExitUsageOrIo;
}

int Help(const char* text) {
    std::printf("%s%s", text, kExitStatusHelp);
    return kExitDone;
}

// One command as given: its name, its paths, OUT's format and, once it is done, its exit status.
struct Invocation {
    explicit Invocation(const char* name) : command(name) {}

    const char* command;
    ParsedArguments parsed;
    ImageFormat format = ImageFormat::Png;
    int status = kExitDone;
};

// Reads the paths, the options and OUT's format; false, with the exit status, when the command
// is done already: a usage error, or the help it was asked for.
bool ParseCommand(Invocation& call, const char* help, int argc, char** argv,
                  std::vector<NumberOption>& options) {
    std::string error;
    if (!ParseArguments(argc, argv, options, 2, call.parsed, error)) {
        call.status = UsageError(call.command, error);
        return false;
    }
    if (call.parsed.help) {
        call.status = Help(help);
        return false;
    }
    if (!FormatFromExtension(call.parsed.paths[1], call.format)) {
        call.status = UsageError(
            call.command, std::string("cannot tell the format of OUT '") + call.parsed.paths[1] +
                              "' from its extension (use " + kKnownExtensions + ")");
        return false;
    }
    return true;
}

// Reads IN; false, with the exit status, when it cannot be read.
bool Read(Invocation& call, Picture& picture) {
    const char* path = call.parsed.paths[0];
    std::string error;
    if (ReadImageFile(path, picture, error))
        return true;
    call.status =
        Fail(kExitUsageOrIo, call.command, std::string("cannot read ") + path + ": " + error);
    return false;
}

// Writes OUT; the exit status.
int Write(const Invocation& call, const PixelRows& rows, double quality) {
    const char* path = call.parsed.paths[1];
    WriteOptions writeOptions;
    writeOptions.jpegQuality = static_cast<int>(quality);
    std::string error;
    if (!WriteImageFile(path, call.format, rows, writeOptions, error))
        return Fail(kExitUsageOrIo, call.command,
                    std::string("cannot write ") + path + ": " + error);
    return kExitDone;
}

struct FreeDeleter {
    void operator()(double* p) const { std::free(p); }
};
using Kernel = std::unique_ptr<double[], FreeDeleter>;

// The kernel the filter's MotionBlur builds for these parameters, or a reason why it refuses
// them. Built before the image is read, so that refused parameters cost no reading.
bool MakeBlurKernel(double radius, double sigma, Kernel& kernel, int& taps, std::string& why) {
    double* made = nullptr;
    const CMotionBlurFilter::KernelChoice choice =
        CMotionBlurFilter().ChooseKernel(radius, sigma, made, taps);
    kernel.reset(made);
    char text[160] = "";
    switch (choice) {
    case CMotionBlurFilter::KernelChoice::Made:
        return true;
    case CMotionBlurFilter::KernelChoice::NoSigma:
        std::snprintf(text, sizeof text, "sigma %g gives no kernel", sigma);
        break;
    case CMotionBlurFilter::KernelChoice::RadiusTooLong:
        std::snprintf(text, sizeof text,
                      "radius %g gives a kernel longer than the %d taps the blur allows", radius,
                      CMotionBlurFilter::kMaxTaps);
        break;
    case CMotionBlurFilter::KernelChoice::SigmaTooWide:
        std::snprintf(text, sizeof text,
                      "sigma %g with radius 0 gives a kernel longer than the %d taps the blur "
                      "allows",
                      sigma, CMotionBlurFilter::kMaxTaps);
        break;
    case CMotionBlurFilter::KernelChoice::TapsNotFinite:
        std::snprintf(text, sizeof text, "sigma %g is too small: the kernel's taps are not finite",
                      sigma);
        break;
    case CMotionBlurFilter::KernelChoice::OutOfMemory:
        std::snprintf(text, sizeof text, "not enough memory for the kernel");
        break;
    }
    why = text;
    return false;
}

} // namespace

int RunBlur(int argc, char** argv) {
    Invocation call("blur");
    std::vector<NumberOption> options = {
        {"--radius", true, false, -kAnyNumber, kAnyNumber, 0.0, false},
        {"--sigma", true, false, -kAnyNumber, kAnyNumber, 0.0, false},
        {"--angle", true, false, -kAnyNumber, kAnyNumber, 0.0, false},
        QualityOption(),
    };
    if (!ParseCommand(call, kBlurHelp, argc, argv, options))
        return call.status;
    const double radius = options[0].value, sigma = options[1].value, angle = options[2].value;

    // Sigma 0 leaves the picture unchanged, as in the dialog and in the host.
    const bool blur = sigma != 0.0;
    Kernel kernel;
    int taps = 0;
    std::string why;
    if (blur && !MakeBlurKernel(radius, sigma, kernel, taps, why))
        return Fail(kExitRefused, call.command, "the blur refuses its parameters: " + why);
    // An angle whose radians overflow has no direction.
    if (blur && !std::isfinite(CMotionBlurFilter::Radians(angle))) {
        char text[120];
        std::snprintf(text, sizeof text,
                      "the blur refuses its parameters: angle %g is too large to turn into "
                      "radians",
                      angle);
        return Fail(kExitRefused, call.command, text);
    }

    Picture picture;
    if (!Read(call, picture))
        return call.status;
    COrvanelBitmap& bitmap = *picture;
    if (blur && !Quillet::ApplyMotionBlur(bitmap.GetPtBitmap(), bitmap.GetBitmapWidth(),
                                          bitmap.GetBitmapHeight(), bitmap.GetWidthSize(), radius,
                                          sigma, angle))
        return Fail(kExitRefused, call.command,
                    "the blur refuses its parameters for this picture (or memory ran out)");
    return Write(call, RowsOf(bitmap), options[3].value);
}

int RunFlare(int argc, char** argv) {
    Invocation call("flare");
    constexpr double kCoordinate = 1000000;
    std::vector<NumberOption> options = {
        {"--x", true, true, -kCoordinate, kCoordinate, 0.0, false},
        {"--y", true, true, -kCoordinate, kCoordinate, 0.0, false},
        {"--size", true, true, 0, 65535, 0.0, false},
        {"--brightness", true, true, 0, 100, 0.0, false},
        {"--hue", true, true, -kCoordinate, kCoordinate, 0.0, false},
        {"--intensity", true, true, 0, 100, 0.0, false},
        QualityOption(),
    };
    if (!ParseCommand(call, kFlareHelp, argc, argv, options))
        return call.status;
    const auto whole = [&](std::size_t i) { return static_cast<int>(options[i].value); };
    const int x = whole(0), y = whole(1), size = whole(2), brightness = whole(3), hue = whole(4),
              intensity = whole(5);

    Picture picture;
    if (!Read(call, picture))
        return call.status;
    COrvanelBitmap& bitmap = *picture;
    const int width = static_cast<int>(bitmap.GetBitmapWidth());
    const int height = static_cast<int>(bitmap.GetBitmapHeight());
    // Beyond 2^30 pixels the renderer's integer coordinates could overflow: the only refusal
    // left for parameters within the options' ranges.
    if (!Quillet::ApplyLensFlare(bitmap.GetPtBitmap(), bitmap.GetBitmapWidth(),
                                 bitmap.GetBitmapHeight(), bitmap.GetWidthSize(), x, y, size,
                                 brightness, hue, intensity)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "the flare refuses its parameters: on a %dx%d picture a flare of size %d "
                      "at (%d, %d) would reach beyond 2^30 pixels",
                      width, height, size, x, y);
        return Fail(kExitRefused, call.command, text);
    }
    return Write(call, RowsOf(bitmap), options[6].value);
}

int RunConvert(int argc, char** argv) {
    Invocation call("convert");
    std::vector<NumberOption> options = {QualityOption()};
    Picture picture;
    if (!ParseCommand(call, kConvertHelp, argc, argv, options) || !Read(call, picture))
        return call.status;
    return Write(call, RowsOf(*picture), options[0].value);
}

const Command kCommands[] = {
    {"blur", "IN OUT --radius R --sigma S --angle A [--quality Q]: motion blur", RunBlur},
    {"flare",
     "IN OUT --x X --y Y --size S --brightness B --hue H --intensity I [--quality Q]: "
     "lens flare",
     RunFlare},
    {"convert", "IN OUT [--quality Q]: write IN's pixels in OUT's format", RunConvert},
};
const int kCommandCount = sizeof kCommands / sizeof kCommands[0];

} // namespace QuilletFx
