#include "host/cli/cli.h"

#include <algorithm>
#include <ostream>
#include <streambuf>
#include <string>

#include "host/cli/cli_support.h"
#include "host/cli/command_specs.h"
#include "host/cli/dialog_commands.h"
#include "host/cli/fonts_command.h"
#include "host/cli/generate_command.h"
#include "host/cli/inspect_command.h"
#include "host/cli/learn_command.h"
#include "host/cli/list_command.h"
#include "host/cli/settings_command.h"
#include "host/cli/tools_command.h"
#include "host/pdf/pdf_engine.h"
#include "sdk/host_error.h"

#ifndef SORVANE_VERSION
#define SORVANE_VERSION "0.0.0"
#endif

namespace sorvane::cli {
namespace {

// Passes on whole lines of messages that are errors ("sorvane: ..." but not warnings), and
// drops the rest: progress, warnings and notes. For --quiet.
class ErrorsOnly : public std::streambuf {
public:
  explicit ErrorsOnly(std::ostream &target) : m_target(target) {}
  ~ErrorsOnly() override { flushLine(); }

protected:
  int overflow(int c) override {
    if (c == traits_type::eof())
      return c;
    m_line += static_cast<char>(c);
    if (c == '\n' || c == '\r')
      flushLine();
    return c;
  }

private:
  void flushLine() {
    if (m_line.rfind("sorvane: ", 0) == 0 && m_line.rfind("sorvane: warning: ", 0) != 0)
      m_target << m_line << std::flush;
    m_line.clear();
  }
  std::ostream &m_target;
  std::string m_line;
};

ExitCode printVersion(std::ostream &out, std::ostream &err) {
  try {
    out << "sorvane " << SORVANE_VERSION << " (" << host::pdfEngineVersion() << ")\n";
    return ExitCode::Success;
  } catch (const HostError &e) {
    err << "sorvane: " << e.what() << "\n";
    return ExitCode::HostFailure;
  }
}

ExitCode runCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  if (args.empty()) {
    printHelp(err);
    return ExitCode::Usage;
  }
  const std::string &first = args.front();
  if (first == "-h" || first == "--help" || (first == "help" && args.size() == 1)) {
    printHelp(out);
    return ExitCode::Success;
  }
  if (first == "help") {
    // Hidden: what the build makes the manual page and the shell completion from.
    if (args[1] == "--man") {
      printManPage(out, SORVANE_VERSION);
      return ExitCode::Success;
    }
    if (args[1] == "--bash-completion") {
      printBashCompletion(out);
      return ExitCode::Success;
    }
    const CommandSpec *command = findCommand(args[1]);
    if (!command || args.size() > 2)
      return usageError(err, "'help' takes the name of a command.");
    printCommandHelp(*command, out);
    return ExitCode::Success;
  }
  if (const CommandSpec *command = findCommand(first)) {
    for (size_t i = 1; i < args.size() && args[i] != "--"; ++i)
      if (args[i] == "--help" || args[i] == "-h") {
        printCommandHelp(*command, out);
        return ExitCode::Success;
      }
  }
  if (first == "-V" || first == "--version") {
    if (args.size() > 1)
      return usageError(err, "'" + first + "' takes no arguments.");
    return printVersion(out, err);
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (first == "list")
    return runList(rest, out, err);
  if (first == "inspect")
    return runInspect(rest, out, err);
  if (first == "fonts")
    return runFonts(rest, out, err);
  if (first == "learn")
    return runLearn(rest, out, err);
  if (first == "suggest")
    return runSuggest(rest, out, err);
  if (first == "generate")
    return runGenerate(rest, out, err);
  if (first == "batch")
    return runBatch(rest, out, err);
  if (first == "settings")
    return runSettings(rest, out, err);
  if (first == "delete-all")
    return runDeleteAll(rest, out, err);
  if (first == "print")
    return runPrint(rest, out, err);
  if (first == "validate")
    return runValidate(rest, out, err);
  if (first == "sort")
    return runSort(rest, out, err);
  if (!first.empty() && first.front() == '-')
    return usageError(err, unknownOption(first, {"--help", "--version"}));
  std::vector<std::string> names;
  for (const CommandSpec &command : commandSpecs())
    names.push_back(command.name);
  std::string message = unknownOption(first, names);
  message.replace(0, std::string("unknown option").size(), "unknown command");
  return usageError(err, message);
}

ExitCode runGuarded(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  try {
    return runCommand(args, out, err);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  } catch (const std::exception &e) {
    err << "sorvane: internal error: " << e.what() << "\n";
  } catch (...) {
    err << "sorvane: internal error: an unknown exception\n";
  }
  err << "sorvane: nothing more was done; please report this with the command that caused it.\n";
  return ExitCode::InternalError;
}

} // namespace

ExitCode run(const std::vector<std::string> &givenArgs, std::ostream &out, std::ostream &err) {
  // --quiet (-q) works the same for every command: only errors reach standard error.
  std::vector<std::string> args;
  bool quiet = false;
  for (size_t i = 0; i < givenArgs.size(); ++i) {
    const bool optionsEnded = std::find(givenArgs.begin(), givenArgs.begin() + long(i), "--") !=
                              givenArgs.begin() + long(i);
    if (!optionsEnded && i > 0 && (givenArgs[i] == "--quiet" || givenArgs[i] == "-q"))
      quiet = true;
    else
      args.push_back(givenArgs[i]);
  }
  ErrorsOnly filter(err);
  std::ostream quietErr(&filter);
  return runGuarded(args, out, quiet ? quietErr : err);
}

} // namespace sorvane::cli
