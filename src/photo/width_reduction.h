#pragma once
// Lanczos3 reduction of rows of 8-bit pixels to a smaller width: the
// horizontal half of a batch resize. libvips reduces the height with its
// vector code; its reduction of the width runs a scalar loop over a tap count
// known only at run time and took a quarter of a 50 % resize. This one keeps
// the taps of every output pixel in a table made once per photo and sums each
// pixel's bands together.

#include <cstdint>
#include <vector>

namespace skyrell {

class WidthReduction {
  public:
    // Output pixel x is centred on input position (x + 0.5) * in / out - 0.5;
    // the kernel is stretched by the reduction and pixels beyond the edges
    // repeat the edge pixel. Needs 1 <= outWidth <= inWidth and bands >= 1.
    WidthReduction(int inWidth, int outWidth, int bands);

    int Taps() const { return taps_; }
    // The first input column output pixel x reads; it reads Taps() columns.
    int First(int x) const { return first_[static_cast<std::size_t>(x)]; }

    // Writes output pixels [from, to) of one row. `in` points at input column
    // `left` of the row, which must be at most First(from); the row must hold
    // the columns up to First(to - 1) + Taps().
    void Reduce(const unsigned char* in, int left, unsigned char* out, int from, int to) const;

  private:
    int bands_;
    int taps_ = 0;
    std::vector<int> first_;
    std::vector<std::int16_t> weights_;  // taps_ per output pixel, 1.0 is 1 << kShift
};

}  // namespace skyrell
