#include "support/DialogHarness.h"

#include "host/InterpolationBicubic.h"
#include "testing/WindowCapture.h"

#include <algorithm>
#include <cstdlib>

namespace QuilletTest {

COrvanelBitmap Pattern(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bitmap.SetColorValue(x, y, RGB(x * 7, y * 5, (x + y) * 3));
    }
    return bitmap;
}

const COLORREF kQuarterColors[4] = {RGB(220, 30, 30), RGB(30, 180, 60), RGB(40, 60, 220),
                                    RGB(240, 200, 20)};

COrvanelBitmap Quarters(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    for (int y = 0; y < height; ++y) { // buffer rows run bottom-up
        for (int x = 0; x < width; ++x) {
            const COLORREF c = kQuarterColors[(y >= height / 2 ? 0 : 2) + (x >= width / 2)];
            bitmap.SetColorValue(x, y, c + (x + y) % 32 / 2);
        }
    }
    return bitmap;
}

COrvanelBitmap Resampled(COrvanelBitmap& source, int width, int height) {
    COrvanelBitmap resampled(width, height, 32);
    COrvanelBitmap* target = &resampled;
    CInterpolationBicubic().Execute(&source, target);
    return resampled;
}

std::wstring Texts(HWND dialog, std::initializer_list<int> ids) {
    std::wstring texts;
    for (int id : ids)
        texts += (texts.empty() ? L"" : L",") + ControlText(dialog, id);
    return texts;
}

std::vector<std::wstring> ComboItems(HWND dialog, int id) {
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t text[MAX_PATH] = {};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::vector<LRESULT> SliderRanges(HWND dialog, std::initializer_list<int> ids) {
    std::vector<LRESULT> ranges;
    for (int id : ids) {
        for (UINT query : {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETPOS})
            ranges.push_back(SendDlgItemMessageW(dialog, id, query, 0, 0));
    }
    return ranges;
}

std::string Placement(HWND dialog, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

int ScreenMismatches(HWND window, const std::function<COLORREF(int x, int y)>& expected) {
    // Under wine the screen can lag what was painted, hence the repeated looks.
    int mismatches = -1;
    for (const DWORD start = GetTickCount(); mismatches != 0 && GetTickCount() - start < 10000;
         Sleep(mismatches != 0 ? 20 : 0)) {
        FinishPainting(window);
        const CWindowCapture screen(window);
        mismatches = screen.Width() > 0 ? 0 : -1;
        for (int y = 0; y < screen.Height(); ++y) {
            for (int x = 0; x < screen.Width(); ++x) {
                const COLORREF want = expected(x, y);
                mismatches += want != CLR_INVALID && screen.At(x, y) != want;
            }
        }
    }
    return mismatches;
}

int PictureMismatches(HWND window, const COrvanelBitmap& picture, int left, int top,
                      const std::function<COLORREF(int x, int y)>& around, const POINT* marker) {
    const int width = int(picture.GetBitmapWidth()), height = int(picture.GetBitmapHeight());
    return ScreenMismatches(window, [&](int x, int y) -> COLORREF {
        if (marker != nullptr && std::max(std::abs(x - marker->x), std::abs(y - marker->y)) == 3)
            return RGB(0, 0, 0);
        if (x >= left && x < left + width && y >= top && y < top + height)
            return picture.GetColorValue(x - left, height - 1 - (y - top));
        return around(x, y);
    });
}

} // namespace QuilletTest
