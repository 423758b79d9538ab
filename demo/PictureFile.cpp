#include "demo/PictureFile.h"

#include "fx/ImageFileBitmap.h"
#include "host/OrvanelBitmap.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <vector>

namespace QuilletDemo {

namespace {

enum class Format { Unknown, Png, Bmp, Jpeg, Tga };

Format FormatOf(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    const std::size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        return Format::Unknown;
    }
    std::wstring extension = path.substr(dot + 1);
    for (wchar_t& c : extension) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    if (extension == L"png") {
        return Format::Png;
    }
    if (extension == L"bmp") {
        return Format::Bmp;
    }
    if (extension == L"jpg" || extension == L"jpeg") {
        return Format::Jpeg;
    }
    return extension == L"tga" ? Format::Tga : Format::Unknown;
}

// The reader's own short reason ("unknown image type", "bad png sig"...), ASCII.
std::wstring Widen(const char* text) {
    return text == nullptr ? L"no reason given" : std::wstring(text, text + std::strlen(text));
}

// The C runtime's sentence for errno, which names what the system refused ("No such file or
// directory", "Permission denied"...).
std::wstring SystemReason() { return _wcserror(errno); }

std::wstring Sentence(const wchar_t* verb, const std::wstring& path, const std::wstring& reason) {
    return std::wstring(verb) + L" \"" + path + L"\": " + reason + L".";
}

struct Sink {
    FILE* file;
    bool failed;
};

void WriteToSink(void* context, void* data, int size) {
    auto* sink = static_cast<Sink*>(context);
    const std::size_t count = static_cast<std::size_t>(size);
    if (!sink->failed && std::fwrite(data, 1, count, sink->file) != count) {
        sink->failed = true;
    }
}

} // namespace

bool ReadPictureFile(const std::wstring& path, COrvanelBitmap& picture, std::wstring& error) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        error = Sentence(L"Cannot read", path, SystemReason());
        return false;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load_from_file(file, &width, &height, &channels, 3);
    std::fclose(file);
    if (rgb == nullptr) {
        error = Sentence(L"Cannot read", path,
                         L"the file holds no picture this viewer can decode (" +
                             Widen(stbi_failure_reason()) + L")");
        return false;
    }
    // Built aside, so that a picture too large for a bitmap leaves the one on show alone.
    COrvanelBitmap loaded(width, height, 32);
    // Files list their rows from the top; the bitmap's row 0 is the bottom line.
    if (!QuilletFx::CopyRgbRows(rgb, loaded)) {
        stbi_image_free(rgb);
        error = Sentence(L"Cannot read", path,
                         L"the picture is too large (" + std::to_wstring(width) + L" x " +
                             std::to_wstring(height) + L" pixels)");
        return false;
    }
    stbi_image_free(rgb);
    loaded.SetFilename(path);
    picture = loaded;
    return true;
}

bool WritePictureFile(const COrvanelBitmap& picture, const std::wstring& path,
                      std::wstring& error) {
    const Format format = FormatOf(path);
    if (format == Format::Unknown) {
        error = Sentence(L"Cannot write", path,
                         L"the name must end in .png, .bmp, .jpg, .jpeg or .tga, the formats "
                         L"this viewer writes");
        return false;
    }
    const unsigned char* pixels = picture.GetPtBitmap();
    if (pixels == nullptr) {
        error = Sentence(L"Cannot write", path, L"there is no picture to write");
        return false;
    }
    const int width = static_cast<int>(picture.GetBitmapWidth());
    const int height = static_cast<int>(picture.GetBitmapHeight());
    const std::size_t w = picture.GetBitmapWidth(), h = picture.GetBitmapHeight();
    const std::size_t stride = static_cast<std::size_t>(picture.GetWidthSize());
    std::vector<unsigned char> rgb(w * h * 3);
    for (std::size_t y = 0; y < h; ++y) {
        const unsigned char* in = pixels + (h - 1 - y) * stride;
        unsigned char* out = rgb.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }

    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        error = Sentence(L"Cannot write", path, SystemReason());
        return false;
    }
    Sink sink{file, false};
    int encoded = 0;
    switch (format) {
    case Format::Png:
        encoded =
            stbi_write_png_to_func(WriteToSink, &sink, width, height, 3, rgb.data(), width * 3);
        break;
    case Format::Bmp:
        encoded = stbi_write_bmp_to_func(WriteToSink, &sink, width, height, 3, rgb.data());
        break;
    case Format::Jpeg:
        encoded = stbi_write_jpg_to_func(WriteToSink, &sink, width, height, 3, rgb.data(), 95);
        break;
    default:
        encoded = stbi_write_tga_to_func(WriteToSink, &sink, width, height, 3, rgb.data());
        break;
    }
    // A full disk shows when the data is written, or only when the last buffer is flushed.
    std::wstring reason = !sink.failed && std::fflush(file) == 0 ? L"" : SystemReason();
    if (std::fclose(file) != 0 && reason.empty()) {
        reason = SystemReason();
    }
    if (encoded == 0) {
        reason = L"the picture could not be encoded";
    }
    if (reason.empty()) {
        return true;
    }
    _wremove(path.c_str());
    error = Sentence(L"Cannot write", path, reason);
    return false;
}

} // namespace QuilletDemo
