#include "calculator_run.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "built_calculator.hpp"

extern "C" char** environ;  // NOLINT: POSIX declares it only for C

namespace {

// The command that runs the calculator under test: this build's, or the one that
// POWERCALC_TEST_CALCULATOR names, built for another platform say, after the words of
// POWERCALC_TEST_EMULATOR (split at white space, without quoting) that start it there.
const std::vector<std::string>& calculator_command() {
  static const std::vector<std::string> command = [] {
    std::vector<std::string> words;
    const char* const emulator = std::getenv("POWERCALC_TEST_EMULATOR");
    std::istringstream emulator_words{emulator != nullptr ? emulator : ""};
    for (std::string word; emulator_words >> word;) {
      words.push_back(word);
    }
    const char* const calculator = std::getenv("POWERCALC_TEST_CALCULATOR");
    words.emplace_back(calculator != nullptr && *calculator != '\0' ? calculator
                                                                    : built_calculator);
    return words;
  }();
  return command;
}

// A Windows build ends its lines with CR LF.
bool calculator_writes_crlf() {
  return calculator_command().back().ends_with(".exe");
}

// A deleter of our own: the type of &std::fclose carries the C library's attributes, which a
// template argument drops with a warning (glibc 2.38 and later).
struct CloseFile {
  void operator()(std::FILE* file) const {
    static_cast<void>(std::fclose(file));  // NOLINT(cppcoreguidelines-owning-memory)
  }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

File temporary_file() {
  return File{std::tmpfile()};
}

void seek_to_start(std::FILE* file) {
  EXPECT_EQ(std::fseek(file, 0, SEEK_SET), 0);
}

// Writes all of `file` to the descriptor `to`.
void copy_file(std::FILE* file, int to) {
  seek_to_start(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    const char byte = static_cast<char>(c);
    EXPECT_EQ(write(to, &byte, 1), 1);
  }
}

// The text as the calculator meant it: a Windows build ends its lines with CR LF.
std::string without_crlf(std::string text) {
  if (calculator_writes_crlf()) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
      text.erase(at, 1);
    }
  }
  return text;
}

std::string contents(std::FILE* file) {
  seek_to_start(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    text += static_cast<char>(c);
  }
  return without_crlf(text);
}

