#pragma once

// Runs the real calculator executable with its standard streams arranged as a test needs, and
// reports what it wrote, how it ended and how much memory it took.

#include <spawn.h>
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The calculator's fixed texts: the tests' one copy of them.
inline const std::string base_prompt = "Enter a base integer: ";
inline const std::string exponent_prompt = "Enter an exponent integer: ";
inline const std::string both_prompts = base_prompt + exponent_prompt;
inline const std::string range = "outside the 32-bit range -2147483648 to 2147483647";

// drained_pipe: a non-blocking pipe holding the input whose writer stays open, so that every read
// after the input fails (EAGAIN).
enum class Stdin : std::uint8_t { fed, closed, directory, drained_pipe };
enum class Stdout : std::uint8_t { captured, full, closed, broken_pipe };

struct Setup {
  std::vector<std::string> args = {};
  Stdout stdout_to = Stdout::captured;
  Stdin stdin_from = Stdin::fed;
  std::size_t stdout_limit = 0;  // for captured output, the bytes the file may grow to; 0: no limit
};

// False when the calculator under test was built for another platform and runs in an emulator,
// where terminals, signals, /dev/full and resource limits are the emulator's, not its own.
bool calculator_is_native();

// What a run wrote and how it ended, compared as one value so that a failure shows all of it.
struct Outcome {
  std::string out;
  std::string err;
  int status = 0;  // the exit status, or 128 plus the signal that ended the process
  bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& outcome, std::ostream* os);

// The outcome of an answered question: both prompts, then the result line after a line end.
Outcome answer(std::string_view line);
// The outcome of a refusal: the prompts shown so far, ended, and the message on standard error.
Outcome refusal(const std::string& prompts_shown, std::string_view message);

struct CalculatorRun {
  Outcome outcome;
  long peak_rss_kib = 0;  // never below this process's own when it spawned the calculator
};

// Feeds `input` on standard input (unless it is closed) and waits for the calculator to end.
CalculatorRun run_calculator(const std::string& input, const Setup& setup = {});

// The same, with the input written to the file by `write_input`, for input too big to hold.
// The calculator's peak memory includes this process's at the start, so keep that small.
CalculatorRun run_calculator(const std::function<void(std::FILE*)>& write_input,
                             const Setup& setup);

// Lower level, for tests that talk to the calculator while it runs.
pid_t start_calculator(const posix_spawn_file_actions_t& actions,
                       const std::vector<std::string>& args);
// The run's status and peak memory; what it wrote is the caller's to collect.
CalculatorRun wait_for(pid_t pid);
