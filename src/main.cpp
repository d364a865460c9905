// The console dialogue: ask for a base and an exponent, state their power, and exit.
// Any failure ends the run at once with one line on standard error and status 1.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include <powercalc/power.hpp>

namespace {

constexpr int failure_status = 1;

constexpr std::string_view outside_range = "outside the 32-bit range -2147483648 to 2147483647";

// An offending word is quoted only this far, so a huge word is never buffered.
constexpr std::size_t max_quoted_bytes = 32;

using traits = std::istream::traits_type;

struct Operand {
  std::string_view prompt;
  std::string_view name;  // as the diagnostics call it
};

constexpr Operand base_operand{"Enter a base integer: ", "base"};
constexpr Operand exponent_operand{"Enter an exponent integer: ", "exponent"};

// The C library's text for an errno value, taken through the C++ library, which no toolchain
// deprecates (MSVC's /sdl rejects the C function).
std::string reason_for(int error_number) {
  return std::generic_category().message(error_number);
}

// Checked after every flush, while errno still holds the reason of the failed write.
void require_written() {
  if (!std::cout) {
    std::cerr << "powercalc: cannot write to standard output: " + reason_for(errno) + '\n';
    std::exit(failure_status);
  }
}

[[noreturn]] void fail(const std::string& message) {
  // End the prompt line the way the result line would have, so the shell prompt starts clean; a
  // write that fails here outranks the refusal, as it does everywhere.
  std::cout << std::endl;
  require_written();
  std::cerr << "powercalc: " + message + '\n';
  std::exit(failure_status);
}

// The white space that formatted extraction skips in the classic locale.
bool is_space(traits::int_type next) {
  return next == ' ' || (next >= '\t' && next <= '\r');
}

// Shows printable ASCII as is and every other byte as \xHH, so that no control character or
// escape sequence from the input reaches the terminal.
void append_visible(std::string& out, char byte) {
  const unsigned code = static_cast<unsigned char>(byte);
  if (code >= 0x21 && code <= 0x7e) {
    out += byte;
    return;
  }
  constexpr std::string_view hex_digits = "0123456789abcdef";
  out += "\\x";
  out += hex_digits[code >> 4U];
  out += hex_digits[code & 0xfU];
}

// Quotes the word that failed to parse: `consumed` (a sign already taken from the input), then
// the rest of the word up to white space or end of input.
std::string quote_offending_word(std::streambuf& input, std::string_view consumed) {
  std::string quoted = "\"";
  for (const char byte : consumed) {
    append_visible(quoted, byte);
  }
  std::size_t taken = consumed.size();
  for (auto next = input.sgetc(); next != traits::eof() && !is_space(next); next = input.snextc()) {
    if (taken == max_quoted_bytes) {
      quoted += "...";
      break;
    }
    append_visible(quoted, traits::to_char_type(next));
    ++taken;
  }
  return quoted + '"';
}

bool is_digit(traits::int_type next) {
  return next >= '0' && next <= '9';
}

// Takes the run of digits at the front of `input` and returns its value, capped just past the
// range: any number of further digits can then neither overflow the sum nor bring it back into
// range. One digit at a time, since libc++'s own extraction keeps every digit it reads, so a
// number padded with millions of zeros would cost memory in proportion.
std::int64_t take_digits(std::streambuf& input) {
  constexpr std::int64_t past_range = std::int64_t{1} << 32U;
  std::int64_t magnitude = 0;
  for (auto next = input.sgetc(); is_digit(next); next = input.snextc()) {
    magnitude = std::min((magnitude * 10) + (next - '0'), past_range);
  }
  return magnitude;
}

// A read that failed looks to the stream like the end of input; the C library's error flag on
// stdin, through which both standard libraries read by default, tells the two apart.
void require_readable() {
  if (std::ferror(stdin) != 0) {
    fail("cannot read standard input: " + reason_for(errno));
  }
}

// Reads one decimal integer exactly as `std::cin >> n` does in the classic locale (white space
// skipped, an optional sign, then digits, the first other byte left unread), and ends the run on
// anything else.
std::int32_t read_operand(std::string_view name) {
  std::cin >> std::ws;
  std::streambuf& input = *std::cin.rdbuf();
  auto next = input.sgetc();
  if (next == traits::eof()) {
    require_readable();
    fail("input ended before the " + std::string(name) + " was entered");
  }
  std::string sign;
  if (next == '+' || next == '-') {
    sign = traits::to_char_type(next);
    next = input.snextc();
  }
  if (!is_digit(next)) {
    require_readable();  // what follows a sign may be a failed read
    fail("the " + std::string(name) + " is not an integer: " + quote_offending_word(input, sign));
  }
  const std::int64_t magnitude = take_digits(input);
  require_readable();  // the digits may have ended with a failed read
  const std::int64_t value = sign == "-" ? -magnitude : magnitude;
  if (!std::in_range<std::int32_t>(value)) {
    fail("the " + std::string(name) + " is " + std::string(outside_range));
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t ask(const Operand& operand) {
  std::cout << operand.prompt << std::flush;
  require_written();
  return read_operand(operand.name);
}

std::int32_t power_or_fail(std::int32_t base, std::int32_t exponent) {
  try {
    return powercalc::power(base, exponent);
  } catch (const std::domain_error&) {
    fail("the exponent must be 0 or more, not " + std::to_string(exponent));
  } catch (const std::overflow_error&) {
    fail(std::to_string(base) + " raised to the power of " + std::to_string(exponent) + " is " +
         std::string(outside_range));
  }
}

}  // namespace

int main() {
  const std::int32_t base = ask(base_operand);
  const std::int32_t exponent = ask(exponent_operand);
  const std::int32_t result = power_or_fail(base, exponent);
  std::cout << std::endl
            << base << " raised to the power of " << exponent << " is " << result << std::endl;
  require_written();
  return 0;
}
