#pragma once

#include <cstdint>
#include <limits>
#include <optional>

// The tests' independent reference: base^exponent where it fits in 32 bits, for a base within
// 32 bits and an exponent of 0 or more. Squaring instead of linear recursion, on magnitudes capped
// just past the range so that no product of two of them can overflow 64 bits.
inline std::optional<std::int32_t> reference_power(std::int64_t base, std::int64_t exponent) {
  constexpr std::uint64_t cap = (std::uint64_t{1} << 31U) + 1;
  const auto capped_product = [](std::uint64_t a, std::uint64_t b) {
    return a * b > cap ? cap : a * b;
  };
  std::uint64_t magnitude = 1;
  std::uint64_t square =
      base < 0 ? static_cast<std::uint64_t>(-base) : static_cast<std::uint64_t>(base);
  square = square > cap ? cap : square;
  for (std::int64_t rest = exponent; rest > 0; rest /= 2) {
    if (rest % 2 == 1) {
      magnitude = capped_product(magnitude, square);
    }
    square = capped_product(square, square);
  }
  const bool negative = base < 0 && exponent % 2 == 1;
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}
