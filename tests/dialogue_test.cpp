// Runs the calculator as users do: input fed to the real executable, standard output, standard
// error and exit status compared byte for byte.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calculator_run.hpp"

namespace {

struct Case {
  const char* name;
  std::string input;
  Outcome expected;
  Setup setup = {};
};

Case answered(const char* name, std::string input, std::string_view line,
              std::vector<std::string> args = {}) {
  return {name, std::move(input), answer(line), {std::move(args)}};
}

Case base_refused(const char* name, std::string input, std::string_view message) {
  return {name, std::move(input), refusal(base_prompt, message)};
}

Case exponent_refused(const char* name, std::string input, std::string_view message) {
  return {name, std::move(input), refusal(both_prompts, message)};
}

Case unwritable(const char* name, std::string input, Setup setup, std::string_view reason,
                std::string written = "") {
  return {name,
          std::move(input),
          {std::move(written),
           "powercalc: cannot write to standard output: " + std::string(reason) + "\n", 1},
          std::move(setup)};
}

const std::string long_word(40, 'x');

const std::vector<Case> cases = {
    answered("three_to_the_fourth", "3\n4\n", "3 raised to the power of 4 is 81"),
    answered("zero_to_the_zero", "0\n0\n", "0 raised to the power of 0 is 1"),
    answered("negative_base", "-2\n3\n", "-2 raised to the power of 3 is -8"),
    answered("both_on_one_line", "3 4\n", "3 raised to the power of 4 is 81"),
    answered("no_final_line_end", "2 10", "2 raised to the power of 10 is 1024"),
    answered("blank_lines_and_leading_blanks", "\n\n \t 3\r\n\n\v\f  4\n",
             "3 raised to the power of 4 is 81"),
    answered("leading_zeros_stay_decimal", "010 02", "10 raised to the power of 2 is 100"),
    answered("plus_sign_accepted", "+5 +2", "5 raised to the power of 2 is 25"),
    answered("text_after_number_left_unread", "2 3x", "2 raised to the power of 3 is 8"),
    answered("smallest_result", "-2 31", "-2 raised to the power of 31 is -2147483648"),
    answered("base_at_the_top_of_the_range", "2147483647 1",
             "2147483647 raised to the power of 1 is 2147483647"),
    answered("one_to_the_largest_exponent", "1 2147483647",
             "1 raised to the power of 2147483647 is 1"),
    answered("minus_one_to_the_largest_exponent", "-1 2147483647",
             "-1 raised to the power of 2147483647 is -1"),
    answered("arguments_ignored", "3 4", "3 raised to the power of 4 is 81",
             {"--help", "-x", "7", ""}),

    base_refused("empty_input", "", "input ended before the base was entered"),
    base_refused("only_white_space", " \n\t\n", "input ended before the base was entered"),
    exponent_refused("exponent_missing", "3\n", "input ended before the exponent was entered"),
    base_refused("base_not_a_number", "abc 4", "the base is not an integer: \"abc\""),
    base_refused("sign_kept_in_quote", "-abc 4", "the base is not an integer: \"-abc\""),
    exponent_refused("lone_sign", "3 -", "the exponent is not an integer: \"-\""),
    exponent_refused("fraction", "3.5", "the exponent is not an integer: \".5\""),
    base_refused("long_word_cut", long_word,
                 "the base is not an integer: \"" + std::string(32, 'x') + "...\""),
    base_refused("word_of_exactly_32_bytes", "-" + std::string(31, 'x'),
                 "the base is not an integer: \"-" + std::string(31, 'x') + "\""),
    base_refused("sign_counts_toward_the_cut", "-" + std::string(32, 'x'),
                 "the base is not an integer: \"-" + std::string(31, 'x') + "...\""),
    base_refused("plus_sign_kept_in_quote", "+abc 4", "the base is not an integer: \"+abc\""),
    base_refused("printable_ends_shown_as_they_are", "!~ 4", "the base is not an integer: \"!~\""),
    base_refused("bytes_beside_white_space_escaped", "a\010b\016c 4",
                 R"(the base is not an integer: "a\x08b\x0ec")"),
    base_refused("control_bytes_escaped", "\x1b[2J\x7f\xff\x01\"\\ 4",
                 R"(the base is not an integer: "\x1b[2J\x7f\xff\x01"\")"),
    base_refused("word_ends_at_any_white_space", "a\tb", "the base is not an integer: \"a\""),
    base_refused("word_ends_at_line_feed", "a\nb", "the base is not an integer: \"a\""),
    base_refused("word_ends_at_vertical_tab", "a\vb", "the base is not an integer: \"a\""),
    base_refused("word_ends_at_form_feed", "a\fb", "the base is not an integer: \"a\""),
    base_refused("word_ends_at_carriage_return", "a\rb", "the base is not an integer: \"a\""),
    base_refused("base_above_range", "2147483648 1", "the base is " + range),
    base_refused("base_below_range", "-2147483649 1", "the base is " + range),
    base_refused("base_beyond_64_bits", "99999999999999999999999 1", "the base is " + range),
    exponent_refused("exponent_above_range", "2 2147483648", "the exponent is " + range),
    exponent_refused("negative_exponent", "2 -3", "the exponent must be 0 or more, not -3"),
    exponent_refused("negative_exponent_of_one", "1 -1", "the exponent must be 0 or more, not -1"),
    exponent_refused("overflow", "2 31", "2 raised to the power of 31 is " + range),
    exponent_refused("overflow_of_smallest_base", "-2147483648 2",
                     "-2147483648 raised to the power of 2 is " + range),
    unwritable("standard_output_full", "3 4", {.stdout_to = Stdout::full},
               "No space left on device"),
    unwritable("standard_output_closed", "3 4", {.stdout_to = Stdout::closed},
               "Bad file descriptor"),
    unwritable("write_failure_outranks_bad_input", "abc", {.stdout_to = Stdout::full},
               "No space left on device"),
    unwritable("result_line_cut_by_file_size_limit", "-2 31",
               {.stdout_limit = both_prompts.size() + 41}, "File too large",
               both_prompts + "\n-2 raised to the power of 31 is -2147483"),
    unwritable("prompt_line_end_cut_by_file_size_limit", "abc 4",
               {.stdout_limit = base_prompt.size()}, "File too large", base_prompt),
    {"standard_input_closed",
     "3 4",
     refusal(base_prompt, "cannot read standard input: Bad file descriptor"),
     {.stdin_from = Stdin::closed}},
    {"standard_input_unreadable",
     "3 4",
     refusal(base_prompt, "cannot read standard input: Is a directory"),
     {.stdin_from = Stdin::directory}},
    {"read_error_after_sign",
     "-",
     refusal(base_prompt, "cannot read standard input: Resource temporarily unavailable"),
     {.stdin_from = Stdin::drained_pipe}},
    {"read_error_after_digits",
     "3 4",
     refusal(both_prompts, "cannot read standard input: Resource temporarily unavailable"),
     {.stdin_from = Stdin::drained_pipe}},
    // A reader that has gone away ends the run by the signal, silently, as for other tools.
    {"reader_gone", "3 4", {"", "", 128 + SIGPIPE}, {.stdout_to = Stdout::broken_pipe}},
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Dialogue : public testing::TestWithParam<Case> {};

// Whether the case depends on what the process itself does with a signal, a device or a limit.
bool needs_native_process(const Setup& setup) {
  return setup.stdout_to == Stdout::full || setup.stdout_to == Stdout::broken_pipe ||
         setup.stdout_limit > 0;
}

TEST_P(Dialogue, WritesExactlyTheExpectedBytes) {
  const Case& the_case = GetParam();
  if (!calculator_is_native() && needs_native_process(the_case.setup)) {
    GTEST_SKIP() << "the emulator, not the calculator, would answer this";
  }
  // A read error's reason is the foreign C library's text: wine's, for one, says EINVAL.
  if (!calculator_is_native() && the_case.setup.stdin_from != Stdin::fed) {
    GTEST_SKIP() << "the reason would be the foreign C library's wording";
  }
  if (the_case.setup.stdout_to == Stdout::full && access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "this system has no /dev/full";
  }
  EXPECT_EQ(run_calculator(the_case.input, the_case.setup).outcome, the_case.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Dialogue, testing::ValuesIn(cases),
                         [](const auto& test) { return std::string(test.param.name); });

// Reads the terminal until `text` appears; false if the program neither shows it nor ends
// within a generous bound, which means it is waiting for input it has not prompted for.
bool shows(int terminal, std::string_view text, std::string& seen) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (seen.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) {
      continue;
    }
    char buffer[256];
    const ssize_t got = read(terminal, buffer, sizeof buffer);
    if (got <= 0) {
      return false;
    }
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  seen.erase(0, seen.find(text) + text.size());
  return true;
}

TEST(DialogueOnTerminal, EachPromptShowsBeforeTheProgramWaits) {
  if (!calculator_is_native()) {
    GTEST_SKIP() << "the emulator, not the calculator, would answer this";
  }
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(grantpt(terminal), 0);
  ASSERT_EQ(unlockpt(terminal), 0);

  posix_spawn_file_actions_t actions{};
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, ptsname(terminal), O_RDWR, 0);
  posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO);
  const pid_t pid = start_calculator(actions, {});
  posix_spawn_file_actions_destroy(&actions);

  std::string seen;
  EXPECT_TRUE(shows(terminal, base_prompt, seen));
  ASSERT_EQ(write(terminal, "3\n", 2), 2);
  EXPECT_TRUE(shows(terminal, exponent_prompt, seen));
  ASSERT_EQ(write(terminal, "4\n", 2), 2);
  EXPECT_TRUE(shows(terminal, "3 raised to the power of 4 is 81", seen));

  // Closed first: should a prompt have gone missing, the hang-up ends a program still waiting.
  close(terminal);
  EXPECT_EQ(wait_for(pid).outcome.status, 0);
}

}  // namespace
