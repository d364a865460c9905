#pragma once

#include <cstdint>
#include <stdexcept>  // for the exceptions below, which callers catch

namespace powercalc {

// Returns `base` raised to `exponent`, exactly, by linear recursion.
//
// Contract:
// - `exponent` must be 0 or more; a negative exponent throws std::domain_error.
// - The exact result must lie in the 32-bit signed range; otherwise std::overflow_error is
//   thrown. (-2)^31 = INT32_MIN is in range.
// - 0^0 is 1.
// - Every pair of arguments is answered at once, with no overflow inside and a bounded depth.
// - Pure: no state, no allocation on success, safe to call from any thread.
[[nodiscard]] std::int32_t power(std::int32_t base, std::int32_t exponent);

}  // namespace powercalc
