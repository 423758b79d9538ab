// The pieces the windows and effects build on: the theme record and its XML, the host's bitmap
// and bicubic resampler, the row bands that share pictures out between threads, and the
// runtime's random generator.
#include "filter/RuntimeRandom.h"
#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"
#include "parallel/RowBands.h"
#include "theme/Theme.h"

#include <doctest/doctest.h>
#include <rapidxml/rapidxml.hpp>
#include <rapidxml/rapidxml_print.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

using namespace Orvanel::Window;

TEST_CASE("theme: colours to and from R;G;B text; in XML the first Theme/colorBack, saves append") {
    CHECK(ColorToString(0x00FF8000) == "0;128;255");
    CHECK(ColorToString(0xFF000000) == "0;0;0"); // the unused top byte is not written
    // Each field's low byte, clamped beyond int (and long long); not three fields is black.
    CHECK(StringToColor("300;-1;abc") == 0x00FF2C);
    CHECK(StringToColor(" 12;\t34;+56x") == 0x38220C);
    CHECK(StringToColor("2147483648;-" + std::string(400, '9') + ";" + std::string(400, '9')) ==
          0xFF00FF);
    for (const char* wrongCount : {"10;20", "1;2;3;4", "1;2;3;", "", "255"})
        CHECK(StringToColor(wrongCount) == 0);
    // Same as atoi for every int; clamped beyond, where atoi is undefined.
    for (const std::string field : {"-0", "+7", "-1", "  42z", "--3", "+-3", "x9", "2147483647",
                                    "-2147483648", "-2147483391", "\n\v\f\r 65"})
        CHECK_MESSAGE(StringToColor(field + ";0;0") ==
                          (static_cast<unsigned>(std::atoi(field.c_str())) & 0xFF),
                      field);
    for (COLORREF color = 0; color <= 0xFFFFFF; color += 5355) // 0xFFFFFF is 3133 x 5355
        REQUIRE(StringToColor(ColorToString(color)) == color);
    CHECK(SplitString(";a;;", ';') == std::vector<std::string>{"", "a", "", ""});

    const COLORREF kept = 0x123456;
    const std::pair<const char*, COLORREF> cases[] = {
        {"", kept}, // no node at all
        {"<S><Theme><colorBack> 12;34;56</colorBack></Theme></S>", 0x38220C},
        {"<S><Theme><colorBack/></Theme></S>", 0}, // present but empty is black, not missing
        {"<S/>", kept},
        {"<S><Theme/></S>", kept},
        {"<S><theme><colorBack>1;2;3</colorBack></theme></S>", kept},
        {"<S><Theme><ColorBack>1;2;3</ColorBack></Theme></S>", kept},
        {"<S><x><Theme><colorBack>1;2;3</colorBack></Theme></x></S>", kept},
        {"<S><Theme><colorBack>1;1;1</colorBack><colorBack>2;2;2</colorBack></Theme>"
         "<Theme><colorBack>3;3;3</colorBack></Theme></S>",
         0x010101},
        {"<S><Theme/><Theme><colorBack>3;3;3</colorBack></Theme></S>", kept},
    };
    for (const auto& [xml, expected] : cases) {
        std::string buffer = xml; // parsed in place: must outlive doc
        rapidxml::xml_document<char> doc;
        doc.parse<0>(&buffer[0]);
        CTheme theme;
        theme.colorBack = kept;
        theme.LoadXML(doc.first_node());
        CHECK_MESSAGE(theme.colorBack == expected, std::string(xml));
    }

    rapidxml::xml_document<char> doc;
    rapidxml::xml_node<char>* root = CTheme().CreateNode(doc, "Settings", "");
    doc.append_node(root);
    // The printed form; each save appends; a null parent is ignored. The value is a temporary
    // string's: the document must hold a copy.
    CTheme theme;
    theme.SaveXML(doc, nullptr);
    theme.SaveXML(doc, root);
    theme.colorBack = 0x010203;
    theme.SaveXML(doc, root);
    std::string text;
    rapidxml::print(std::back_inserter(text), doc, rapidxml::print_no_indenting);
    CHECK(text == "<Settings><Theme><colorBack>128;128;128</colorBack></Theme>"
                  "<Theme><colorBack>3;2;1</colorBack></Theme></Settings>");
    CHECK(std::string(CTheme().CreateNode(doc, nullptr, nullptr)->name()).empty());
}

