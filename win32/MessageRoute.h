#pragma once
#include <windows.h>

#include <cstddef>

namespace Orvanel::Win32 {

// One line of a window procedure's routing table: the message and the function that decodes
// its arguments, calls the object's handler and answers the message.
template <class Object, class Result> struct CMessageRoute {
    UINT message;
    Result (*route)(Object& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The table's line for the message, or null when the table does not route it.
template <class Object, class Result, std::size_t count>
const CMessageRoute<Object, Result>* FindRoute(const CMessageRoute<Object, Result> (&table)[count],
                                               UINT message) {
    for (const CMessageRoute<Object, Result>& line : table) {
        if (line.message == message) {
            return &line;
        }
    }
    return nullptr;
}

// Routes a message to the object kept in the window's user data; while none is attached (before
// its creation message, after its destruction) the default window procedure answers.
template <class Object, class Result>
Result RouteToAttached(const CMessageRoute<Object, Result>& line, HWND window, UINT message,
                       WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return line.route(*object, window, message, wParam, lParam);
}

} // namespace Orvanel::Win32
