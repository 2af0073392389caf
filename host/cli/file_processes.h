// Files worked on in several processes at once: each child takes the next file not yet begun,
// and what it says about a file reaches the parent's streams whole, as soon as it is done.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>

namespace sorvane::cli {

// Does file `index`, telling what happened on `out` and `err`; returns its status.
using FileWork = std::function<int(size_t index, std::ostream &out, std::ostream &err)>;

// Runs `work` for the files 0 to `count` - 1 in `processes` child processes forked from this
// one. A child of a process with other threads could inherit a lock another thread held, so
// while this process has more than one thread the files are done here, one after the other. Each
// file's lines go to `out` and `err` in the order files finish, and `done` is called with its
// status. A child that gets `stopStatus` begins no further file. For a file whose child ended
// before it was done (a crash), `lost` is called instead of `done`. Without a child process (fork
// refused), the files are done here, one after the other. A stop asked of this process
// (host::interruptRequested()) is passed on to the children: files not begun by then are never
// begun (nor reported). The threads of this process (1 when that cannot be read: no fork is refused
// for it).
size_t threadsOfThisProcess();

void runInProcesses(size_t count, size_t processes, const FileWork &work, std::ostream &out,
                    std::ostream &err, const std::function<void(int status)> &done, int stopStatus,
                    const std::function<void(size_t index)> &lost);

} // namespace sorvane::cli
