#include "power.hpp"

#include <stdexcept>
#include <utility>

namespace powercalc {

namespace {

// |base| >= 2 means |base|^32 >= 2^32, beyond the range whatever the sign.
constexpr std::int32_t first_overflowing_exponent = 32;

[[noreturn]] void throw_out_of_range() {
  throw std::overflow_error("powercalc::power: result outside the 32-bit signed range");
}

std::int32_t checked_multiply(std::int32_t lhs, std::int32_t rhs) {
  // The 64-bit product of two 32-bit values cannot overflow, so the range test itself is safe.
  const std::int64_t product = std::int64_t{lhs} * rhs;
  if (!std::in_range<std::int32_t>(product)) {
    throw_out_of_range();
  }
  return static_cast<std::int32_t>(product);
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
  if (exponent >= first_overflowing_exponent) {
    throw_out_of_range();
  }
  return checked_multiply(power(base, exponent - 1), base);
}

}  // namespace powercalc
