#pragma once
// A user who clicks, drags, types and closes in any order, acting on a modal dialog from the
// driving thread of a CModalDriver. Every choice comes from one seeded generator, so a seed
// replays the same events.
#include <windows.h>

#include <random>
#include <vector>

namespace QuilletTest {

// What the windows of a dialog do not tell: the buttons that end it (never pressed at random)
// and the class of a child whose press opens a nested modal box over the dialog.
struct DialogSurface {
    std::vector<int> closers{IDOK, IDCANCEL};
    const wchar_t* opener = nullptr;
};

class CRandomUse {
public:
    explicit CRandomUse(unsigned long long seed) : random_(seed) {}
    // Up to `count` events on the dialog and every child window; a box opened on the way is
    // used with `nested`, then closed. False when the dialog went away or a box did not open.
    bool Use(HWND dialog, const DialogSurface& surface, int count,
             const DialogSurface& nested = {});
    // Posts a close: by the button `cancelId`, Escape, the caption, or OK when `okAllowed`.
    // Whether it was OK.
    bool Close(HWND dialog, int cancelId, bool okAllowed);
    unsigned long long Events() const { return events_; }
    unsigned long long BoxesOpened() const { return boxesOpened_; }

private:
    int Below(size_t n) { return std::uniform_int_distribution<int>(0, int(n) - 1)(random_); }
    void Gesture(HWND window, HWND dialog, const DialogSurface& surface,
                 const DialogSurface& nested, bool& fine);
    void Key(HWND window, HWND dialog);
    void Text(HWND edit);

    std::mt19937_64 random_;
    unsigned long long events_ = 0, boxesOpened_ = 0;
};

} // namespace QuilletTest
