#include "calculator_run.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "calculator_command.hpp"

extern "C" char** environ;  // NOLINT: POSIX declares it only for C

namespace {

using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

File temporary_file() {
  return {std::tmpfile(), &std::fclose};
}

std::string contents(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    if (c == '\n' && calculator_writes_crlf && !text.empty() && text.back() == '\r') {
      text.pop_back();
    }
    text += static_cast<char>(c);
  }
  return text;
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

void PrintTo(const Result& result, std::ostream* os) {
  *os << "standard output " << testing::PrintToString(result.out) << ", standard error "
      << testing::PrintToString(result.err) << ", status " << result.status;
}

Result answer(std::string_view line) {
  return {both_prompts + "\n" + std::string(line) + "\n", "", 0};
}

Result refusal(const std::string& prompts_shown, std::string_view message) {
  return {prompts_shown + "\n", "powercalc: " + std::string(message) + "\n", 1};
}

bool calculator_is_native() {
  return calculator_command.size() == 1;
}

pid_t start_calculator(const posix_spawn_file_actions_t& actions,
                       const std::vector<std::string>& args) {
  std::vector<std::string> words = calculator_command;
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

Ending wait_for(pid_t pid) {
  int wait_status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &wait_status, 0, &usage) != pid) {
    return {-1, 0};
  }
  const int status =
      WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return {status, usage.ru_maxrss};
}

Outcome run_calculator(const std::string& input, const Setup& setup) {
  return run_calculator(
      [&input](std::FILE* file) {
        static_cast<void>(std::fwrite(input.data(), 1, input.size(), file));
      },
      setup);
}

Outcome run_calculator(const std::function<void(std::FILE*)>& write_input, const Setup& setup) {
  const File in = temporary_file();
  const File out = temporary_file();
  const File err = temporary_file();
  write_input(in.get());
  // Checked once here for every write of the input: a short input would be a different test.
  EXPECT_TRUE(std::fflush(in.get()) == 0 && std::ferror(in.get()) == 0) << "input not written";
  lseek(fileno(in.get()), 0, SEEK_SET);

  posix_spawn_file_actions_t actions{};
  posix_spawn_file_actions_init(&actions);
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
  posix_spawn_file_actions_adddup2(&actions, fileno(err.get()), STDERR_FILENO);

  pid_t pid = -1;
  {
    const FileSizeLimit limit(setup.stdout_limit);
    pid = start_calculator(actions, setup.args);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (pipe_ends[1] >= 0) {
    close(pipe_ends[1]);
  }
  const Ending ending = wait_for(pid);
  return {{contents(out.get()), contents(err.get()), ending.status}, ending.peak_rss_kib};
}
