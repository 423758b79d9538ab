#pragma once
#include <windows.h>

namespace QuilletTest {

// While it lives, mouse messages that reach the constructing thread's queue from the real
// pointer are dropped. The tests act through sent messages, which do not pass the queue; a
// real pointer resting over a picking window would otherwise pick points of its own while a
// simulated drag is on (a window that moves under the pointer gets a move message).
class CRealMouseMuted {
public:
    CRealMouseMuted()
        : hook_(SetWindowsHookExW(WH_GETMESSAGE, &Drop, nullptr, GetCurrentThreadId())) {}
    ~CRealMouseMuted() { UnhookWindowsHookEx(hook_); }
    CRealMouseMuted(const CRealMouseMuted&) = delete;
    CRealMouseMuted& operator=(const CRealMouseMuted&) = delete;

private:
    static LRESULT CALLBACK Drop(int code, WPARAM wParam, LPARAM lParam) {
        MSG* message = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && message->message >= WM_MOUSEFIRST &&
            message->message <= WM_MOUSELAST) {
            message->message = WM_NULL;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
};

} // namespace QuilletTest
