#include "fx/ImageCodecs.h"

#include "host/OrvanelBitmap.h"

#include <zlib.h>

#include <csetjmp>
#include <cstddef>

namespace QuilletFx::PngFile {
namespace {

// libpng reports errors by a long jump; the jumps land in the functions below that call
// setjmp, whose locals are all trivially destructible, and the message waits here.
struct ErrorText {
    char text[200] = "";
};

void OnError(png_structp png, png_const_charp message) {
    auto* error = static_cast<ErrorText*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (an unusual colour profile, say) do not stop the picture: stay quiet.
void OnWarning(png_structp, png_const_charp) {}

// A libpng decoder or encoder with its info record; its errors land in error_ by a long jump.
class Session {
public:
    explicit Session(bool reading) : reading_(reading) {
        png_ = reading
                   ? png_create_read_struct(PNG_LIBPNG_VER_STRING, &error_, OnError, OnWarning)
                   : png_create_write_struct(PNG_LIBPNG_VER_STRING, &error_, OnError, OnWarning);
        if (png_ != nullptr)
            info_ = png_create_info_struct(png_);
    }
    ~Session() {
        png_infopp info = info_ != nullptr ? &info_ : nullptr;
        if (reading_)
            png_destroy_read_struct(&png_, info, nullptr);
        else
            png_destroy_write_struct(&png_, info);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Ready() const { return info_ != nullptr; }
    const char* ErrorMessage() const { return error_.text; }

protected:
    ErrorText error_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    bool reading_;
};

class Reader : public Session {
public:
    Reader() : Session(true) {}

    // Header, and the transformations that make every row blue, green, red, 0.
    bool ReadHeader(std::FILE* file, png_uint_32& width, png_uint_32& height, int& passes) {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_init_io(png_, file);
        png_read_info(png_, info_);
        width = png_get_image_width(png_, info_);
        height = png_get_image_height(png_, info_);
        png_set_expand(png_);
        png_set_strip_16(png_);
        png_set_strip_alpha(png_);
        png_set_gray_to_rgb(png_);
        png_set_bgr(png_);
        png_set_filler(png_, 0, PNG_FILLER_AFTER);
        passes = png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        if (png_get_rowbytes(png_, info_) != 4 * static_cast<std::size_t>(width))
            png_error(png_, "unexpected row layout after conversion");
        return true;
    }

    // Interlaced images come in several passes over every row; each pass adds pixels to the
    // row that the previous one left in the bitmap.
    bool ReadRows(COrvanelBitmap& bitmap, int passes) {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        const int height = static_cast<int>(bitmap.GetBitmapHeight());
        for (int pass = 0; pass < passes; ++pass) {
            for (int y = 0; y < height; ++y)
                png_read_row(png_, BitmapRowFromTop(bitmap, y), nullptr);
        }
        return true;
    }
};

class Writer : public Session {
public:
    Writer() : Session(false) {}

    bool Write(std::FILE* file, const PixelRows& rows) {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_init_io(png_, file);
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(rows.width),
                     static_cast<png_uint_32>(rows.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        UseFastCompression(png_);
        png_write_info(png_, info_);
        png_set_bgr(png_);
        png_set_filler(png_, 0, PNG_FILLER_AFTER);
        for (int y = 0; y < rows.height; ++y)
            png_write_row(png_, rows.FromTop(y));
        png_write_end(png_, info_);
        return true;
    }
};

} // namespace

void UseFastCompression(png_structp png) {
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_buffer_size(png, 1 << 18);
}

ReadResult Read(std::FILE* file, Picture& picture, std::string& error) {
    Reader reader;
    if (!reader.Ready()) {
        error = "out of memory";
        return ReadResult::Failed;
    }
    png_uint_32 width = 0, height = 0;
    int passes = 1;
    if (!reader.ReadHeader(file, width, height, passes)) {
        error = std::string("broken PNG: ") + reader.ErrorMessage();
        return ReadResult::Failed;
    }
    if (!AllocateBitmap(width, height, picture, error))
        return ReadResult::Failed;
    if (!reader.ReadRows(*picture, passes)) {
        error = std::string("broken PNG: ") + reader.ErrorMessage();
        return ReadResult::Failed;
    }
    return ReadResult::Done;
}

bool Write(std::FILE* file, const PixelRows& rows, std::string& error) {
    Writer writer;
    if (!writer.Ready()) {
        error = "out of memory";
        return false;
    }
    if (!writer.Write(file, rows)) {
        error = std::string("PNG: ") + writer.ErrorMessage();
        return false;
    }
    return true;
}

} // namespace QuilletFx::PngFile
