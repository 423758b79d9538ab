#pragma once

namespace Orvanel::Window {

// What a picking window tells its owner: the picked pixel of the picture as shown, origin at
// the picture's top-left corner, y growing downwards. The owner may change x and y; the
// result is not used. The window never deletes its owner, so no virtual destructor.
class CBitmapStaticWindowSelectorInterface {
public:
    virtual int SelectPoint(int& x, int& y) = 0;
};

} // namespace Orvanel::Window
