#pragma once
#include <windows.h>

#include <cstdint>

namespace QuilletTest {

// The lParam of a mouse message at client position (x, y); negative values as 16-bit words.
inline LPARAM MouseLParam(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint16_t>(y) << 16) |
                                                          static_cast<std::uint16_t>(x)));
}

} // namespace QuilletTest
