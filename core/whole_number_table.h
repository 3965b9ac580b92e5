// A function of a whole number, computed once for every argument of a short
// range. BHD (6 to 90 cm) and slope (0 to 65 %) are whole numbers from the
// stand dialog's lists, so the powers and exponentials that the stand model
// and the time model take of them recur from stand to stand; a batch of a
// million rows or a cost curve of a thousand points need each only once.
//
// The table holds what the function itself returned (the same call of the
// same maths library), so a looked-up value never differs from a computed
// one, to the last bit. An argument beyond the table is computed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace forstrix {

template <std::size_t Size, class F>
class WholeNumberTable {
public:
    explicit WholeNumberTable(F f) : f_(f) {
        // The bound is read at run time, so that the compiler cannot unroll
        // the loop and fold a call with a constant argument into a value of
        // its own rounding.
        const volatile std::size_t size = Size;
        for (std::size_t x = 0; x < size; ++x) values_[x] = f_(static_cast<std::uint32_t>(x));
    }
    double operator()(std::uint32_t x) const { return x < Size ? values_[x] : f_(x); }

private:
    F f_;
    std::array<double, Size> values_{};
};

// The stand dialog's lists of BHD and slope both lie within 0 to 90.
inline constexpr std::size_t kStandListSize = 91;

// f over 0 ... Size - 1, e.g.
//   static const auto d_pow = tabulate([](std::uint32_t d) { return std::pow(double(d), 2.765); });
template <std::size_t Size = kStandListSize, class F>
WholeNumberTable<Size, F> tabulate(F f) {
    return WholeNumberTable<Size, F>(f);
}

}  // namespace forstrix