namespace {

using Grid = std::vector<unsigned long>;

// bitmapInfo, row size and buffer must always describe the current size.
void CheckInfo(const COrvanelBitmap& b) {
    const std::int32_t w = static_cast<std::int32_t>(b.GetBitmapWidth());
    const std::int32_t h = static_cast<std::int32_t>(b.GetBitmapHeight());
    const HostBitmapInfoHeader expected{40, w, h, 1, 32, 0, 4u * w * h, 0, 0, 0, 0};
    CHECK(std::memcmp(&b.bitmapInfo.bmiHeader, &expected, sizeof expected) == 0);
    CHECK(b.GetWidthSize() == 4L * w);
    CHECK((b.GetPtBitmap() == nullptr) == (w * h == 0));
}

// Width, height, then every colour in buffer order (bottom row first).
Grid Colors(const COrvanelBitmap& b) {
    Grid grid{b.GetBitmapWidth(), b.GetBitmapHeight()};
    for (int y = 0; y < static_cast<int>(b.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(b.GetBitmapWidth()); ++x)
            grid.push_back(b.GetColorValue(x, y));
    return grid;
}

// Pixel (x, y) holds 10 y + x + 1.
COrvanelBitmap Numbered(int w, int h) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetColorValue(x, y, static_cast<unsigned long>(10 * y + x + 1));
    return b;
}

} // namespace

TEST_CASE("host bitmap: construction, colour packing, bounds, copies; the print dialog's turn") {
    using Pixel = std::vector<unsigned char>;
    COrvanelBitmap b(2, 2, 32);
    const unsigned char* p = b.GetPtBitmap(); // pixel (1, 0) at byte 4, (1, 1) at byte 12
    CheckInfo(b);
    CHECK(Pixel(p, p + 16) == Pixel(16, 0));
    for (auto size : {std::pair{0, 5}, {5, -1}, {0x40000000, 1}, {65536, 65536}}) {
        COrvanelBitmap empty(size.first, size.second, 32); // empty, not a wrapped allocation
        CHECK(Colors(empty) == Grid{0, 0});
        CheckInfo(empty);
    }
    CheckInfo(COrvanelBitmap());
    b.SetColorValue(1, 0, 0x00332211); // red in the lowest byte, blue first in memory
    CHECK(Pixel(p + 4, p + 8) == Pixel{0x33, 0x22, 0x11, 0});
    CHECK(b.GetColorValue(1, 0) == 0x332211);
    b.SetColorValue(2, 0, 0xffffff); // outside: ignored, nothing written past the end
    b.SetColorValue(0, -1, 0xffffff);
    CHECK(b.GetColorValue(-1, 0) + b.GetColorValue(0, 2) == 0);
    b.SetBackgroundColor(0x00ccbbaa, 7);
    CHECK(Pixel(p + 12, p + 16) == Pixel{0xcc, 0xbb, 0xaa, 7});

    // SetBitmap copies (the copy survives its source) and flips the rows on request...
    for (bool flip : {false, true}) {
        auto source = std::make_unique<COrvanelBitmap>(Numbered(2, 3));
        b.SetBitmap(source->GetPtBitmap(), 2, 3, flip, true);
        source.reset();
        CHECK(Colors(b) == (flip ? Grid{2, 3, 21, 22, 11, 12, 1, 2} : Colors(Numbered(2, 3))));
    }
    // ...accepts its own buffer, also smaller and flipped, and empties on null.
    b = Numbered(3, 2);
    b.SetBitmap(b.GetPtBitmap(), 3, 2, false, true);
    CHECK(Colors(b) == Colors(Numbered(3, 2)));
    b.SetBitmap(b.GetPtBitmap(), 2, 2, true, true); // the first 4 pixels as 2 x 2, flipped
    CHECK(Colors(b) == Grid{2, 2, 3, 11, 1, 2});
    CheckInfo(b);
    b.SetBitmap(nullptr, 3, 2, false, true);
    CHECK(Colors(b) == Grid{0, 0});
    CheckInfo(b);
    CHECK(b.Rotation90() + b.HorzFlipBuf() == 0); // nothing to turn

    // The print dialog's two calls turn it a quarter turn and back.
    b = Numbered(5, 3);         // every pixel distinct
    CHECK(b.Rotation90() == 1); // the diagonal reflection alone
    CHECK(Colors(b) == Grid{3, 5, 1, 11, 21, 2, 12, 22, 3, 13, 23, 4, 14, 24, 5, 15, 25});
    CheckInfo(b);
    // Ticked: a true quarter turn, not a mirror image. Counter-clockwise on screen (the buffer's
    // rows run bottom-up): the top row (21 ... 25) becomes the left column, read upwards.
    CHECK(b.HorzFlipBuf() == 1);
    CHECK(Colors(b) == Grid{3, 5, 21, 11, 1, 22, 12, 2, 23, 13, 3, 24, 14, 4, 25, 15, 5});
    b.HorzFlipBuf(); // unticked: back byte for byte
    b.Rotation90();
    CHECK(std::memcmp(b.GetPtBitmap(), Numbered(5, 3).GetPtBitmap(), 5 * 3 * 4) == 0);
    b = Numbered(4, 2);
    CHECK(b.HorzFlipBuf() == 1);
    CHECK(Colors(b) == Grid{4, 2, 4, 3, 2, 1, 14, 13, 12, 11});
}

