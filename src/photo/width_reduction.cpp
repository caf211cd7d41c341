#include "photo/width_reduction.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skyrell {

namespace {

constexpr int kShift = 14;

double Lanczos3(double t) {
    t = std::abs(t);
    if (t >= 3.0) return 0.0;
    if (t < 1e-9) return 1.0;
    const double pt = std::numbers::pi * t;
    return 3.0 * std::sin(pt) * std::sin(pt / 3.0) / (pt * pt);
}

unsigned char Clamped(int sum) {
    return static_cast<unsigned char>(std::clamp((sum + (1 << (kShift - 1))) >> kShift, 0, 255));
}

// One row's output pixels [from, to) of B (at most four) bands each, every
// band's sum in a register of its own.
template <int B>
void ReduceRow(const unsigned char* in, int left, unsigned char* out, int from, int to, int taps,
               const int* first, const std::int16_t* weights) {
    for (int x = from; x < to; ++x) {
        const unsigned char* p = in + std::ptrdiff_t(first[x] - left) * B;
        const std::int16_t* w = weights + std::ptrdiff_t(x) * taps;
        int s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int k = 0; k < taps; ++k, p += B) {
            const int wk = w[k];
            s0 += wk * p[0];
            if constexpr (B > 1) s1 += wk * p[1];
            if constexpr (B > 2) s2 += wk * p[2];
            if constexpr (B > 3) s3 += wk * p[3];
        }
        unsigned char* q = out + std::ptrdiff_t(x - from) * B;
        q[0] = Clamped(s0);
        if constexpr (B > 1) q[1] = Clamped(s1);
        if constexpr (B > 2) q[2] = Clamped(s2);
        if constexpr (B > 3) q[3] = Clamped(s3);
    }
}

}  // namespace

WidthReduction::WidthReduction(int inWidth, int outWidth, int bands)
    : bands_(bands), first_(static_cast<std::size_t>(outWidth)) {
    const double factor = double(inWidth) / outWidth;
    const double support = 3.0 * factor;
    const auto centre = [&](int x) { return (x + 0.5) * factor - 0.5; };
    const auto lowest = [&](int x) { return std::max(int(std::ceil(centre(x) - support)), 0); };
    const auto highest = [&](int x) {
        return std::min(int(std::floor(centre(x) + support)), inWidth - 1);
    };
    for (int x = 0; x < outWidth; ++x) taps_ = std::max(taps_, highest(x) - lowest(x) + 1);
    weights_.assign(std::size_t(outWidth) * std::size_t(taps_), 0);

    std::vector<double> tap(static_cast<std::size_t>(taps_));
    for (int x = 0; x < outWidth; ++x) {
        const double c = centre(x);
        const int start = std::min(lowest(x), inWidth - taps_);
        first_[std::size_t(x)] = start;
        std::fill(tap.begin(), tap.end(), 0.0);
        double total = 0;
        // Taps beyond an edge fall on the edge pixel.
        for (int i = int(std::ceil(c - support)); i <= int(std::floor(c + support)); ++i) {
            const double w = Lanczos3((i - c) / factor);
            tap[std::size_t(std::clamp(i, 0, inWidth - 1) - start)] += w;
            total += w;
        }
        // Fixed point that sums to exactly one, the rounding put on the
        // largest tap, so that a flat row stays flat.
        std::int16_t* w = &weights_[std::size_t(x) * std::size_t(taps_)];
        int sum = 0;
        std::size_t largest = 0;
        for (std::size_t k = 0; k < tap.size(); ++k) {
            w[k] = static_cast<std::int16_t>(std::lround(tap[k] / total * (1 << kShift)));
            sum += w[k];
            if (tap[k] > tap[largest]) largest = k;
        }
        w[largest] = static_cast<std::int16_t>(w[largest] + ((1 << kShift) - sum));
    }
}

void WidthReduction::Reduce(const unsigned char* in, int left, unsigned char* out, int from,
                            int to) const {
    const int* first = first_.data();
    const std::int16_t* weights = weights_.data();
    switch (bands_) {
        case 1:
            return ReduceRow<1>(in, left, out, from, to, taps_, first, weights);
        case 2:
            return ReduceRow<2>(in, left, out, from, to, taps_, first, weights);
        case 3:
            return ReduceRow<3>(in, left, out, from, to, taps_, first, weights);
        case 4:
            return ReduceRow<4>(in, left, out, from, to, taps_, first, weights);
    }
    for (int x = from; x < to; ++x) {
        const unsigned char* p = in + std::ptrdiff_t(first[x] - left) * bands_;
        const std::int16_t* w = weights + std::ptrdiff_t(x) * taps_;
        for (int b = 0; b < bands_; ++b) {
            int sum = 0;
            for (int k = 0; k < taps_; ++k) sum += w[k] * p[k * bands_ + b];
            out[std::ptrdiff_t(x - from) * bands_ + b] = Clamped(sum);
        }
    }
}

}  // namespace skyrell
