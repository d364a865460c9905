#include "power.hpp"

#include <array>
#include <iterator>
#include <stdexcept>

namespace powercalc {

namespace {

// For each exponent e from 2 to 31, the largest m with m^e <= INT32_MAX: the integer e-th root
// of the top of the range. A base of magnitude 2 or more overflows at every exponent from 32 on.
constexpr std::array<std::int64_t, 32> largest_base_magnitude = {
    0, 0, 46340, 1290, 215, 73, 35, 21, 14, 10, 8, 7, 5, 5, 4, 4,
    3, 3, 3,     3,    2,   2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 1};

// Decides in advance, exactly, whether base^exponent lies in the 32-bit range, for |base| >= 2
// and exponent >= 1, so that the recursion below can multiply without checking.
bool fits(std::int32_t base, std::int32_t exponent) {
  if (exponent == 1) {
    return true;
  }
  if (exponent >= std::ssize(largest_base_magnitude)) {
    return false;
  }
  // The range reaches one further below zero than above it; the only power that lands on that
  // extra value is (-2)^31.
  if (base == -2 && exponent == 31) {
    return true;
  }
  const std::int64_t magnitude = base < 0 ? -std::int64_t{base} : std::int64_t{base};
  return magnitude <= largest_base_magnitude.at(static_cast<std::size_t>(exponent));
}

// The recursion itself: one call per unit of the exponent, multiplying by the base on the way
// back. Callers guarantee that the result fits, so no product can overflow.
std::int32_t raise(std::int32_t base, std::int32_t exponent) {
  if (exponent == 0) {
    return 1;
  }
  return raise(base, exponent - 1) * base;
}

}  // namespace

std::int32_t power(std::int32_t base, std::int32_t exponent) {
  if (exponent < 0) {
    throw std::domain_error("powercalc::power: exponent must be 0 or more");
  }
  if (exponent == 0) {
    return 1;
  }
  // These bases never overflow, so nothing else bounds their recursion: answer them directly.
  if (base == 0 || base == 1) {
    return base;
  }
  if (base == -1) {
    return exponent % 2 == 0 ? 1 : -1;
  }
  if (!fits(base, exponent)) {
    throw std::overflow_error("powercalc::power: result outside the 32-bit signed range");
  }
  return raise(base, exponent);
}

}  // namespace powercalc
