#include <powercalc/power.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "reference_power.hpp"

namespace {

using powercalc::power;

constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();

struct Case {
  std::int32_t base;
  std::int32_t exponent;
  std::int32_t expected;
};

TEST(Power, ExactWhereTheResultFits) {
  const std::vector<Case> cases = {{3, 4, 81},
                                   {-2, 3, -8},
                                   {2, 5, 32},
                                   {7, 0, 1},
                                   {0, 0, 1},
                                   {int_min, 0, 1},
                                   {0, 1, 0},
                                   {0, 31, 0},
                                   {5, 1, 5},
                                   {int_min, 1, int_min},
                                   {int_max, 1, int_max},
                                   {1, 30, 1},
                                   {-1, 2, 1},
                                   {-1, 3, -1},
                                   {2, 30, 1 << 30},
                                   {-2, 31, int_min},
                                   {46340, 2, 2147395600},
                                   {-46340, 2, 2147395600},
                                   {1290, 3, 2146689000},
                                   {-1290, 3, -2146689000},
                                   {3, 19, 1162261467}};
  for (const auto& [base, exponent, expected] : cases) {
    EXPECT_EQ(power(base, exponent), expected) << base << "^" << exponent;
  }
}

TEST(Power, TrivialBasesAnswerHugeExponentsWithoutRecursing) {
  const std::vector<Case> cases = {{0, int_max, 0},      {1, int_max, 1},   {-1, int_max, -1},
                                   {-1, int_max - 1, 1}, {0, 1'000'000, 0}, {1, 1'000'000, 1}};
  for (const auto& [base, exponent, expected] : cases) {
    EXPECT_EQ(power(base, exponent), expected) << base << "^" << exponent;
  }
}

TEST(Power, NegativeExponentThrowsDomainError) {
  for (const std::int32_t base : {0, 1, -1, 2, int_min, int_max}) {
    for (const std::int32_t exponent : {-1, -2, int_min}) {
      EXPECT_THROW(static_cast<void>(power(base, exponent)), std::domain_error)
          << base << "^" << exponent;
    }
  }
}

TEST(Power, OutOfRangeThrowsOverflowError) {
  const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
      {2, 31},      {-2, 32},     {2, 32},       {46341, 2},   {-46341, 2},        {1291, 3},
      {int_min, 2}, {int_max, 2}, {int_min, 31}, {2, int_max}, {int_min, int_max}, {-3, 1'000'000}};
  for (const auto& [base, exponent] : cases) {
    EXPECT_THROW(static_cast<void>(power(base, exponent)), std::overflow_error)
        << base << "^" << exponent;
  }
}

TEST(Power, MatchesReferenceOverWideGrid) {
  // Every integer root of the range's ends lies in -80..80 or here, with its neighbour.
  std::vector<std::int32_t> bases = {int_min, int_min + 1, -65536, -46341, -46340,      -1291,
                                     -1290,   -216,        -215,   215,    216,         1290,
                                     1291,    46340,       46341,  65536,  int_max - 1, int_max};
  for (std::int32_t b = -80; b <= 80; ++b) {
    bases.push_back(b);
  }
  std::vector<std::int32_t> exponents = {62, 63, 64, 1000, int_max - 1, int_max};
  for (std::int32_t e = 0; e <= 40; ++e) {
    exponents.push_back(e);
  }
  for (const std::int32_t base : bases) {
    for (const std::int32_t exponent : exponents) {
      const auto expected = reference_power(base, exponent);
      if (expected) {
        EXPECT_EQ(power(base, exponent), *expected) << base << "^" << exponent;
      } else {
        EXPECT_THROW(static_cast<void>(power(base, exponent)), std::overflow_error)
            << base << "^" << exponent;
      }
    }
  }
}

}  // namespace
