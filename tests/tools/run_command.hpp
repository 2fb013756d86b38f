// The command-line tools' tests run the real executables and scripts through the shell.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tobrin_test {

struct Outcome {
  int status = -1;  // the exit status, or -1 when the command did not end normally
  std::string out;  // standard output and standard error together
};

// Runs COMMAND with sh, its standard error sent along with its output.
inline Outcome RunCommand(const std::string& command) {
  Outcome run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, got);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tobrin_test
