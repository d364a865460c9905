// Hostile input through the real executable: random pairs checked against an exact reference,
// random bytes, huge inputs in bounded memory, and arguments of every shape.

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <istream>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calculator_run.hpp"
#include "reference_power.hpp"

namespace {

constexpr std::int64_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t int64_min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64_max = std::numeric_limits<std::int64_t>::max();

std::mt19937_64 generator() {
  return std::mt19937_64{20261208};  // fixed, so a failure repeats exactly
}

std::size_t pick(std::mt19937_64& random, std::size_t count) {
  return std::uniform_int_distribution<std::size_t>{0, count - 1}(random);
}

// A number as typed, and its value where that fits in 64 bits.
struct Operand {
  std::string text;
  std::optional<std::int64_t> value;
};

Operand draw_operand(std::mt19937_64& random) {
  // The range's ends and their neighbours on both sides, the roots where squares leave it, and
  // values that only a wider type holds.
  static const std::vector<std::int64_t> edges = {
      0,           1,           -1,         2,          -2,         3,          46340,
      46341,       -46340,      -46341,     2147483647, 2147483646, 2147483648, -2147483648,
      -2147483647, -2147483649, 4294967296, int64_max,  int64_min};
  std::int64_t value = 0;
  switch (pick(random, 4)) {
    case 0:
      value = edges[pick(random, edges.size())];
      break;
    case 1:
      value = std::uniform_int_distribution<std::int64_t>{-40, 40}(random);
      break;
    case 2:
      value = std::uniform_int_distribution<std::int64_t>{int32_min, int32_max}(random);
      break;
    default:
      return {pick(random, 2) == 0 ? "99999999999999999999" : "-99999999999999999999", {}};
  }
  // Padded by appending, not by std::string::insert, of which GCC 12 at -O3 wrongly warns that
  // the copy may overlap (-Wrestrict).
  std::string text = std::to_string(value);
  if (pick(random, 8) == 0) {
    text = value < 0 ? std::string("-00").append(text, 1) : std::string("00").append(text);
  }
  if (value >= 0 && pick(random, 8) == 0) {
    text = std::string("+").append(text);
  }
  return {text, value};
}

std::string white_space(std::mt19937_64& random, std::size_t at_least) {
  static const std::string blanks = " \t\n\v\f\r";
  std::string text;
  for (std::size_t n = at_least + pick(random, 3); n > 0; --n) {
    text += blanks[pick(random, blanks.size())];
  }
  return text;
}

// The operand's value where it lies in the 32-bit range.
std::optional<std::int64_t> value_in_range(const Operand& operand) {
  if (operand.value && *operand.value >= int32_min && *operand.value <= int32_max) {
    return operand.value;
  }
  return std::nullopt;
}

Outcome reference(const Operand& base, const Operand& exponent) {
  const auto base_value = value_in_range(base);
  if (!base_value) {
    return refusal(base_prompt, "the base is " + range);
  }
  const auto exponent_value = value_in_range(exponent);
  if (!exponent_value) {
    return refusal(both_prompts, "the exponent is " + range);
  }
  const std::int64_t b = *base_value;
  const std::int64_t e = *exponent_value;
  const std::string statement = std::to_string(b) + " raised to the power of " + std::to_string(e);
  if (e < 0) {
    return refusal(both_prompts, "the exponent must be 0 or more, not " + std::to_string(e));
  }
  const auto result = reference_power(b, e);
  if (!result) {
    return refusal(both_prompts, statement + " is " + range);
  }
  return answer(statement + " is " + std::to_string(*result));
}

TEST(HostileInput, RandomPairsMatchTheExactReference) {
  auto random = generator();
  for (int n = 0; n < 2000; ++n) {
    const Operand base = draw_operand(random);
    const Operand exponent = draw_operand(random);
    const std::string input = white_space(random, 0) + base.text + white_space(random, 1) +
                              exponent.text + white_space(random, 0);
    ASSERT_EQ(run_calculator(input).outcome, reference(base, exponent))
        << "input: " << testing::PrintToString(input);
  }
}

// What C++'s own extraction, `std::cin >> n` twice, makes of the same bytes: powercalc must end
// the same way. Where the input is not an integer, only the start of the message is known.
struct Extracted {
  Outcome expected;
  bool word_follows = false;
};

Extracted extract(const std::string& input) {
  std::istringstream in(input);
  const std::array<std::pair<std::string, std::string>, 2> asked = {
      {{"base", base_prompt}, {"exponent", both_prompts}}};
  std::array<Operand, 2> operands;
  for (std::size_t i = 0; i < asked.size(); ++i) {
    const auto& [name, prompts] = asked.at(i);
    in >> std::ws;
    if (in.eof()) {
      return {refusal(prompts, "input ended before the " + name + " was entered")};
    }
    std::int32_t value = 0;
    in >> value;
    // A failed extraction stores 0 for no number and the nearest end for one beyond the range.
    if (in.fail() && value == 0) {
      return {refusal(prompts, "the " + name + " is not an integer: \""), true};
    }
    if (in.fail()) {
      return {refusal(prompts, std::string("the ").append(name).append(" is ").append(range))};
    }
    operands.at(i) = {"", value};
  }
  return {reference(operands[0], operands[1])};
}

TEST(HostileInput, RandomBytesEndAsCppExtractionDoes) {
  // Digits, signs and white space, and the bytes just beside the digits, which a faulty reader
  // would most easily take for them.
  static const std::string likely = "0123456789+- \t\n/:";
  auto random = generator();
  for (int n = 0; n < 1000; ++n) {
    std::string input;
    for (std::size_t length = pick(random, 48); length > 0; --length) {
      input += pick(random, 2) == 0 ? likely[pick(random, likely.size())]
                                    : static_cast<char>(pick(random, 256));
    }
    const Outcome outcome = run_calculator(input).outcome;
    const auto [expected, word_follows] = extract(input);
    SCOPED_TRACE("input: " + testing::PrintToString(input));
    if (word_follows) {
      const std::string start = expected.err.substr(0, expected.err.size() - 1);
      EXPECT_EQ(outcome.out, expected.out);
      EXPECT_EQ(outcome.status, 1);
      EXPECT_EQ(outcome.err.rfind(start, 0), 0U) << outcome.err;
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    } else {
      EXPECT_EQ(outcome, expected);
    }
  }
}

#ifdef __SANITIZE_ADDRESS__
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

// 64 MiB of `filler`, then `tail`, written a piece at a time so that this process stays small:
// the calculator's peak memory, as the system reports it, starts from this process's.
std::function<void(std::FILE*)> huge_input(std::string_view filler, std::string tail) {
  return [filler, tail = std::move(tail)](std::FILE* file) {
    constexpr std::size_t piece_size = std::size_t{1} << 20U;
    std::string piece;
    while (piece.size() < piece_size) {
      piece += filler;
    }
    piece.resize(piece_size);
    for (int n = 0; n < 64; ++n) {
      static_cast<void>(std::fwrite(piece.data(), 1, piece.size(), file));
    }
    static_cast<void>(std::fputs(tail.c_str(), file));
  };
}

TEST(HostileInput, HugeInputIsReadInBoundedMemory) {
  constexpr long memory_bound_kib = 16L * 1024;
  const struct {
    const char* name;
    std::function<void(std::FILE*)> input;
    Outcome expected;
  } cases[] = {
      {"letters", huge_input("a", ""),
       refusal(base_prompt, "the base is not an integer: \"" + std::string(32, 'a') + "...\"")},
      {"white space", huge_input(" \t\n\v\f\r  ", "3 4"),
       answer("3 raised to the power of 4 is 81")},
      {"zeros", huge_input("0", "5 2"), answer("5 raised to the power of 2 is 25")},
      {"nines", huge_input("9", ""), refusal(base_prompt, "the base is " + range)},
  };
  for (const auto& [name, input, expected] : cases) {
    SCOPED_TRACE(name);
    const CalculatorRun run = run_calculator(input, {});
    EXPECT_EQ(run.outcome, expected);
    // The sanitizers' shadow memory alone is larger than the bound.
    if (!sanitized) {
      EXPECT_LT(run.peak_rss_kib, memory_bound_kib);
    }
    std::printf("%s: peak resident memory %ld KiB\n", name, run.peak_rss_kib);
  }
}

TEST(HostileInput, ArgumentsOfEveryShapeChangeNothing) {
  const std::vector<std::vector<std::string>> argument_lists = {
      {""},
      {"-"},
      {"--"},
      {"--help"},
      {"--version"},
      {"-h"},
      {"5", "2"},
      {"-n", "7"},
      {"\xff\xfe\x01"},
      {std::string(100'000, 'x')},
      std::vector<std::string>(1000, "--verbose")};
  for (const auto& args : argument_lists) {
    EXPECT_EQ(run_calculator("3 4", {.args = args}).outcome,
              answer("3 raised to the power of 4 is 81"));
  }
}

}  // namespace
