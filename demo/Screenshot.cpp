#include "demo/Screenshot.h"

#include "testing/WindowCapture.h"

#include <stb/stb_image_write.h>

#include <cstdio>

namespace QuilletDemo {

using QuilletTest::CWindowCapture;

namespace {

void WriteToFile(void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<size_t>(size), static_cast<FILE*>(context));
}

} // namespace

bool SaveWindowScreenshot(HWND window, const std::wstring& path) {
    const CWindowCapture capture(window, CWindowCapture::Area::WholeWindow);
    if (capture.Width() == 0) {
        return false;
    }
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const std::vector<unsigned char> rgb = capture.Rgb();
    const int written = stbi_write_png_to_func(WriteToFile, file, capture.Width(), capture.Height(),
                                               3, rgb.data(), capture.Width() * 3);
    return std::fclose(file) == 0 && written != 0;
}

} // namespace QuilletDemo
