#include "fx/ImageFile.h"

#include "fx/ImageFileBitmap.h"
#include "fx/ImageCodecs.h"
#include "host/OrvanelBitmap.h"

#include <stb/stb_image.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace QuilletFx {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class Signature { Png, Jpeg, Bmp, Pnm, Tiff, Other };

Signature Identify(const unsigned char* magic, std::size_t count) {
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (count >= 8 && std::memcmp(magic, kPng, 8) == 0)
        return Signature::Png;
    if (count >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF)
        return Signature::Jpeg;
    if (count >= 2 && magic[0] == 'B' && magic[1] == 'M')
        return Signature::Bmp;
    if (count >= 2 && magic[0] == 'P' && (magic[1] == '5' || magic[1] == '6'))
        return Signature::Pnm;
    if (count >= 4 && ((magic[0] == 'I' && magic[1] == 'I' && magic[2] == 42 && magic[3] == 0) ||
                       (magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && magic[3] == 42)))
        return Signature::Tiff;
    return Signature::Other;
}

// stb reads what the readers above leave: GIF, TGA, PSD, HDR, PIC, and the rarer BMP, PNM and
// JPEG variants. It decodes to a full-size RGB buffer first; these files are uncommon enough
// for that copy not to matter.
bool ReadWithStb(std::FILE* file, Picture& picture, std::string& error) {
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> rgb(
        stbi_load_from_file(file, &width, &height, &channels, 3), stbi_image_free);
    if (!rgb) {
        const char* reason = stbi_failure_reason();
        if (reason != nullptr && std::strcmp(reason, "unknown image type") == 0)
            error = "not an image file (PNG, JPEG, BMP, PNM, TIFF, GIF or TGA)";
        else
            error = std::string("broken image: ") + (reason != nullptr ? reason : "unreadable");
        return false;
    }
    if (!AllocateBitmap(width, height, picture, error))
        return false;
    CopyRgbRows(rgb.get(), *picture);
    return true;
}

// Removes what a failed write left, but only a plain file: OUT may name a device or a link.
void RemovePartialFile(const char* path) {
    struct stat status {};
    if (lstat(path, &status) == 0 && S_ISREG(status.st_mode))
        std::remove(path);
}

} // namespace

const char* const kKnownExtensions = ".png, .bmp, .ppm, .pnm, .jpg, .jpeg, .tif or .tiff";

bool FormatFromExtension(const std::string& path, ImageFormat& format) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const struct {
        const char* extension;
        ImageFormat format;
    } kFormats[] = {{"png", ImageFormat::Png},  {"bmp", ImageFormat::Bmp},
                    {"ppm", ImageFormat::Pnm},  {"pnm", ImageFormat::Pnm},
                    {"jpg", ImageFormat::Jpeg}, {"jpeg", ImageFormat::Jpeg},
                    {"tif", ImageFormat::Tiff}, {"tiff", ImageFormat::Tiff}};
    for (const auto& known : kFormats) {
        if (extension == known.extension) {
            format = known.format;
            return true;
        }
    }
    return false;
}

static bool ReadAnyFormat(const char* path, Picture& picture, std::string& error) {
    File file(std::fopen(path, "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = "is a directory";
        return false;
    }
    unsigned char magic[8] = {};
    const std::size_t count = std::fread(magic, 1, sizeof magic, file.get());
    if (count == 0) {
        error = std::ferror(file.get()) ? std::strerror(errno) : "the file is empty";
        return false;
    }
    std::rewind(file.get());
    const Signature signature = Identify(magic, count);
    if (signature == Signature::Tiff) {
        file.reset();
        return TiffFile::Read(path, picture, error) == ReadResult::Done;
    }
    static const struct {
        Signature signature;
        ReadResult (*read)(std::FILE*, Picture&, std::string&);
    } kReaders[] = {{Signature::Png, PngFile::Read},
                    {Signature::Jpeg, JpegFile::Read},
                    {Signature::Bmp, BmpFile::Read},
                    {Signature::Pnm, PnmFile::Read}};
    for (const auto& reader : kReaders) {
        if (reader.signature != signature)
            continue;
        const ReadResult result = reader.read(file.get(), picture, error);
        if (result != ReadResult::Unsupported)
            return result == ReadResult::Done;
    }
    std::rewind(file.get());
    return ReadWithStb(file.get(), picture, error);
}

bool ReadImageFile(const char* path, Picture& picture, std::string& error) {
    picture.reset();
    if (ReadAnyFormat(path, picture, error))
        return true;
    picture.reset(); // half a picture is no picture
    return false;
}

bool WriteImageFile(const char* path, ImageFormat format, const PixelRows& rows,
                    const WriteOptions& options, std::string& error) {
    if (format == ImageFormat::Tiff) {
        if (TiffFile::Write(path, rows, error))
            return true;
        RemovePartialFile(path);
        return false;
    }
    File file(std::fopen(path, "wb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 18);
    bool written = false;
    switch (format) {
    case ImageFormat::Png:
        written = PngFile::Write(file.get(), rows, error);
        break;
    case ImageFormat::Jpeg:
        written = JpegFile::Write(file.get(), rows, options.jpegQuality, error);
        break;
    case ImageFormat::Bmp:
        written = BmpFile::Write(file.get(), rows, error);
        break;
    case ImageFormat::Pnm:
        written = PnmFile::Write(file.get(), rows, error);
        break;
    case ImageFormat::Tiff:
        break;
    }
    // The last buffered bytes reach the disk only now: a full disk shows here.
    if (std::fclose(file.release()) != 0 && written) {
        error = std::strerror(errno);
        written = false;
    }
    if (!written)
        RemovePartialFile(path);
    return written;
}

} // namespace QuilletFx
