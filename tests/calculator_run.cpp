#include "calculator_run.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

extern "C" char** environ;  // NOLINT: POSIX declares it only for C

namespace {

constexpr const char* executable = POWERCALC_EXECUTABLE;

using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

File temporary_file() {
  return {std::tmpfile(), &std::fclose};
}

std::string contents(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    text += static_cast<char>(c);
  }
  return text;
}

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

pid_t start_calculator(const posix_spawn_file_actions_t& actions,
                       const std::vector<std::string>& args) {
  std::vector<std::string> words = {executable};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
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
  const int error = posix_spawn(&pid, executable, &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  EXPECT_EQ(error, 0) << "cannot start " << executable;
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
      [&input](std::FILE* file) { std::fwrite(input.data(), 1, input.size(), file); }, setup);
}

Outcome run_calculator(const std::function<void(std::FILE*)>& write_input, const Setup& setup) {
  const File in = temporary_file();
  const File out = temporary_file();
  const File err = temporary_file();
  write_input(in.get());
  std::fflush(in.get());
  lseek(fileno(in.get()), 0, SEEK_SET);

  posix_spawn_file_actions_t actions{};
  posix_spawn_file_actions_init(&actions);
  if (setup.stdin_from == Stdin::fed) {
    posix_spawn_file_actions_adddup2(&actions, fileno(in.get()), STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
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
      EXPECT_EQ(pipe2(pipe_ends, O_CLOEXEC), 0);
      close(pipe_ends[0]);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
      break;
  }
  posix_spawn_file_actions_adddup2(&actions, fileno(err.get()), STDERR_FILENO);

  const pid_t pid = start_calculator(actions, setup.args);
  posix_spawn_file_actions_destroy(&actions);
  if (pipe_ends[1] >= 0) {
    close(pipe_ends[1]);
  }
  const Ending ending = wait_for(pid);
  return {{contents(out.get()), contents(err.get()), ending.status}, ending.peak_rss_kib};
}