// A pipe whose ends the calculator inherits only where a dup2 hands it one.
void open_unshared_pipe(int (&ends)[2]) {
  EXPECT_EQ(pipe(ends), 0);
  for (const int end : ends) {
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
}

// Everything written to the pipe `from` until its last writer closes it.
std::string drain(int from) {
  std::string text;
  char buffer[256];
  for (ssize_t got = 0; (got = read(from, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(from);
  return without_crlf(text);
}

// Lowers the file-size limit and ignores SIGXFSZ while the calculator starts, so that it inherits
// both: a write past the limit then fails with EFBIG instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t bytes) : active_(bytes > 0) {
    if (active_) {
      getrlimit(RLIMIT_FSIZE, &saved_limit_);
      rlimit lowered = saved_limit_;
      lowered.rlim_cur = bytes;
      EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
      saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
  }
  ~FileSizeLimit() {
    if (active_) {
      static_cast<void>(setrlimit(RLIMIT_FSIZE, &saved_limit_));
      static_cast<void>(std::signal(SIGXFSZ, saved_handler_));
    }
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  FileSizeLimit(FileSizeLimit&&) = delete;
  FileSizeLimit& operator=(FileSizeLimit&&) = delete;

 private:
  bool active_;
  rlimit saved_limit_{};
  void (*saved_handler_)(int) = nullptr;
};

}  // namespace

void PrintTo(const Outcome& outcome, std::ostream* os) {
  *os << "standard output " << testing::PrintToString(outcome.out) << ", standard error "
      << testing::PrintToString(outcome.err) << ", status " << outcome.status;
}

Outcome answer(std::string_view line) {
  return {both_prompts + "\n" + std::string(line) + "\n", "", 0};
}

Outcome refusal(const std::string& prompts_shown, std::string_view message) {
  return {prompts_shown + "\n", "powercalc: " + std::string(message) + "\n", 1};
}

bool calculator_is_native() {
  return calculator_command().size() == 1;
}

pid_t start_calculator(const posix_spawn_file_actions_t& actions,
                       const std::vector<std::string>& args) {
  std::vector<std::string> words = calculator_command();
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (auto& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  // SIGPIPE as a shell leaves it, whatever the test runner did with it.
  posix_spawnattr_t attributes{};
  posix_spawnattr_init(&attributes);
  sigset_t pipe_signal{};
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &pipe_signal);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  EXPECT_EQ(error, 0) << "cannot start " << words.front();
  return error == 0 ? pid : -1;
}

CalculatorRun wait_for(pid_t pid) {
  int wait_status = 0;
  rusage usage{};
  CalculatorRun run;
  if (pid < 0 || wait4(pid, &wait_status, 0, &usage) != pid) {
    run.outcome.status = -1;
    return run;
  }
  run.outcome.status =
      WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
#ifdef __APPLE__
  constexpr long rss_unit_bytes = 1;  // macOS counts bytes where Linux and the BSDs count KiB
#else
  constexpr long rss_unit_bytes = 1024;
#endif
  run.peak_rss_kib = usage.ru_maxrss * rss_unit_bytes / 1024;
  return run;
}

CalculatorRun run_calculator(const std::string& input, const Setup& setup) {
  return run_calculator(
      [&input](std::FILE* file) {
        static_cast<void>(std::fwrite(input.data(), 1, input.size(), file));
      },
      setup);
}

CalculatorRun run_calculator(const std::function<void(std::FILE*)>& write_input,
                             const Setup& setup) {
  const File in = temporary_file();
  const File out = temporary_file();
  write_input(in.get());
  // Checked once here for every write of the input: a short input would be a different test.
  EXPECT_TRUE(std::fflush(in.get()) == 0 && std::ferror(in.get()) == 0) << "input not written";
  lseek(fileno(in.get()), 0, SEEK_SET);

  posix_spawn_file_actions_t actions{};
  posix_spawn_file_actions_init(&actions);
  int input_ends[2] = {-1, -1};
  switch (setup.stdin_from) {
    case Stdin::fed:
      posix_spawn_file_actions_adddup2(&actions, fileno(in.get()), STDIN_FILENO);
      break;
    case Stdin::closed:
      posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
      break;
    case Stdin::directory:  // opens, but every read fails
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/", O_RDONLY, 0);
      break;
    case Stdin::drained_pipe:
      open_unshared_pipe(input_ends);
      fcntl(input_ends[0], F_SETFL, O_NONBLOCK);
      copy_file(in.get(), input_ends[1]);
      posix_spawn_file_actions_adddup2(&actions, input_ends[0], STDIN_FILENO);
      break;
  }
  int pipe_ends[2] = {-1, -1};
  switch (setup.stdout_to) {
    case Stdout::captured:
      posix_spawn_file_actions_adddup2(&actions, fileno(out.get()), STDOUT_FILENO);
      break;
    case Stdout::full:
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
      break;
    case Stdout::closed:
      posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
      break;
    case Stdout::broken_pipe:
      // The reading end is closed before the calculator starts: its reader has already gone.
      EXPECT_EQ(pipe(pipe_ends), 0);
      close(pipe_ends[0]);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
      posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
      break;
  }
  // A pipe, to which no file-size limit applies: the message that reports one must arrive whole.
  int error_ends[2] = {-1, -1};
  open_unshared_pipe(error_ends);
  posix_spawn_file_actions_adddup2(&actions, error_ends[1], STDERR_FILENO);

  pid_t pid = -1;
  {
    const FileSizeLimit limit(setup.stdout_limit);
    pid = start_calculator(actions, setup.args);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (pipe_ends[1] >= 0) {
    close(pipe_ends[1]);
  }
  close(error_ends[1]);
  const std::string err = drain(error_ends[0]);  // before waiting: a full pipe would stall it
  CalculatorRun run = wait_for(pid);
  for (const int end : input_ends) {  // the writer kept open until the calculator has ended
    if (end >= 0) {
      close(end);
    }
  }
  run.outcome.out = contents(out.get());
  run.outcome.err = err;
  return run;
}
