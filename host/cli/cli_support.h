// What the subcommands share: reading their arguments and reporting failures.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/base/counted.h"
#include "host/cli/cli.h"
#include "host/cli/command_specs.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"

namespace sorvane::cli {

// Arguments of one subcommand: flags, options with a value, and positional arguments.
class Arguments {
public:
  Arguments(std::vector<std::string> args, std::vector<std::string> flags,
            std::vector<std::string> valueOptions);
  // The arguments of `command`, by its options (command_specs.h). A short name ("-o") is kept
  // under the option's long name ("--output").
  Arguments(std::vector<std::string> args, const CommandSpec &command);

  // The reason the arguments cannot be read (an unknown option, a missing value), or nothing.
  const std::optional<std::string> &error() const { return m_error; }
  bool flag(const std::string &name) const;
  std::optional<std::string> value(const std::string &name) const;
  const std::vector<std::string> &positional() const { return m_positional; }

private:
  void parse(const std::vector<std::string> &args, const std::vector<std::string> &flags,
             const std::vector<std::string> &valueOptions);
  std::string canonical(const std::string &name) const;

  std::vector<std::pair<std::string, std::string>> m_aliases; // short name, long name
  std::vector<std::string> m_flags;
  std::vector<std::pair<std::string, std::string>> m_values;
  std::vector<std::string> m_positional;
  std::optional<std::string> m_error;
};

// True when `a` and `b` name the same existing file (symbolic links followed, hard links seen).
bool isSameFile(const std::string &a, const std::string &b);

// Why `output` may not be written: it is one of `inputs` (a result never replaces an input
// unless the command's in-place mode says so). Nothing when it may.
std::optional<std::string> outputOverInput(const std::string &output,
                                           const std::vector<std::string> &inputs);

// The password a command was given: --password, else the first line of --password-file, else
// the environment's SORVANE_PASSWORD, else none. Throws HostError(FileAccess) for a password
// file that cannot be read.
std::string password(const Arguments &a);

// Opens the PDF file at `path` and tells on `err` what the engine had to say about it (repairs,
// a page tree that is not what it claims), the first few of it. Throws HostError as
// host::PdfDocument::open does.
std::unique_ptr<host::PdfDocument> openDocument(const std::string &path,
                                                const std::string &password, std::ostream &err);
// Tells on `err` what the engine had to say about the file at `path` as it opened it.
void tellDamage(const host::PdfDocument &document, const std::string &path, std::ostream &err);

// Why the result of a command that changes `input` has no place to go: neither or both of
// -o OUT.pdf and --in-place, or an output that is the input. Nothing when it has one.
std::optional<std::string> outputProblem(const Arguments &a, const std::string &input);

// Throws HostError(PdfPermission) when the security settings of `document` (opened from
// `input`) forbid changes.
void requireChangesAllowed(const host::PdfDocument &document, const std::string &input);
// How the command line lifts a refusal to change a document.
inline constexpr std::string_view kHowToUnlock = "open it with its owner password, --password";

// Writes the changed document to `target`. A file that cannot be written throws
// HostError(Generic) (an output failure, the input untouched); an input that another program
// changed meanwhile throws FileChanged (an input failure), and nothing is written either way.
void saveResult(host::PdfDocument &document, const std::string &target);

// The memory the system can give without swapping, in bytes (MemAvailable); 0 when unknown.
uint64_t availableMemory();

// Writes `bytes` to the file at `path` atomically. Throws HostError(Generic) when it cannot be
// written: an output failure, whatever the system's reason.
void writeResultFile(const std::string &path, std::string_view bytes);

// Prints the usage error and returns ExitCode::Usage.
ExitCode usageError(std::ostream &err, const std::string &message);

// The edit distance between two words (insertions, deletions, replacements).
size_t editDistance(std::string_view a, std::string_view b);
// "unknown option '--jsn'; did you mean '--json'?": the nearest of `known` when it is near.
std::string unknownOption(const std::string &given, const std::vector<std::string> &known);

using host::counted;

// The thread count of --jobs: one per core when not given; nothing (with `problem` set) for a
// value that is no whole number from 1 to 64.
std::optional<int> jobCount(const Arguments &a, std::string &problem);

// Prints a host error on one line and returns its exit code: InputError for files that cannot be
// read as what they should be, HostFailure for the rest.
ExitCode reportHostError(std::ostream &err, const HostError &error);

} // namespace sorvane::cli