namespace {

using Picture = std::function<int(int, int)>;

// Fills every byte of each pixel (the fourth one too) with value(x, y).
COrvanelBitmap Make(int w, int h, const Picture& value) {
    COrvanelBitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memset(b.GetPtBitmap() + y * b.GetWidthSize() + 4 * x, value(x, y), 4);
    return b;
}

COrvanelBitmap Resample(COrvanelBitmap& src, int w, int h, unsigned bands = 0) {
    COrvanelBitmap dst(w, h, 32);
    COrvanelBitmap* out = &dst;
    bands == 0 ? CInterpolationBicubic().Execute(&src, out)
               : CInterpolationBicubic().ExecuteInBands(&src, out, bands);
    return dst;
}

int Byte(const COrvanelBitmap& b, int x, int y, int channel = 0) {
    return b.GetPtBitmap()[y * b.GetWidthSize() + 4 * x + channel];
}

// Largest distance of any byte of any pixel from expected(x, y).
int MaxError(const COrvanelBitmap& b, const Picture& expected) {
    int worst = 0;
    for (int y = 0; y < static_cast<int>(b.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(b.GetBitmapWidth()); ++x)
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(Byte(b, x, y, c) - expected(x, y)));
    return worst;
}

Picture Constant(int value) {
    return [=](int, int) { return value; };
}

} // namespace

TEST_CASE("resampler: constants stay constant, same size copies, null or empty does nothing; "
          "shrinking averages, enlarging keeps orientation, bands change nothing") {
    for (int value : {0, 1, 128, 255}) {
        COrvanelBitmap src = Make(37, 23, Constant(value));
        for (auto size : {std::pair{5, 3}, {1, 1}, {1, 40}, {80, 7}, {111, 69}})
            CHECK(MaxError(Resample(src, size.first, size.second), Constant(value)) == 0);
    }
    COrvanelBitmap src = Make(9, 4, [](int x, int y) { return (x * 37 + y * 91) & 255; });
    src.GetPtBitmap()[3] = 200;
    CHECK(std::memcmp(Resample(src, 9, 4).GetPtBitmap(), src.GetPtBitmap(), 9 * 4 * 4) == 0);

    COrvanelBitmap dst = Make(2, 2, Constant(1)), empty;
    COrvanelBitmap *none = nullptr, *toDst = &dst, *toEmpty = &empty;
    CInterpolationBicubic bicubic;
    bicubic.Execute(&src, none);
    bicubic.Execute(nullptr, toDst);
    bicubic.Execute(&empty, toDst);
    bicubic.Execute(&src, toEmpty);
    CHECK(MaxError(dst, Constant(1)) == 0);
    CHECK(empty.GetPtBitmap() == nullptr);

    // A checkerboard 7.27 times smaller, big enough to be split between threads.
    COrvanelBitmap board = Make(1600, 1200, [](int x, int y) { return (x + y) % 2 * 255; });
    CHECK(MaxError(Resample(board, 220, 165), Constant(127)) <= 3);

    // Enlarging is mirror-symmetric and keeps the orientation.
    COrvanelBitmap quad =
        Make(2, 2, [](int x, int y) { return x ? (y ? 250 : 200) : (y ? 90 : 10); });
    COrvanelBitmap mirrored = quad;
    mirrored.HorzFlipBuf();
    const COrvanelBitmap a = Resample(quad, 8, 7), b = Resample(mirrored, 8, 7);
    CHECK(MaxError(b, [&](int x, int y) { return Byte(a, 7 - x, y); }) <= 1);
    CHECK((Byte(a, 0, 0) < Byte(a, 0, 6) && Byte(a, 0, 6) < Byte(a, 7, 0)));

    // The bytes do not depend on how many bands the rows are shared out in.
    COrvanelBitmap detail =
        Make(301, 203, [](int x, int y) { return (x * x * 7 + y * 13 + x * y) & 255; });
    for (auto [w, h] : {std::pair{97, 61}, {410, 257}, {33, 200}}) {
        const COrvanelBitmap usual = Resample(detail, w, h);
        for (unsigned bands : {1u, 2u, 7u, 64u})
            CHECK_MESSAGE(std::memcmp(Resample(detail, w, h, bands).GetPtBitmap(),
                                      usual.GetPtBitmap(), 4u * w * h) == 0,
                          w << "x" << h << " in " << bands << " bands");
    }
}

