#include "tests/support/run_program.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace sorvane::test {
namespace {

std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
      break;
    text.append(buffer, size_t(n));
  }
  return text;
}

} // namespace

ProgramResult runSorvane(const std::vector<std::string> &args, unsigned timeLimitSeconds) {
  // The runs of one test program share a profile of their own, never the user's.
  static const TempDir config;
  static const bool profileSet = setenv("XDG_CONFIG_HOME", config.path().c_str(), 1) == 0;
  (void)profileSet;
  char outName[] = "/tmp/sorvane-out-XXXXXX";
  char errName[] = "/tmp/sorvane-err-XXXXXX";
  const int outFd = mkstemp(outName);
  const int errFd = mkstemp(errName);
  if (outFd < 0 || errFd < 0)
    throw std::runtime_error("cannot capture the program's output");
  // Made before the fork: a child of a process with threads (the studio's tests) may only make
  // calls that take no lock until it runs the program.
  std::vector<char *> argv{const_cast<char *>(SORVANE_BINARY)};
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int devnull = ::open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    // The alarm outlives exec; its default action ends the program.
    if (timeLimitSeconds > 0)
      alarm(timeLimitSeconds);
    execv(SORVANE_BINARY, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
  lseek(outFd, 0, SEEK_SET);
  lseek(errFd, 0, SEEK_SET);
  result.out = drain(outFd);
  result.err = drain(errFd);
  ::close(outFd);
  ::close(errFd);
  unlink(outName);
  unlink(errName);
  return result;
}

} // namespace sorvane::test
