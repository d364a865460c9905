#include <powercalc/power.hpp>

#include <cstdint>
#include <stdexcept>
#include <utility>

// Linear and exact: one call per unit of the exponent, each product formed in 64 bits as the
// calls return and refused unless it fits in 32. Bases 0, 1 and -1 never leave the range and are
// answered directly; any other leaves it past exponent 31, refused before the first call.

namespace powercalc {
namespace {

[[noreturn]] void refuse_out_of_range() {
  throw std::overflow_error("powercalc::power: result outside the 32-bit signed range");
}

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
  if (exponent == 0) {
    return 1;
  }
  if (base == 0 || base == 1) {
    return base;
  }
  if (base == -1) {
    return exponent % 2 == 0 ? 1 : -1;
  }
  if (exponent > 31) {  // so the depth stays at most 31
    refuse_out_of_range();
  }
  return raise(base, exponent);
}

}  // namespace powercalc
