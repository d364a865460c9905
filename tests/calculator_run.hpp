#pragma once

// Runs the real calculator executable with its standard streams arranged as a test needs, and
// reports what it wrote, how it ended and how much memory it took.

#include <spawn.h>
#include <sys/types.h>

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

enum class Stdin { fed, closed, directory };
enum class Stdout { captured, full, closed, broken_pipe };

struct Setup {
  std::vector<std::string> args = {};
  Stdout stdout_to = Stdout::captured;
  Stdin stdin_from = Stdin::fed;
  std::size_t stdout_limit = 0;  // for captured output, the bytes the file may grow to; 0: no limit
};

// False when the calculator under test was built for another platform and runs in an emulator,
// where terminals, signals, /dev/full and resource limits are the emulator's, not its own.
bool calculator_is_native();

struct Ending {
  int status;         // the exit status, or 128 plus the signal that ended the process
  long peak_rss_kib;  // as the system reports it: never below this process's own when it spawned
};

// What a run wrote and how it ended, compared as one value so that a failure shows all of it.
struct Result {
  std::string out;
  std::string err;
  int status = 0;
  bool operator==(const Result&) const = default;
};
void PrintTo(const Result& result, std::ostream* os);

// The result of an answered question: both prompts, then the result line after a line end.
Result answer(std::string_view line);
// The result of a refusal: the prompts shown so far, ended, and the message on standard error.
Result refusal(const std::string& prompts_shown, std::string_view message);

struct Outcome {
  Result result;
  long peak_rss_kib;
};

// Feeds `input` on standard input (unless it is closed) and waits for the calculator to end.
Outcome run_calculator(const std::string& input, const Setup& setup = {});

// The same, with the input written to the file by `write_input`, for input too big to hold.
// The calculator's peak memory includes this process's at the start, so keep that small.
Outcome run_calculator(const std::function<void(std::FILE*)>& write_input, const Setup& setup);

// Lower level, for tests that talk to the calculator while it runs.
pid_t start_calculator(const posix_spawn_file_actions_t& actions,
                       const std::vector<std::string>& args);
Ending wait_for(pid_t pid);
