// quillet-fx: runs the library's image effects on image files from the command line.
// Each command is one row of kCommands; effects (e.g. "blur IN OUT --radius R") join as rows.
#include "demo/ImageFileBitmap.h"
#include "filter/MotionBlurFilter.h"
#include "host/OrvanelBitmap.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#ifndef QUILLET_VERSION
#error "QUILLET_VERSION is defined by the build"
#endif

namespace {

const int kExitOk = 0;
const int kExitFailure = 1; // unreadable or unwritable file, or an effect that could not run
const int kExitUsage = 2;

struct Command {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv); // argv[0] is the command's own name
};

int RunHelp(int, char**);
int RunVersion(int, char**);
int RunBlur(int argc, char** argv);

const Command kCommands[] = {
    {"--help", "show this help and exit", RunHelp},
    {"--version", "show the version and exit", RunVersion},
    {"blur", "IN OUT --radius R --sigma S --angle A: motion blur, written as PNG", RunBlur},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "Usage: quillet-fx COMMAND [ARGS...]\n"
                      "Applies the Quillet image effects to image files.\n\n"
                      "Commands and options:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %-12s %s\n", command.name, command.summary);
    std::fprintf(out,
                 "\nblur reads PNG, BMP, JPEG or PNM and smears each pixel along the angle in\n"
                 "degrees (0 up, 90 right); radius 0 picks the length from sigma, sigma 0\n"
                 "leaves the picture as it is.\n");
}

int RunHelp(int, char**) {
    PrintUsage(stdout);
    return kExitOk;
}

int RunVersion(int, char**) {
    std::printf("quillet-fx %s\n", QUILLET_VERSION);
    return kExitOk;
}

struct NumberOption {
    const char* name;
    double value;
    bool seen;
};

int BlurUsageError(const char* message, const char* detail) {
    std::fprintf(stderr, "quillet-fx blur: %s%s\n", message, detail);
    std::fprintf(stderr, "usage: quillet-fx blur IN OUT --radius R --sigma S --angle A\n");
    return kExitUsage;
}

// The whole text must be one finite number.
bool ParseNumber(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno != ERANGE && std::isfinite(value);
}

int RunBlur(int argc, char** argv) {
    const char* paths[2] = {nullptr, nullptr};
    int pathCount = 0;
    NumberOption options[] = {
        {"--radius", 0.0, false}, {"--sigma", 0.0, false}, {"--angle", 0.0, false}};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--", 2) != 0) {
            if (pathCount == 2)
                return BlurUsageError("unexpected argument ", arg);
            paths[pathCount++] = arg;
            continue;
        }
        NumberOption* option = nullptr;
        for (NumberOption& candidate : options) {
            if (std::strcmp(arg, candidate.name) == 0)
                option = &candidate;
        }
        if (option == nullptr)
            return BlurUsageError("unknown option ", arg);
        if (option->seen)
            return BlurUsageError("option given twice: ", arg);
        if (i + 1 == argc)
            return BlurUsageError("missing value after ", arg);
        if (!ParseNumber(argv[++i], option->value))
            return BlurUsageError("not a finite number: ", argv[i]);
        option->seen = true;
    }
    if (pathCount < 2)
        return BlurUsageError("missing ", pathCount == 0 ? "IN and OUT" : "OUT");
    for (const NumberOption& option : options) {
        if (!option.seen)
            return BlurUsageError("missing ", option.name);
    }
    const double radius = options[0].value, sigma = options[1].value, angle = options[2].value;

    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> rgb(
        stbi_load(paths[0], &width, &height, &channels, 3), stbi_image_free);
    if (!rgb) {
        std::fprintf(stderr, "quillet-fx blur: cannot read %s: %s\n", paths[0],
                     stbi_failure_reason());
        return kExitFailure;
    }
    COrvanelBitmap bitmap;
    if (!QuilletFx::RgbRowsToBitmap(rgb.get(), width, height, bitmap)) {
        std::fprintf(stderr, "quillet-fx blur: %s is too large (%d x %d)\n", paths[0], width,
                     height);
        return kExitFailure;
    }
    // Sigma 0 leaves the picture unchanged, as it does in the dialog and in the host.
    Orvanel::Filter::CMotionBlurFilter filter;
    if (!filter.MotionBlur(&bitmap, radius, sigma, angle) && sigma != 0.0) {
        std::fprintf(stderr,
                     "quillet-fx blur: cannot blur with radius %g, sigma %g: the kernel would be "
                     "too long or not finite, or memory ran out\n",
                     radius, sigma);
        return kExitFailure;
    }
    const std::vector<unsigned char> out = QuilletFx::BitmapToRgbRows(bitmap);
    if (!stbi_write_png(paths[1], width, height, 3, out.data(), width * 3)) {
        std::fprintf(stderr, "quillet-fx blur: cannot write %s\n", paths[1]);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "quillet-fx: no command given\n\n");
        PrintUsage(stderr);
        return kExitUsage;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "quillet-fx: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
