#pragma once
// Quillet's image effects for hosts: the renderers behind the motion blur and lens flare
// previews, over a plain pixel buffer, so that a host applies the parameters a dialog returned
// to its full-size image and gets exactly the pixels the preview promised. A static library
// (Quillet::Effects), built for Windows hosts and for Linux tools alike; no Win32, no host
// bitmap class, no dialog.
//
// The buffer is laid out as the host bitmap holds its pixels: 4 bytes a pixel (blue, green,
// red, a fourth byte), row 0 at the BOTTOM of the picture, `stride` bytes from the start of one
// row to the start of the next (at least 4 x width; the bytes between rows are never touched).
// Both functions draw in place, write the fourth byte of every pixel they change as 0, and
// return false without changing a byte where they refuse.
//
// Thread safety: neither keeps any state; calls on different buffers may run on any threads
// at once. The blur shares its rows out between worker threads of its own and returns when
// they are done.

namespace Quillet {

// Smears every pixel along one direction with a one-sided Gaussian, as the motion blur dialog
// previews it.
//   radius  in pixels: a kernel of 2 x ceil(radius) + 1 taps; 0 or less lets sigma pick the
//           length (the taps until the Gaussian's last one, times 255, is 0)
//   sigma   the Gaussian's standard deviation in pixels
//   angle   the direction in degrees: 0 toward higher buffer rows (up the picture), 90 toward
//           higher columns (to the right); each pixel takes from those that follow it that way
// Refused (false, pixels untouched): pixels null, width or height 0, a stride below
// 4 x width, sigma 0 or not finite (0 means "no blur": the host keeps its picture), a kernel
// longer than 1048576 taps, a sigma so small that the taps are not finite (below about
// 1e-155), an angle too large to turn into radians, a picture too large to address, or memory
// running out.
bool ApplyMotionBlur(unsigned char* pixels, unsigned width, unsigned height, long stride,
                     double radius, double sigma, double angle);

// Paints a lens flare: a light source at (x, y) with its ring, glow and white rays, and a chain
// of rings, glows and reflection discs through the picture's centre to the far side, as the
// lens flare dialog previews it.
//   x, y        the source in buffer coordinates: column x from the left, buffer row y (0 is
//               the BOTTOM row); it may lie outside the picture. The values the dialog returns
//               are these coordinates for the bitmap the host passed to it.
//   size        the flare's scale in pixels, 0 or more
//   brightness  0 ... 100: the source's glow reaches brightness x size / 10 pixels
//   hue         the base hue in degrees, -1000000 ... 1000000 (the colour model takes it
//               modulo 360)
//   intensity   colour intensity in percent, 0 ... 100
// Refused (false, pixels untouched): pixels null, width or height 0 or above 2^31 - 1, a
// stride below 4 x width, a parameter outside the ranges above, or a flare that would reach
// more than 2^30 pixels from the picture's origin (a large size with the source far off the
// centre, on an almost vertical axis).
//
// The rays take 722 numbers from the C runtime's generator of the CALLING thread (none when
// brightness x size is below 20), exactly as the dialog's preview does, and the library never
// seeds it. On Windows that is the runtime's rand(): to draw the rays of another run, the host
// calls srand() on that thread first (a new thread starts as after srand(1)). On Linux it is
// the library's own copy of that generator, one per thread, starting from the same first
// state; the system's srand() does not reach it, so a new thread's first flare draws the same
// rays as a Windows thread's first. Nothing in loading Quillet.dll, Halvory.dll or this library
// seeds the generator or draws from it.
bool ApplyLensFlare(unsigned char* pixels, unsigned width, unsigned height, long stride, int x,
                    int y, int size, int brightness, int hue, int intensity);

} // namespace Quillet
