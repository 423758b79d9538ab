#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace QuilletTest {

// The first visible dialog window (class #32770) of the given thread, or null. Searching the
// thread's own windows keeps a dialog of another process from being picked up.
HWND FindThreadDialog(DWORD threadId);

// A visible dialog window owned by `owner`, shown by any thread (the system's print dialog
// that a print thread opens over its cancel box), waited for up to timeoutMs; null if none.
HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = 10000);

// Text of a window or of a dialog control, read from any thread.
std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int controlId);

// Drives the modal dialog that the constructing thread is about to open, for the demo's tour
// and for the tests: a second thread waits for the dialog, runs `drive` with its handle
// (which acts as the user would, usually ending with the closing command) and then waits for
// the dialog to go away. A watchdog closes a dialog that is still open after the timeout, so
// that nothing can hang, and reports it through WatchdogFired().
// Until Join, the mouse messages that reach the constructing thread's queue from the real
// pointer are dropped. `drive` acts through sent messages, which do not pass the queue; a real
// pointer resting over a picking window would otherwise pick points of its own during a
// simulated drag (a window that appears or moves under the pointer gets a move message).
class CModalDriver {
public:
    explicit CModalDriver(std::function<void(HWND)> drive, DWORD timeoutMs = 15000);
    ~CModalDriver();

    CModalDriver(const CModalDriver&) = delete;
    CModalDriver& operator=(const CModalDriver&) = delete;

    // Call after the modal call returned; waits for the driving thread to finish.
    void Join();
    bool DialogFound() const { return dialogFound_; }
    bool WatchdogFired() const { return watchdogFired_; }

private:
    void Run();

    std::function<void(HWND)> drive_;
    DWORD timeoutMs_;
    DWORD uiThreadId_;
    HHOOK mutedMouse_;
    std::atomic<bool> modalReturned_{false};
    std::atomic<bool> dialogFound_{false};
    std::atomic<bool> watchdogFired_{false};
    std::thread thread_;
};

} // namespace QuilletTest
