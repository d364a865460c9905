#include <powercalc/power.hpp>

#include <cstdint>
#include <stdexcept>
#include <utility>

// How the recursion is kept exact and shallow: each product is formed in 64 bits as the calls
// return and must fit in 32, or the result is refused, so nothing wraps. A base of magnitude 2
// or more leaves the range at every exponent above 31, which is refused before the first call,
// so the depth is at most 31; bases 0, 1 and -1 never leave it and are answered directly.

namespace powercalc {

namespace {

constexpr std::int32_t largest_exponent_in_range = 31;

[[noreturn]] void refuse_out_of_range() {
  throw std::overflow_error("powercalc::power: result outside the 32-bit signed range");
}

// One call per unit of the exponent, multiplying by the base on the way back.
std::int32_t raise(std::int32_t base, std::int32_t exponent) {
  if (exponent == 0) {
    return 1;
  }
  const std::int64_t product = std::int64_t{raise(base, exponent - 1)} * base;
  if (!std::in_range<std::int32_t>(product)) {
    refuse_out_of_range();
  }
  return static_cast<std::int32_t>(product);
}

}  // namespace

std::int32_t power(std::int32_t base, std::int32_t exponent) {
  if (exponent < 0) {
    throw std::domain_error("powercalc::power: exponent must be 0 or more");
  }
  if (exponent == 0 || base == 1) {
    return 1;
  }
  if (base == 0) {
    return 0;
  }
  if (base == -1) {
    return exponent % 2 == 0 ? 1 : -1;
  }
  if (exponent > largest_exponent_in_range) {
    refuse_out_of_range();
  }
  return raise(base, exponent);
}

}  // namespace powercalc
