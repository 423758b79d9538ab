// The demo viewer's image files, through each format it writes and back, and through failures.
#include "demo/PictureFile.h"
#include "host/OrvanelBitmap.h"

#include <doctest/doctest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

using namespace QuilletDemo;
using Row = std::tuple<std::wstring, std::string, int>;

TEST_CASE("files keep the picture's colours; a failure names the file and the reason") {
    // Smooth enough for JPEG, and no two pixels alike.
    COrvanelBitmap picture(9, 6, 32), read;
    for (int i = 0, c = 0; i < 9 * 6 * 4; c = ++i % 4)
        picture.GetPtBitmap()[i] = c == 3 ? 0 : 8 * ((c + 1) * (i / 4 % 9) + (3 - c) * (i / 36));
    std::wstring error;
    // A 9 x 6 BMP holds 54 bytes of headers and 6 rows of 28; TGA is run-length true colour.
    for (const auto& [path, head, tolerance] :
         {Row{L"C:\\\u00e9t\u00e9-\u03b1.png", "\x89PN", 0}, Row{L"C:\\p.jpeg", "\xff\xd8\xff", 6},
          Row{L"C:\\p.tga", {"\0\0\x0a", 3}, 0}, Row{L"C:\\p.BMP", "BM\xde", 0}}) {
        REQUIRE((WritePictureFile(picture, path, error) && ReadPictureFile(path, read, error)));
        std::string start(3, '?');
        std::ifstream(std::filesystem::path(path), std::ios::binary).read(&start[0], 3);
        CHECK(start == head);
        REQUIRE((read.GetBitmapWidth() == 9 && read.GetBitmapHeight() == 6));
        for (int i = 0; i < 9 * 6 * 4; ++i)
            CHECK(std::abs(read.GetPtBitmap()[i] - picture.GetPtBitmap()[i]) <= tolerance);
    }

    // The BMP read last stays in `read`; a name the writer does not know creates no file.
    CHECK_FALSE(WritePictureFile(read, L"C:\\p.gif", error));
    CHECK(error.find(L"\"C:\\p.gif\": the name must end in .png, .bmp, .jpg") != error.npos);
    CHECK_FALSE(ReadPictureFile(L"C:\\p.gif", read, error));
    CHECK(error.find(L"\"C:\\p.gif\": No such file") != error.npos);
    CHECK_FALSE(ReadPictureFile(L"C:\\windows\\win.ini", read, error));
    CHECK(error.find(L"\"C:\\windows\\win.ini\": the file holds no picture") != error.npos);
    CHECK((read.GetFilename() == L"C:\\p.BMP" && read.GetBitmapWidth() == 9 &&
           std::memcmp(read.GetPtBitmap(), picture.GetPtBitmap(), 9 * 6 * 4) == 0));
}
