#pragma once

namespace quorvel {

// 10^k by repeated multiplication or division, so that every power from 10^-22 to 10^22
// is the exact double of its decimal, as the 1-2-5 steps and three-digit texts need.
constexpr double powerOfTen(int k) {
    double p = 1.0;
    for (int i = 0; i < k; ++i) {
        p *= 10.0;
    }
    for (int i = 0; i > k; --i) {
        p /= 10.0;
    }
    return p;
}

}  // namespace quorvel
