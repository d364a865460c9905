#include <powercalc/power.hpp>

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <stdexcept>

// How the recursion is kept exact and shallow: whether the result fits is settled before the
// first call, against a table of the integer e-th roots of INT32_MAX computed at compile time, so
// no product can overflow and an out-of-range result throws at once. Bases 0, 1 and -1 never
// overflow and are answered directly; every other base has a magnitude of 2 or more, so its
// exponent is at most 31 and so is the depth of the recursion. Optimising, GCC turns the
// recursion into a loop.

namespace powercalc {

namespace {

constexpr std::int64_t int32_max = std::numeric_limits<std::int32_t>::max();

// The largest m with m^exponent <= INT32_MAX, by bisection: the integer root of the range's top.
constexpr std::int64_t largest_base_for(int exponent) {
  // base^exponent, or int32_max + 1 where that is larger, so that every product stays below 2^62.
  const auto capped_power = [exponent](std::int64_t base) {
    std::int64_t product = 1;
    for (int factors = 0; factors < exponent; ++factors) {
      product = std::min(product * base, int32_max + 1);
    }
    return product;
  };
  std::int64_t fitting = 1;
  std::int64_t too_large = int32_max + 1;
  while (too_large - fitting > 1) {
    const std::int64_t middle = fitting + (too_large - fitting) / 2;
    if (capped_power(middle) <= int32_max) {
      fitting = middle;
    } else {
      too_large = middle;
    }
  }
  return fitting;
}

// Indexed by the exponent. A base of magnitude 2 or more overflows at every exponent from 32 on.
constexpr std::array<std::int64_t, 32> largest_base_table() {
  std::array<std::int64_t, 32> table{};
  for (std::size_t exponent = 0; exponent < table.size(); ++exponent) {
    table.at(exponent) = largest_base_for(static_cast<int>(exponent));
  }
  return table;
}

constexpr auto largest_base_magnitude = largest_base_table();

static_assert(largest_base_magnitude[2] == 46340 && largest_base_magnitude[3] == 1290);
static_assert(largest_base_magnitude[4] == 215 && largest_base_magnitude[19] == 3);
static_assert(largest_base_magnitude[20] == 2 && largest_base_magnitude[30] == 2);
static_assert(largest_base_magnitude[31] == 1);

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
