// Uses nothing but what the installed header brings: its types and the exceptions it documents.
#include <powercalc/power.hpp>

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

// Each failed check sets its own bit of the exit status.
// NOLINTBEGIN(misc-include-cleaner): the installed header is to bring all that this uses
int main() {
  int failed = 0;
  failed |= powercalc::power(3, 4) == 81 ? 0 : 1;
  failed |= powercalc::power(-2, 31) == INT32_MIN ? 0 : 2;
  failed |= powercalc::power(0, 0) == 1 ? 0 : 4;
  failed |= throws<std::domain_error>([] { return powercalc::power(2, -1); }) ? 0 : 8;
  failed |= throws<std::overflow_error>([] { return powercalc::power(2, 31); }) ? 0 : 16;
  return failed;
}
// NOLINTEND(misc-include-cleaner)
