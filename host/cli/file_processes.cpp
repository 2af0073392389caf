#include "host/cli/file_processes.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/base/file_io.h"

namespace sorvane::cli {
namespace {

// Records on a child's pipe: "S index\n" when a file is begun, "E index status outLength
// errLength\n" followed by the two texts when it is done.
bool writeAll(int fd, const std::string &data) {
  size_t at = 0;
  while (at < data.size()) {
    const ssize_t n = ::write(fd, data.data() + at, data.size() - at);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    at += size_t(n);
  }
  return true;
}

[[noreturn]] void childLoop(std::atomic<size_t> &next, size_t count, const FileWork &work, int fd,
                            int stopStatus) {
  for (;;) {
    const size_t index = next.fetch_add(1);
    if (index >= count)
      break;
    if (!writeAll(fd, "S " + std::to_string(index) + "\n"))
      break;
    std::ostringstream out;
    std::ostringstream err;
    int status = stopStatus;
    try {
      status = work(index, out, err);
    } catch (const std::exception &e) {
      err << "sorvane: " << e.what() << "\n";
    }
    const std::string o = out.str();
    const std::string e = err.str();
    if (!writeAll(fd, "E " + std::to_string(index) + " " + std::to_string(status) + " " +
                          std::to_string(o.size()) + " " + std::to_string(e.size()) + "\n" + o +
                          e) ||
        status == stopStatus)
      break;
  }
  ::close(fd);
  std::_Exit(0); // nothing of the parent's (buffers, files, destructors) is run twice
}

struct Child {
  pid_t pid = -1;
  int fd = -1;
  std::string pending;          // bytes read, not yet a whole record
  std::optional<size_t> onFile; // begun and not yet done
};

// Takes the whole records off the front of `child.pending`.
void takeRecords(Child &child, std::ostream &out, std::ostream &err,
                 const std::function<void(int)> &done) {
  for (;;) {
    const size_t eol = child.pending.find('\n');
    if (eol == std::string::npos)
      return;
    std::istringstream header(child.pending.substr(0, eol));
    char kind = 0;
    size_t index = 0;
    header >> kind >> index;
    if (kind == 'S') {
      child.onFile = index;
      child.pending.erase(0, eol + 1);
      continue;
    }
    int status = 0;
    size_t outLength = 0, errLength = 0;
    header >> status >> outLength >> errLength;
    if (child.pending.size() < eol + 1 + outLength + errLength)
      return; // the texts are still on their way
    out << child.pending.substr(eol + 1, outLength) << std::flush;
    err << child.pending.substr(eol + 1 + outLength, errLength) << std::flush;
    child.pending.erase(0, eol + 1 + outLength + errLength);
    child.onFile.reset();
    done(status);
  }
}

} // namespace

size_t threadsOfThisProcess() {
  std::error_code ec;
  size_t threads = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/task", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
    ++threads;
  return threads == 0 ? 1 : threads;
}

void runInProcesses(size_t count, size_t processes, const FileWork &work, std::ostream &out,
                    std::ostream &err, const std::function<void(int)> &done, int stopStatus,
                    const std::function<void(size_t)> &lost) {
  out.flush();
  err.flush();
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  void *shared = ::mmap(nullptr, sizeof(std::atomic<size_t>), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  std::vector<Child> children;
  host::takeForwardedStops();
  if (shared != MAP_FAILED && threadsOfThisProcess() == 1) {
    auto *next = new (shared) std::atomic<size_t>(0);
    for (size_t p = 0; p < processes; ++p) {
      int fds[2];
      if (::pipe(fds) != 0)
        break;
      const pid_t pid = ::fork();
      if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        break;
      }
      if (pid == 0) {
        ::close(fds[0]);
        for (const Child &c : children)
          ::close(c.fd);
        childLoop(*next, count, work, fds[1], stopStatus);
      }
      ::close(fds[1]);
      children.push_back(Child{pid, fds[0], {}, {}});
    }
  }
  if (children.empty()) {
    // No second process: one file after the other, here.
    for (size_t i = 0; i < count && !host::interruptRequested(); ++i) {
      const int status = work(i, out, err);
      done(status);
      if (status == stopStatus)
        break;
    }
  }
  size_t open = children.size();
  bool stopPassedOn = false;
  while (open > 0) {
    // A stop sent to this process alone (a scheduler, `timeout`, a closed terminal) reaches the
    // workers too: no file is begun any more, and those being worked on stop at their next page.
    if (host::interruptRequested() && !stopPassedOn) {
      stopPassedOn = true;
      static_cast<std::atomic<size_t> *>(shared)->store(count);
      for (const Child &c : children)
        ::kill(c.pid, host::kForwardedStop);
    }
    std::vector<pollfd> polled;
    for (const Child &c : children)
      if (c.fd >= 0)
        polled.push_back(pollfd{c.fd, POLLIN, 0});
    // Woken now and then, since a signal may come between the look above and the wait.
    if (::poll(polled.data(), polled.size(), 200) < 0 && errno != EINTR)
      break;
    for (Child &c : children) {
      if (c.fd < 0)
        continue;
      const bool ready = std::any_of(polled.begin(), polled.end(), [&](const pollfd &p) {
        return p.fd == c.fd && p.revents != 0;
      });
      if (!ready)
        continue;
      char buffer[65536];
      const ssize_t n = ::read(c.fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR)
        continue;
      if (n > 0) {
        c.pending.append(buffer, size_t(n));
        takeRecords(c, out, err, done);
        continue;
      }
      ::close(c.fd);
      c.fd = -1;
      --open;
    }
  }
  for (Child &c : children) {
    int status = 0;
    while (::waitpid(c.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (c.onFile)
      lost(*c.onFile);
  }
  if (shared != MAP_FAILED)
    ::munmap(shared, sizeof(std::atomic<size_t>));
}

} // namespace sorvane::cli
