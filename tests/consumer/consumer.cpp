#include <powercalc/power.hpp>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace {

template <typename Error, typename Call>
bool throws(Call call) {
  try {
    static_cast<void>(call());
  } catch (const Error&) {
    return true;
  }
  return false;
}

}  // namespace

int main() {
  int failures = 0;
  const auto expect = [&failures](bool ok, const char* what) {
    if (!ok) {
      static_cast<void>(std::fprintf(stderr, "consumer: %s\n", what));
      ++failures;
    }
  };
  expect(powercalc::power(3, 4) == 81, "3^4 is not 81");
  expect(powercalc::power(-2, 31) == std::numeric_limits<std::int32_t>::min(),
         "(-2)^31 is not INT32_MIN");
  expect(powercalc::power(0, 0) == 1, "0^0 is not 1");
  expect(throws<std::domain_error>([] { return powercalc::power(2, -1); }),
         "2^-1 does not throw std::domain_error");
  expect(throws<std::overflow_error>([] { return powercalc::power(2, 31); }),
         "2^31 does not throw std::overflow_error");
  return failures == 0 ? 0 : 1;
}