namespace {

using Orvanel::Parallel::CRowBands;

// Runs the bands, checks that every row was computed once, and gives the bands that the
// caller's thread ran, in order; the others had threads of their own.
std::vector<unsigned> RunBands(const CRowBands& bands, int rows,
                               const CRowBands::ThreadStarter* start = nullptr) {
    std::vector<int> timesComputed(static_cast<std::size_t>(rows));
    std::vector<unsigned> onCaller;
    std::mutex mutex;
    const std::thread::id caller = std::this_thread::get_id();
    const CRowBands::Job job = [&](unsigned band, int first, int end) {
        const std::lock_guard<std::mutex> lock(mutex);
        for (int row = first; row < end; ++row)
            ++timesComputed[static_cast<std::size_t>(row)];
        if (std::this_thread::get_id() == caller)
            onCaller.push_back(band);
    };
    start ? bands.Run(job, *start) : bands.Run(job);
    CHECK(timesComputed == std::vector<int>(static_cast<std::size_t>(rows), 1));
    return onCaller;
}

} // namespace

TEST_CASE("row bands split the rows in order and every row is computed once") {
    for (int rows : {0, 1, 2, 7, 300, 1001})
        for (unsigned bands : {0u, 1u, 2u, 3u, 7u, 64u, 500u}) {
            INFO(rows << " rows in " << bands << " bands");
            const CRowBands split(rows, bands);
            const unsigned expected =
                rows == 0 ? 0u : std::min({std::max(bands, 1u), 64u, static_cast<unsigned>(rows)});
            REQUIRE(split.Count() == expected);
            CHECK((split.First(0) == 0 && split.End(std::max(expected, 1u) - 1) == rows));
            for (unsigned band = 0; band < split.Count(); ++band)
                CHECK(split.First(band) < split.End(band)); // consecutive, none empty
            CHECK(RunBands(split, rows) == std::vector<unsigned>(rows == 0 ? 0 : 1, 0u));
        }

    // A band whose thread cannot start runs on the caller's thread, in band order. Bands 1 to 6
    // ask in order; 2, 3 and 5 get no thread: one start throws as std::thread does, one runs
    // out of memory, one hands back an empty thread.
    int calls = 0;
    const CRowBands::ThreadStarter stingy = [&calls](std::function<void()> task) {
        if (++calls == 2)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        if (calls == 3)
            throw std::bad_alloc();
        return calls == 5 ? std::thread() : std::thread(std::move(task));
    };
    CHECK(RunBands(CRowBands(60, 7), 60, &stingy) == std::vector<unsigned>{0, 2, 3, 5});
}

TEST_CASE("the runtime's generator: state 1 on a new thread, its formula, one per thread") {
    using Orvanel::Filter::RuntimeRand;
    int first = 0;
    std::thread([&] { first = RuntimeRand(); }).join(); // nothing has drawn there yet
    CHECK(first == 41);
    // Seeding restarts the sequence; another thread's draws leave this one's where it was.
    Orvanel::Filter::SeedRuntimeRand(1);
    CHECK(RuntimeRand() == 41);
    std::thread(RuntimeRand).join();
    CHECK(RuntimeRand() == 18467);
    CHECK(RuntimeRand() == 6334);
    // The state wraps at 32 bits: -214013 + 2531011 is 2316998, whose bits 16 to 30 are 35.
    Orvanel::Filter::SeedRuntimeRand(0xFFFFFFFFu);
    CHECK(RuntimeRand() == 35);
}
