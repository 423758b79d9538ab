#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Orvanel::Filter {

class CMotionBlurPlan;

// Runs a motion blur plan over a picture: reads width x height pixels, rows `stride` bytes
// apart, and writes packed rows (4 x width bytes each, fourth byte 0) to output, which must not
// overlap the source. The plan must have been made for this width and height. Rows are shared
// out between threads in bands; every pixel is computed by the same code whichever band holds
// it, so the bytes never depend on the band count.
class CMotionBlurPass {
public:
    // Works out where each tap lands; throws std::bad_alloc when memory runs out.
    CMotionBlurPass(const CMotionBlurPlan& plan, const unsigned char* source, std::ptrdiff_t stride,
                    int width, int height, unsigned char* output);

    // Blurs every row, in `bands` bands (0: as many as the work deserves). Throws
    // std::bad_alloc, before writing anything, when memory runs out.
    void Run(unsigned bands = 0) const;

private:
    void RowsInKernelOrder(int firstRow, int endRow) const;
    void RowsSummed(int firstRow, int endRow, std::uint16_t* acc) const;

    const CMotionBlurPlan& plan_;
    const unsigned char* source_;
    std::ptrdiff_t stride_;
    int width_;
    int height_;
    unsigned char* output_;
    // Bytes from a pixel to the pixel each kept tap reads.
    std::vector<std::ptrdiff_t> byteOffset_;
    // Offsets move monotonically with the tap index, so the kept taps that stay inside the
    // picture for a pixel are a prefix of them: its length per column and per row.
    std::vector<int> columnReach_;
    std::vector<int> rowReach_;
};

} // namespace Orvanel::Filter
