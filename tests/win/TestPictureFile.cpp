// The demo viewer's image files: distinct pixels through each format it writes and back; files it
// cannot read or write named with the reason, the picture left as it was.
#include "demo/PictureFile.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace QuilletDemo;

// Smooth enough for JPEG, no two pixels alike, and a fourth byte that files do not keep.
static COrvanelBitmap Gradient() {
    COrvanelBitmap picture(9, 6, 32);
    for (int i = 0; i < 9 * 6 * 4; ++i) {
        const int x = i / 4 % 9, y = i / 36, c = i % 4;
        picture.GetPtBitmap()[i] = c == 3 ? 0x7f : 8 * ((c + 1) * x + (3 - c) * y);
    }
    return picture;
}

TEST_CASE("each format the viewer writes reads back as written") {
    const struct {
        const wchar_t* path;
        std::string head;
        int tolerance;
    } formats[] = {{L"C:\\picture-\u00e9t\u00e9-\u03b1.png", "\x89PN", 0},
                   {L"C:\\picture.BMP", "BM\xde", 0}, // 54 + 6 rows of 28 bytes
                   {L"C:\\picture.tga", std::string("\0\0\x0a", 3), 0},
                   {L"C:\\picture.jpg", "\xff\xd8\xff", 6},
                   {L"C:\\picture.jpeg", "\xff\xd8\xff", 6}};
    const COrvanelBitmap written = Gradient();
    for (const auto& format : formats) {
        std::wstring error;
        COrvanelBitmap read;
        REQUIRE((WritePictureFile(written, format.path, error) &&
                 ReadPictureFile(format.path, read, error)));
        std::string head(3, '?');
        std::ifstream(std::filesystem::path(format.path), std::ios::binary).read(&head[0], 3);
        CHECK(head == format.head);
        REQUIRE((read.GetBitmapWidth() == 9 && read.GetBitmapHeight() == 6));
        CHECK(read.GetFilename() == format.path);
        for (int i = 0; i < 9 * 6 * 4; ++i)
            CHECK(std::abs(read.GetPtBitmap()[i] - (i % 4 == 3 ? 0 : written.GetPtBitmap()[i])) <=
                  format.tolerance);
    }
}

TEST_CASE("a file that cannot be read or written is named, the picture left as it was") {
    std::ofstream(L"C:\\words.png") << "Words, not pixels.\n";
    const struct {
        bool write;
        std::wstring path, reason;
    } cases[] = {{false, L"C:\\no-such-folder\\missing.png", L"No such file"},
                 {false, L"C:\\words.png", L"no picture this viewer can decode"},
                 {true, L"C:\\no-such-folder\\new.png", L"No such file"},
                 {true, L"C:\\picture.gif", L"must end in .png, .bmp, .jpg, .jpeg or .tga"}};
    for (const auto& failure : cases) {
        COrvanelBitmap picture = Gradient();
        std::wstring error;
        CHECK_FALSE((failure.write ? WritePictureFile(picture, failure.path, error)
                                   : ReadPictureFile(failure.path, picture, error)));
        CHECK(error.find(L"\"" + failure.path + L"\": ") != std::wstring::npos);
        CHECK(error.find(failure.reason) != std::wstring::npos);
        REQUIRE((picture.GetBitmapWidth() == 9 && picture.GetFilename().empty()));
        CHECK(std::memcmp(picture.GetPtBitmap(), Gradient().GetPtBitmap(), 9 * 6 * 4) == 0);
        CHECK((!failure.write || !std::filesystem::exists(failure.path)));
    }
}
