// How the recursive power compares with a loop that computes the same thing, exponent by exponent.

#include <cstdint>
#include <stdexcept>
#include <utility>

#include <benchmark/benchmark.h>

#include <powercalc/power.hpp>

namespace {

// The reference: the same contract computed by a loop, with a 64-bit range check on every
// product. The recursion checks each product as it returns, so the optimiser keeps its calls
// (g++ 12 at -O3), and the difference is what the calls cost. Its parameters are power's.
std::int32_t iterative_power(std::int32_t base,  // NOLINT(bugprone-easily-swappable-parameters)
                             std::int32_t exponent) {
  if (exponent < 0) {
    throw std::domain_error("exponent must be 0 or more");
  }
  std::int64_t result = 1;
  for (std::int32_t i = 0; i < exponent; ++i) {
    result *= base;
    if (!std::in_range<std::int32_t>(result)) {
      throw std::overflow_error("result outside the 32-bit signed range");
    }
  }
  return static_cast<std::int32_t>(result);
}

template <std::int32_t (*Power)(std::int32_t, std::int32_t)>
void measure(benchmark::State& state, std::int32_t base) {
  const auto exponent = static_cast<std::int32_t>(state.range(0));
  for ([[maybe_unused]] auto iteration : state) {
    try {
      benchmark::DoNotOptimize(Power(base, exponent));
    } catch (const std::overflow_error&) {  // NOLINT(bugprone-empty-catch)
      // An overflowing power throws, and that cost is part of what is measured.
    }
  }
  // Counted in steps, one per unit of the exponent plus the last: the fit needs N > 0.
  state.SetComplexityN(exponent + 1);
}

void recursive(benchmark::State& state, std::int32_t base) {
  measure<powercalc::power>(state, base);
}

void iterative(benchmark::State& state, std::int32_t base) {
  measure<iterative_power>(state, base);
}

// 46341 squared is the first square beyond the range, so this base overflows from exponent 2 on.
constexpr std::int32_t early_overflowing_base = 46341;

// Base 2 stops at 30: 2^31 overflows, and one throw among the exponents would swamp the fit.
BENCHMARK_CAPTURE(recursive, base_2, 2)->DenseRange(0, 30)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(iterative, base_2, 2)->DenseRange(0, 30)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(recursive, base_minus_2, -2)->DenseRange(0, 31)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(iterative, base_minus_2, -2)->DenseRange(0, 31)->Complexity(benchmark::oN);
// From exponent 2 on every call throws, so these time the refusal; they fit no complexity.
BENCHMARK_CAPTURE(recursive, early_overflow, early_overflowing_base)->DenseRange(0, 31);
BENCHMARK_CAPTURE(iterative, early_overflow, early_overflowing_base)->DenseRange(0, 31);

}  // namespace
