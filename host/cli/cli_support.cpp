#include "host/cli/cli_support.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sys/stat.h>
#include <thread>

#include "host/base/file_io.h"
#include "host/jobs/session.h"
#include "sdk/document_tables.h"

namespace sorvane::cli {

size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string unknownOption(const std::string &given, const std::vector<std::string> &known) {
  std::string message = "unknown option '" + given + "'";
  // The nearest known option, when it is near enough to be a slip ("--jsn", "--ouptut").
  const std::string *nearest = nullptr;
  size_t best = 0;
  for (const std::string &name : known) {
    const size_t d = editDistance(given, name);
    if (!nearest || d < best) {
      nearest = &name;
      best = d;
    }
  }
  if (nearest && best <= std::max<size_t>(1, std::min(given.size(), nearest->size()) / 3))
    message += "; did you mean '" + *nearest + "'?";
  else
    message += ".";
  return message;
}

Arguments::Arguments(std::vector<std::string> args, std::vector<std::string> flags,
                     std::vector<std::string> valueOptions) {
  parse(args, flags, valueOptions);
}

Arguments::Arguments(std::vector<std::string> args, const CommandSpec &command) {
  std::vector<std::string> flags;
  std::vector<std::string> values;
  for (const OptionSpec &o : command.options) {
    for (const std::string &name : o.names) {
      (o.value.empty() ? flags : values).push_back(name);
      if (name != o.names.front())
        m_aliases.emplace_back(name, o.names.front());
    }
  }
  parse(args, flags, values);
}

std::string Arguments::canonical(const std::string &name) const {
  for (const auto &[alias, longName] : m_aliases)
    if (alias == name)
      return longName;
  return name;
}

void Arguments::parse(const std::vector<std::string> &args, const std::vector<std::string> &flags,
                      const std::vector<std::string> &valueOptions) {
  auto known = [](const std::vector<std::string> &list, const std::string &a) {
    return std::find(list.begin(), list.end(), a) != list.end();
  };
  bool onlyPositional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (onlyPositional || a.empty() || a[0] != '-' || a == "-") {
      m_positional.push_back(a);
    } else if (a == "--") {
      onlyPositional = true;
    } else if (known(flags, a)) {
      m_flags.push_back(canonical(a));
    } else if (known(valueOptions, a)) {
      if (i + 1 >= args.size()) {
        m_error = "'" + a + "' needs a value.";
        return;
      }
      m_values.emplace_back(canonical(a), args[++i]);
    } else {
      std::vector<std::string> options = flags;
      options.insert(options.end(), valueOptions.begin(), valueOptions.end());
      m_error = unknownOption(a, options);
      return;
    }
  }
}

bool Arguments::flag(const std::string &name) const {
  return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

std::optional<std::string> Arguments::value(const std::string &name) const {
  for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
    if (it->first == name)
      return it->second;
  return std::nullopt;
}

bool isSameFile(const std::string &a, const std::string &b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::optional<std::string> outputOverInput(const std::string &output,
                                           const std::vector<std::string> &inputs) {
  for (const std::string &input : inputs)
    if (isSameFile(output, input))
      return output + " is the input file " + input +
             "; write the result elsewhere (or use --in-place where the command has it).";
  return std::nullopt;
}

std::string password(const Arguments &a) {
  if (auto given = a.value("--password"))
    return *given;
  if (auto file = a.value("--password-file")) {
    std::string text = host::readWholeFile(*file, 4096);
    text = text.substr(0, text.find_first_of("\r\n")); // the first line
    return text;
  }
  const char *fromEnvironment = std::getenv("SORVANE_PASSWORD");
  return fromEnvironment ? fromEnvironment : "";
}

std::unique_ptr<host::PdfDocument> openDocument(const std::string &path,
                                                const std::string &password, std::ostream &err) {
  auto document = host::PdfDocument::open(path, password);
  tellDamage(*document, path, err);
  return document;
}

void tellDamage(const host::PdfDocument &document, const std::string &path, std::ostream &err) {
  constexpr size_t kShown = 5;
  const std::vector<std::string> &warnings = document.warnings();
  for (size_t i = 0; i < warnings.size() && i < kShown; ++i)
    err << "sorvane: warning: " << warnings[i] << "\n";
  if (warnings.size() > kShown)
    err << "sorvane: warning: " << path << ": and " << warnings.size() - kShown
        << " more messages about damage the file has.\n";
}

std::optional<int> jobCount(const Arguments &a, std::string &problem) {
  constexpr int kMaxJobs = 64;
  const auto given = a.value("--jobs");
  if (!given)
    return std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxJobs);
  int jobs = 0;
  const auto [end, ec] = std::from_chars(given->data(), given->data() + given->size(), jobs);
  if (ec != std::errc() || end != given->data() + given->size() || jobs < 1 || jobs > kMaxJobs) {
    problem = "--jobs takes a number of threads from 1 to " + std::to_string(kMaxJobs) + ".";
    return std::nullopt;
  }
  return jobs;
}

ExitCode usageError(std::ostream &err, const std::string &message) {
  err << "sorvane: " << message << "\nRun 'sorvane --help' for the commands.\n";
  return ExitCode::Usage;
}

std::optional<std::string> outputProblem(const Arguments &a, const std::string &input) {
  const auto output = a.value("--output");
  if (output.has_value() == a.flag("--in-place"))
    return "say where the result goes: -o OUT.pdf, or --in-place to replace the input.";
  if (output)
    return outputOverInput(*output, {input});
  return std::nullopt;
}

void requireChangesAllowed(const host::PdfDocument &document, const std::string &input) {
  jobs::requireChangesAllowed(document, input, kHowToUnlock);
}

void saveResult(host::PdfDocument &document, const std::string &target) {
  try {
    document.save(target);
  } catch (const HostError &e) {
    if (e.code() == ErrorCode::FileChanged)
      throw;
    throw HostError(ErrorCode::Generic, e.text());
  }
}

uint64_t availableMemory() {
  std::ifstream info("/proc/meminfo");
  std::string key;
  uint64_t kilobytes = 0;
  std::string unit;
  while (info >> key >> kilobytes >> unit)
    if (key == "MemAvailable:")
      return kilobytes * 1024;
  return 0;
}

void writeResultFile(const std::string &path, std::string_view bytes) {
  try {
    host::writeFileAtomically(path, bytes);
  } catch (const HostError &e) {
    throw HostError(ErrorCode::Generic, e.text());
  }
}

ExitCode reportHostError(std::ostream &err, const HostError &error) {
  err << "sorvane: " << error.what() << "\n";
  return jobs::exitCodeFor(error);
}

} // namespace sorvane::cli
