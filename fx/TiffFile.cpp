#include "fx/ImageCodecs.h"

#include "host/OrvanelBitmap.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace QuilletFx::TiffFile {
namespace {

// libtiff reports through process-wide handlers; the last error of this thread waits here, and
// warnings (unknown tags and the like) are dropped.
thread_local char lastError[256];

void OnError(const char* module, const char* format, std::va_list arguments) {
    char text[200];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::snprintf(lastError, sizeof lastError, "%s%s%s", module != nullptr ? module : "",
                  module != nullptr ? ": " : "", text);
}

void OnWarning(const char*, const char*, std::va_list) {}

class Handlers {
public:
    Handlers() : error_(TIFFSetErrorHandler(OnError)), warning_(TIFFSetWarningHandler(OnWarning)) {
        lastError[0] = '\0';
    }
    ~Handlers() {
        TIFFSetErrorHandler(error_);
        TIFFSetWarningHandler(warning_);
    }
    Handlers(const Handlers&) = delete;
    Handlers& operator=(const Handlers&) = delete;

private:
    TIFFErrorHandler error_;
    TIFFErrorHandler warning_;
};

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::string Reason(const char* what) {
    return std::string(what) + (lastError[0] != '\0' ? std::string(": ") + lastError : "");
}

} // namespace

ReadResult Read(const char* path, Picture& picture, std::string& error) {
    const Handlers handlers;
    const std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path, "r"));
    if (!tiff) {
        error = Reason("broken TIFF");
        return ReadResult::Failed;
    }
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    if (!AllocateBitmap(width, height, picture, error))
        return ReadResult::Failed;
    COrvanelBitmap& bitmap = *picture;
    // Packed 32-bit values with red in the low byte: in memory red, green, blue, alpha. The
    // bitmap's rows are exactly width x 4 bytes apart, as libtiff's raster is.
    auto* raster = reinterpret_cast<std::uint32_t*>(bitmap.GetPtBitmap());
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster, ORIENTATION_BOTLEFT, 0)) {
        error = Reason("broken TIFF");
        return ReadResult::Failed;
    }
    unsigned char* pixels = bitmap.GetPtBitmap();
    for (std::size_t y = 0; y < height; ++y) {
        unsigned char* row = pixels + y * static_cast<std::size_t>(bitmap.GetWidthSize());
        for (std::size_t x = 0; x < width; ++x) {
            unsigned char* pixel = row + 4 * x;
            const unsigned char red = pixel[0];
            pixel[0] = pixel[2];
            pixel[2] = red;
            pixel[3] = 0;
        }
    }
    return ReadResult::Done;
}

bool Write(const char* path, const PixelRows& rows, std::string& error) {
    const Handlers handlers;
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path, "w"));
    if (!tiff) {
        error = Reason("cannot create TIFF");
        return false;
    }
    TIFF* t = tiff.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(rows.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(rows.height));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(t, TIFFTAG_ZIPQUALITY, 1);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(rows.width));
    for (int y = 0; y < rows.height; ++y) {
        NarrowToRgb(rows.FromTop(y), rows.width, row.data());
        if (TIFFWriteScanline(t, row.data(), static_cast<std::uint32_t>(y), 0) < 0) {
            error = Reason("TIFF");
            return false;
        }
    }
    // Closing writes the directory: its failure is a failed write too.
    if (!TIFFFlush(t)) {
        error = Reason("TIFF");
        return false;
    }
    return true;
}

} // namespace QuilletFx::TiffFile
