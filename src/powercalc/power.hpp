#pragma once

#include <cstdint>

namespace powercalc {

// Returns `base` raised to `exponent`, exactly, by linear recursion: power(b, 0) is 1 and
// power(b, e) is power(b, e - 1) multiplied by b on the way back out.
//
// Contract:
// - `exponent` must be 0 or more; a negative exponent throws std::domain_error.
// - The exact result must lie in the 32-bit signed range; otherwise std::overflow_error is
//   thrown. No intermediate product ever overflows, so (-2)^31 = INT32_MIN is returned.
// - 0^0 is 1, 0^e is 0, 1^e is 1 and (-1)^e is 1 or -1 by parity, for every e >= 0,
//   without recursing.
// - For any other base, whether the result fits is decided exactly before recursing, against
//   the integer e-th roots of INT32_MAX, which are computed at compile time by bisection. So an
//   out-of-range result throws before any call and no product can overflow. The recursion is
//   never deeper than 31 calls, so every pair of arguments is answered at once.
// - Pure: no state, no allocation on success, safe to call from any thread.
[[nodiscard]] std::int32_t power(std::int32_t base, std::int32_t exponent);

}  // namespace powercalc
