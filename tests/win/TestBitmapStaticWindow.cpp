// The bitmap display window: the scaled copy it builds, what it paints, and where a click goes.
#include "host/OrvanelBitmap.h"
#include "module/ModuleInstance.h"
#include "support/MouseLParam.h"
#include "demo/WindowCapture.h"
#include "window/BitmapStaticWindow.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

using namespace Orvanel::Window;
using QuilletDemo::CWindowCapture;
using QuilletTest::MouseLParam;

namespace {

// A parent wrapper that records the double clicks its children forward.
class CRecordingParent : public CLocalWindow {
public:
    using CLocalWindow::CLocalWindow;
    int doubleClicks = 0;
    unsigned int keys = 0;
    int x = 0, y = 0;
    LRESULT OnLButtonDblClk(unsigned int& k, int& px, int& py) override {
        ++doubleClicks;
        keys = k;
        x = px;
        y = py;
        return 0;
    }
};

struct Host {
    HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 30, 30, 700, 500,
                                  nullptr, nullptr, nullptr, nullptr);
    CRecordingParent wrapper{window};
    Host() { Orvanel::SetModuleInstance(GetModuleHandleW(nullptr)); }
    ~Host() { DestroyWindow(window); }
};

// Every pixel different, so that a misplaced row or column shows.
std::unique_ptr<COrvanelBitmap> Pattern(int width, int height) {
    auto bitmap = std::make_unique<COrvanelBitmap>(width, height, 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap->SetColorValue(x, y, static_cast<unsigned long>(RGB(x * 7, y * 5, (x + y) * 3)));
        }
    }
    return bitmap;
}

// Client size exactly w x h whatever the edge style adds.
CWindowPlacement PlacementForClient(int w, int h) {
    RECT rect{0, 0, w, h};
    AdjustWindowRectEx(&rect, WS_CHILD, FALSE, WS_EX_STATICEDGE);
    return {5, 5, rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

TEST_CASE("the scaled copy is fitted, centred and painted on the theme colour") {
    Host host;
    auto source = Pattern(400, 200);
    CBitmapStaticWindow view;
    const CWindowPlacement placement = PlacementForClient(260, 260);
    view.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"PreviewWindow", &placement);
    REQUIRE((view.GetWidth() == 260 && view.GetHeight() == 260));
    CHECK((view.doubleBuffered && view.theme.colorBack == 4));

    SUBCASE("without a source only the background shows") {
        view.Redraw();
        CWindowCapture screen(view.window);
        CHECK(screen.At(130, 130) == RGB(4, 0, 0));
        CHECK(view.scaledBitmap == nullptr);
    }
    SUBCASE("a 400 x 200 picture becomes 260 x 130 at (0, 65)") {
        view.sourceBitmap = source.get();
        view.UpdateScaledBitmap();
        view.Redraw();
        REQUIRE(view.scaledBitmap != nullptr);
        CHECK((view.scaledBitmap->GetBitmapWidth() == 260 &&
               view.scaledBitmap->GetBitmapHeight() == 130));
        CHECK((view.xPos == 0 && view.yPos == 65));

        // On screen: background above and below, the scaled copy in between, top row of the
        // picture (last buffer row) first.
        CWindowCapture screen(view.window);
        CHECK(screen.At(10, 64) == RGB(4, 0, 0));
        CHECK(screen.At(10, 195) == RGB(4, 0, 0));
        for (int y : {0, 1, 64, 128, 129}) {
            for (int x : {0, 1, 100, 259}) {
                INFO("scaled pixel " << x << ", " << y);
                CHECK(screen.At(x, 65 + y) == view.scaledBitmap->GetColorValue(x, 129 - y));
            }
        }
    }
    SUBCASE("a resize of the visible window rebuilds the copy") {
        view.sourceBitmap = source.get();
        SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MouseLParam(200, 300));
        REQUIRE(view.scaledBitmap != nullptr);
        CHECK((view.scaledBitmap->GetBitmapWidth() == 200 &&
               view.scaledBitmap->GetBitmapHeight() == 100 && view.yPos == 100));
        // A window of zero height leaves the copy as it was.
        COrvanelBitmap* before = view.scaledBitmap;
        SendMessageW(view.window, WM_SIZE, SIZE_RESTORED, MouseLParam(200, 0));
        CHECK(view.scaledBitmap == before);
    }
}

TEST_CASE("at factor 1 the pixels are copied, and flat pictures keep a row") {
    Host host;
    CBitmapStaticWindow view;
    const CWindowPlacement placement = PlacementForClient(50, 50);
    view.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"PreviewWindow", &placement);

    auto square = Pattern(50, 50);
    view.sourceBitmap = square.get();
    view.UpdateScaledBitmap();
    REQUIRE(view.scaledBitmap != nullptr);
    COrvanelBitmap* reused = view.scaledBitmap;
    CHECK(view.scaledBitmap->GetPtBitmap() != square->GetPtBitmap());
    CHECK(std::equal(square->GetPtBitmap(), square->GetPtBitmap() + 50 * 50 * 4,
                     view.scaledBitmap->GetPtBitmap()));
    view.UpdateScaledBitmap();
    CHECK(view.scaledBitmap == reused); // the existing copy is reused

    auto flat = Pattern(3000, 4);
    view.sourceBitmap = flat.get();
    view.UpdateScaledBitmap();
    CHECK((view.scaledBitmap->GetBitmapWidth() == 50 && view.scaledBitmap->GetBitmapHeight() == 1));
    CHECK(view.yPos == 24);

    COrvanelBitmap empty;
    view.sourceBitmap = &empty;
    view.UpdateScaledBitmap(); // nothing to fit: the copy stays
    CHECK(view.scaledBitmap->GetBitmapHeight() == 1);
    view.sourceBitmap = nullptr;
}

TEST_CASE("a click and a double click reach the parent as a double click") {
    Host host;
    CBitmapStaticWindow view;
    const CWindowPlacement placement = PlacementForClient(100, 100);
    view.CreateLocalWindow(&host.wrapper, WS_CHILD | WS_VISIBLE, L"PreviewWindow", &placement);
    CHECK(SendMessageW(view.window, WM_LBUTTONDOWN, MK_LBUTTON, MouseLParam(12, 34)) == 0);
    CHECK((host.wrapper.doubleClicks == 1 && host.wrapper.keys == MK_LBUTTON));
    CHECK((host.wrapper.x == 12 && host.wrapper.y == 34));
    SendMessageW(view.window, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, MouseLParam(-3, 7));
    CHECK((host.wrapper.doubleClicks == 2 && host.wrapper.keys == (MK_LBUTTON | MK_CONTROL)));
    CHECK((host.wrapper.x == -3 && host.wrapper.y == 7));
}
