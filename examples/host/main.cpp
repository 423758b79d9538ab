// quillet-host-example: a small host of Quillet.dll. It opens a picture, lets the library's
// effects draw on it at full size and saves it, as a viewer does once a dialog has returned its
// parameters:
//   quillet-host-example blur IN.bmp OUT.bmp RADIUS SIGMA ANGLE
//   quillet-host-example flare IN.bmp OUT.bmp X Y SIZE BRIGHTNESS HUE INTENSITY
//   quillet-host-example dialog IN.bmp OUT.bmp   (the motion blur dialog picks the parameters)
// To stay free of image libraries it reads and writes uncompressed 24- and 32-bit BMP files
// only; a viewer uses its own codecs. Exit status 0 when OUT was written.
#include <quillet/Effects.h>
#include <quillet/OrvanelBitmap.h>
#include <quillet/Quillet.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The picture as the host bitmap holds it: blue, green, red, a fourth byte; row 0 at the bottom.
struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> pixels;
    long Stride() const { return 4 * static_cast<long>(width); }
};

std::uint32_t Get32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void Put32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool ReadBmp(const wchar_t* path, Picture& picture) {
    std::FILE* file = _wfopen(path, L"rb");
    if (file == nullptr)
        return false;
    unsigned char header[54];
    bool ok = std::fread(header, 1, sizeof header, file) == sizeof header && header[0] == 'B' &&
              header[1] == 'M' && Get32(header + 30) == 0; // uncompressed
    const int bits = header[28];
    const std::int32_t width = static_cast<std::int32_t>(Get32(header + 18));
    const std::int32_t height = static_cast<std::int32_t>(Get32(header + 22));
    ok = ok && (bits == 24 || bits == 32) && width > 0 && height != 0 && width < 65536 &&
         height > -65536 && height < 65536 && std::fseek(file, Get32(header + 10), SEEK_SET) == 0;
    if (ok) {
        picture.width = static_cast<unsigned>(width);
        picture.height = static_cast<unsigned>(height < 0 ? -height : height);
        picture.pixels.assign(4u * picture.width * picture.height, 0);
        std::vector<unsigned char> row((bits / 8 * picture.width + 3) / 4 * 4);
        for (unsigned i = 0; ok && i < picture.height; ++i) {
            ok = std::fread(row.data(), 1, row.size(), file) == row.size();
            // Rows are stored bottom-up unless the height is negative.
            const unsigned y = height < 0 ? picture.height - 1 - i : i;
            unsigned char* out = &picture.pixels[y * picture.Stride()];
            for (unsigned x = 0; x < picture.width; ++x)
                for (int c = 0; c < 3; ++c)
                    out[4 * x + c] = row[bits / 8 * x + c];
        }
    }
    std::fclose(file);
    return ok;
}

bool WriteBmp(const wchar_t* path, const Picture& picture) {
    const std::uint32_t rowBytes = (3 * picture.width + 3) / 4 * 4;
    unsigned char header[54] = {'B', 'M'};
    Put32(header + 2, 54 + rowBytes * picture.height);
    Put32(header + 10, 54);
    Put32(header + 14, 40);
    Put32(header + 18, picture.width);
    Put32(header + 22, picture.height);
    header[26] = 1;  // planes
    header[28] = 24; // bits per pixel
    Put32(header + 34, rowBytes * picture.height);
    Put32(header + 38, 2835); // 72 dots per inch
    Put32(header + 42, 2835);
    std::FILE* file = _wfopen(path, L"wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    std::vector<unsigned char> row(rowBytes, 0);
    for (unsigned y = 0; ok && y < picture.height; ++y) {
        const unsigned char* in = &picture.pixels[y * picture.Stride()];
        for (unsigned x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = in[4 * x + c];
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

// The motion blur dialog on the picture; true with the confirmed parameters.
bool AskForBlur(const Picture& picture, double& radius, double& sigma, double& angle) {
    COrvanelBitmap bitmap; // the stand-in Halvory.dll's; a viewer passes its own
    std::vector<unsigned char> copy = picture.pixels;
    bitmap.SetBitmap(copy.data(), picture.width, picture.height, false, true);
    return ShowMotionBlur(nullptr, &bitmap, radius, sigma, angle) == 1;
}

int Usage() {
    std::fwprintf(stderr, L"usage: quillet-host-example blur IN.bmp OUT.bmp RADIUS SIGMA ANGLE\n"
                          L"       quillet-host-example flare IN.bmp OUT.bmp X Y SIZE BRIGHTNESS "
                          L"HUE INTENSITY\n"
                          L"       quillet-host-example dialog IN.bmp OUT.bmp\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4)
        return Usage();
    // Calling into the DLL proves that it and its runtime DLLs were found beside the program.
    if (fnQuillet() != 42) {
        std::fwprintf(stderr, L"this Quillet.dll is not the one the header describes\n");
        return 1;
    }
    const std::wstring mode = argv[1];
    Picture picture;
    if (!ReadBmp(argv[2], picture)) {
        std::fwprintf(stderr, L"cannot read %ls as an uncompressed 24- or 32-bit BMP\n", argv[2]);
        return 2;
    }
    const auto number = [&](int i) { return std::wcstod(argv[i], nullptr); };
    bool drawn = false;
    if (mode == L"blur" && argc == 7) {
        drawn = Quillet::ApplyMotionBlur(picture.pixels.data(), picture.width, picture.height,
                                         picture.Stride(), number(4), number(5), number(6));
    } else if (mode == L"flare" && argc == 10) {
        const auto whole = [&](int i) { return static_cast<int>(number(i)); };
        drawn = Quillet::ApplyLensFlare(picture.pixels.data(), picture.width, picture.height,
                                        picture.Stride(), whole(4), whole(5), whole(6), whole(7),
                                        whole(8), whole(9));
    } else if (mode == L"dialog" && argc == 4) {
        double radius = 0, sigma = 0, angle = 0;
        if (!AskForBlur(picture, radius, sigma, angle))
            return 0; // cancelled: nothing to write
        // Sigma 0 means no blur: the picture is written as it was.
        drawn = sigma == 0 ||
                Quillet::ApplyMotionBlur(picture.pixels.data(), picture.width, picture.height,
                                         picture.Stride(), radius, sigma, angle);
    } else {
        return Usage();
    }
    if (!drawn) {
        std::fwprintf(stderr, L"the effect refused its parameters\n");
        return 1;
    }
    if (!WriteBmp(argv[3], picture)) {
        std::fwprintf(stderr, L"cannot write %ls\n", argv[3]);
        return 2;
    }
    return 0;
}
