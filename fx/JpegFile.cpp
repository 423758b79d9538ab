#include "fx/ImageCodecs.h"

#include "host/OrvanelBitmap.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>

namespace QuilletFx::JpegFile {
namespace {

// libjpeg reports errors by calling error_exit, which must not return: it formats the message
// here and jumps back to the setjmp of the function below that called the library.
struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->text);
    std::longjmp(error->jump, 1);
}

// Warnings (corrupt data the decoder could step over) do not stop the picture: stay quiet.
void OnMessage(j_common_ptr, int) {}

// What the decoder and the encoder share: errors that jump back with their message, and the
// library's object, destroyed once it was created.
template <class Info> class Session {
public:
    Session() {
        jpeg_std_error(&error_.manager);
        error_.manager.error_exit = OnError;
        error_.manager.emit_message = OnMessage;
        error_.text[0] = '\0';
        info_.err = &error_.manager;
    }
    ~Session() {
        if (created_)
            jpeg_destroy(reinterpret_cast<j_common_ptr>(&info_));
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const char* ErrorMessage() const { return error_.text; }

protected:
    ErrorManager error_;
    Info info_{};
    bool created_ = false;
};

class Reader : public Session<jpeg_decompress_struct> {
public:
    bool ReadHeader(std::FILE* file, bool& colour) {
        if (setjmp(error_.jump))
            return false;
        jpeg_create_decompress(&info_);
        created_ = true;
        jpeg_stdio_src(&info_, file);
        jpeg_read_header(&info_, TRUE);
        colour = info_.jpeg_color_space != JCS_CMYK && info_.jpeg_color_space != JCS_YCCK;
        return true;
    }

    long long Width() const { return info_.image_width; }
    long long Height() const { return info_.image_height; }

    bool ReadRows(COrvanelBitmap& bitmap) {
        if (setjmp(error_.jump))
            return false;
        info_.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&info_);
        const int width = static_cast<int>(bitmap.GetBitmapWidth());
        while (info_.output_scanline < info_.output_height) {
            // The fourth byte comes out undefined; the host's is 0.
            unsigned char* row = BitmapRowFromTop(bitmap, static_cast<int>(info_.output_scanline));
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&info_, rows, 1);
            ClearFourthBytes(row, width);
        }
        jpeg_finish_decompress(&info_);
        return true;
    }
};

class Writer : public Session<jpeg_compress_struct> {
public:
    bool Write(std::FILE* file, const PixelRows& rows, int quality) {
        if (setjmp(error_.jump))
            return false;
        jpeg_create_compress(&info_);
        created_ = true;
        jpeg_stdio_dest(&info_, file);
        info_.image_width = static_cast<JDIMENSION>(rows.width);
        info_.image_height = static_cast<JDIMENSION>(rows.height);
        info_.input_components = 4;
        info_.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        jpeg_start_compress(&info_, TRUE);
        while (info_.next_scanline < info_.image_height) {
            // libjpeg only reads the rows it is given; the cast is its API's lack of const.
            JSAMPROW row[1] = {
                const_cast<unsigned char*>(rows.FromTop(static_cast<int>(info_.next_scanline)))};
            jpeg_write_scanlines(&info_, row, 1);
        }
        jpeg_finish_compress(&info_);
        return true;
    }
};

} // namespace

ReadResult Read(std::FILE* file, Picture& picture, std::string& error) {
    Reader reader;
    bool colour = true;
    if (!reader.ReadHeader(file, colour)) {
        error = std::string("broken JPEG: ") + reader.ErrorMessage();
        return ReadResult::Failed;
    }
    if (!colour)
        return ReadResult::Unsupported;
    if (!AllocateBitmap(reader.Width(), reader.Height(), picture, error))
        return ReadResult::Failed;
    if (!reader.ReadRows(*picture)) {
        error = std::string("broken JPEG: ") + reader.ErrorMessage();
        return ReadResult::Failed;
    }
    return ReadResult::Done;
}

bool Write(std::FILE* file, const PixelRows& rows, int quality, std::string& error) {
    Writer writer;
    if (!writer.Write(file, rows, quality)) {
        error = std::string("JPEG: ") + writer.ErrorMessage();
        return false;
    }
    return true;
}

} // namespace QuilletFx::JpegFile
