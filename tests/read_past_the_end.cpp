// Reads one element past the end of a vector through operator[]. Built with the calculator's
// hardening flags, the C++ library's own check must stop it before the read; tests/CMakeLists.txt
// says which ends of the run count as stopped.

#include <cstdio>
#include <vector>

int main(int argc, char** /*argv*/) {
  const std::vector<int> values(3, 0);
  // The index comes from the run, so that the compiler cannot see the fault in advance.
  const auto past_the_end = values.size() + static_cast<std::size_t>(argc) - 1;
  std::printf("read %d past the end\n", values[past_the_end]);
  return 0;
}
