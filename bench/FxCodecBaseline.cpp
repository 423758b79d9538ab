// The codecs alone, for quillet-fx's benchmark: decodes a PNG with libpng into its own packed
// RGB rows and encodes them again with the settings quillet-fx writes with, without the
// bitmap, the conversions or anything else of quillet-fx. quillet-fx's sigma-0 run is measured
// against this.
#include "fx/ImageCodecs.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

bool Decode(const char* path, std::vector<unsigned char>& rgb, png_uint_32& width,
            png_uint_32& height) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8)
        png_error(png, "the baseline reads 8-bit RGB only");
    rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

bool Encode(const char* path, const std::vector<unsigned char>& rgb, png_uint_32 width,
            png_uint_32 height) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    QuilletFx::PngFile::UseFastCompression(png);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < height; ++y)
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fx_codec_baseline IN.png OUT.png\n");
        return 2;
    }
    std::vector<unsigned char> rgb;
    png_uint_32 width = 0, height = 0;
    if (!Decode(argv[1], rgb, width, height)) {
        std::fprintf(stderr, "fx_codec_baseline: cannot read %s\n", argv[1]);
        return 2;
    }
    if (!Encode(argv[2], rgb, width, height)) {
        std::fprintf(stderr, "fx_codec_baseline: cannot write %s\n", argv[2]);
        return 2;
    }
    return 0;
}
