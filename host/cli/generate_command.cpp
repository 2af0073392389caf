#include "host/cli/generate_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>
#include <unistd.h>

#include "host/base/file_io.h"
#include "host/cli/batch_inputs.h"
#include "host/cli/cli_support.h"
#include "host/cli/dialog_support.h"
#include "host/cli/file_processes.h"
#include "host/cli/host_session.h"
#include "host/cli/learn_command.h"
#include "host/cli/settings_support.h"
#include "host/cli/terminal_progress.h"
#include "host/jobs/generate_job.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/build_settings_file.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

// Tells the lines of `problems` as warnings about `name`.
void tellProblems(std::ostream &err, const std::string &name,
                  const std::vector<std::string> &problems) {
  for (const std::string &problem : problems)
    err << "sorvane: warning: " << name << ": " << problem << "\n";
}

// Opens the file of `job` and tells what the engine had to say about it.
void openFile(jobs::GenerateJob &job, const std::string &input, std::ostream &err) {
  try {
    job.open();
  } catch (const HostError &e) {
    if (e.code() != ErrorCode::PdfPermission)
      throw;
    throw HostError(e.code(), e.text() + " (open it with its owner password, --password).");
  }
  tellDamage(job.document(), input, err);
}

// "3 headings dropped (no heading of the level above)", or nothing when none was.
std::string droppedSummary(const RunOutcome &o) {
  if (o.dropped.empty())
    return {};
  const std::pair<DropReason, const char *> reasons[] = {
      {DropReason::NoParentLevel, "no heading of the level above"},
      {DropReason::Duplicate, "repeated"},
      {DropReason::StopWord, "stop word"},
      {DropReason::ContentsLine, "table of contents line"},
      {DropReason::NotInserted, "could not be added"},
  };
  std::vector<std::pair<int32_t, const char *>> counts;
  for (const auto &[reason, text] : reasons)
    if (const int32_t n = o.droppedFor(reason))
      counts.emplace_back(n, text);
  std::string why;
  for (const auto &[n, text] : counts)
    why += (why.empty() ? "" : ", ") +
           (counts.size() > 1 ? std::to_string(n) + " " : std::string()) + text;
  const size_t total = o.dropped.size();
  return std::to_string(total) + (total == 1 ? " heading" : " headings") + " dropped (" + why + ")";
}

// "12 pages left unread (none of their fonts is a level's); ", or nothing.
std::string unreadPages(const RunOutcome &o) {
  if (o.pagesSkipped <= 0)
    return {};
  return std::to_string(o.pagesSkipped) + (o.pagesSkipped == 1 ? " page" : " pages") +
         " left unread (none of their fonts is a level's); ";
}

const char *reasonText(DropReason reason) {
  switch (reason) {
  case DropReason::NoParentLevel: return "no heading of the level above";
  case DropReason::Duplicate: return "repeated";
  case DropReason::StopWord: return "stop word";
  case DropReason::ContentsLine: return "table of contents line";
  case DropReason::NotInserted: return "could not be added";
  }
  return "dropped";
}

// What a dry run found: the headings that would become bookmarks, then those dropped.
void printDryRun(const RunOutcome &o, bool json, std::ostream &out) {
  auto one = [](double v) { return std::round(v * 10) / 10; };
  if (json) {
    nlohmann::ordered_json report;
    nlohmann::ordered_json headings = nlohmann::ordered_json::array();
    for (const FoundHeading &h : o.headings)
      headings.push_back({{"level", h.level + 1},
                          {"page", h.page + 1},
                          {"title", h.title},
                          {"font", h.font},
                          {"size", one(h.size)},
                          {"box", {one(h.left), one(h.bottom), one(h.right), one(h.top)}}});
    nlohmann::ordered_json dropped = nlohmann::ordered_json::array();
    for (const DroppedHeading &d : o.dropped)
      dropped.push_back({{"level", d.level + 1},
                         {"page", d.page + 1},
                         {"title", d.title},
                         {"reason", reasonText(d.reason)}});
    report["headings"] = std::move(headings);
    report["dropped"] = std::move(dropped);
    out << report.dump(2) << "\n";
    return;
  }
  for (const FoundHeading &h : o.headings) {
    char facts[160];
    std::snprintf(facts, sizeof facts, "  [%s %.1f; %.1f %.1f %.1f %.1f]", h.font.c_str(), h.size,
                  h.left, h.bottom, h.right, h.top);
    out << std::string(size_t(2 * h.level), ' ') << "Level " << h.level + 1 << ", page "
        << h.page + 1 << ": " << h.title << facts << "\n";
  }
  for (const DroppedHeading &d : o.dropped)
    out << "Dropped (" << reasonText(d.reason) << "): level " << d.level + 1 << ", page "
        << d.page + 1 << ": " << d.title << "\n";
}

std::string seconds(std::chrono::steady_clock::time_point start) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return text;
}

// The settings, the plug-in and its batch command, ready to run on files.
struct Setup {
  size_t settingsProblems = 0; // told before the run: the settings file has mistakes
  std::unique_ptr<HostSession> session;
  OwnedCabinet settings;
  std::unique_ptr<jobs::Generator> generator; // goes first
};

// Tells what the settings check finds in the command's parameters.
size_t warnAboutParams(Setup &s, const std::string &name, std::ostream &err) {
  ASExtraTable &x = s.session->provider().asExtra();
  const OwnedCabinet description = s.generator->sequence().describeParams();
  return warnAboutSettings(x, description.get(), name, err);
}

// The session and the batch command with the settings of `settingsPath` (none: no settings
// yet, as the dialog starts them), checked unless `check` is clear.
std::unique_ptr<Setup> prepare(const std::optional<std::string> &settingsPath, bool check,
                               std::ostream &err, const std::string *settingsText = nullptr) {
  auto s = std::make_unique<Setup>();
  s->session = std::make_unique<HostSession>(err);
  ASExtraTable &x = s->session->provider().asExtra();
  if (settingsText)
    s->settings = host::readBuildSettingsText(x, *settingsText, "the suggested rules");
  else
    s->settings = settingsPath ? readBuildSettings(*s->session, *settingsPath)
                               : OwnedCabinet(x, x.cabinetNew());
  s->session->loadPlugIn();
  s->generator = std::make_unique<jobs::Generator>(*s->session, s->settings.get());
  if (check)
    s->settingsProblems = warnAboutParams(
        *s, settingsText ? "the suggested rules" : settingsPath.value_or("the settings"), err);
  return s;
}

// With --strict, settings with mistakes stop the command before any work.
bool refusedAsStrict(const Arguments &a, const Setup &setup, std::ostream &err) {
  if (!a.flag("--strict") || setup.settingsProblems == 0)
    return false;
  err << "sorvane: the settings have mistakes (above) and --strict is given; nothing was done.\n";
  return true;
}

bool isTerminal() { return ::isatty(2) != 0; }

// The reader threads besides this one that `jobs` asks for: no more than the file's pages give
// work to, and fewer when they would not fit in the memory available (each takes about the
// file's size; told unless `quiet`).
int readersFor(const host::PdfDocument &document, const std::string &input, int jobs, bool quiet,
               std::ostream &err) {
  jobs = 1 + host::PdfDocument::worthwhileReaders(jobs - 1, document.pageCount());
  const uint64_t available = availableMemory();
  if (available == 0 || jobs <= 1)
    return jobs - 1;
  const uint64_t each = document.readerBytes();
  const int readers = host::PdfDocument::affordableReaders(jobs - 1, each, available);
  if (readers < jobs - 1 && !quiet)
    err << "sorvane: " << input << ": reading with " << readers + 1
        << (readers == 0 ? " thread" : " threads") << " instead of " << jobs
        << ": each extra one takes about " << each / (1 << 20) << " MB for this file, and "
        << available / (1 << 20) << " MB of memory is available\n";
  return readers;
}

// Ctrl-C during a run stops it at the next page instead of ending the process.
struct GentleStop {
  GentleStop() { host::stopGentlyOnSignals(true); }
  ~GentleStop() { host::stopGentlyOnSignals(false); }
};

enum class FileStatus { Done, Problems, Failed, Interrupted };

const char *statusName(FileStatus status) {
  switch (status) {
  case FileStatus::Done: return "done";
  case FileStatus::Problems: return "problems";
  case FileStatus::Failed: return "failed";
  case FileStatus::Interrupted: return "interrupted";
  }
  return "failed";
}

// The messages of `told` (lines "sorvane: [warning: ]NAME: what"), as what alone.
std::vector<std::string> problemsOf(const std::string &told, const std::string &name) {
  std::vector<std::string> problems;
  std::istringstream lines(told);
  for (std::string line; std::getline(lines, line);) {
    for (const std::string prefix : {"sorvane: warning: ", "sorvane: "})
      if (line.rfind(prefix, 0) == 0) {
        line.erase(0, prefix.size());
        break;
      }
    if (line.rfind(name + ": ", 0) == 0)
      line.erase(0, name.size() + 2);
    if (!line.empty())
      problems.push_back(line);
  }
  return problems;
}

// One file of a batch: its line (and its problems) told, its results line written, its status
// returned.
FileStatus batchOne(Setup &setup, const std::string &input, const std::string &output,
                    const std::string &pw, TerminalProgress &progress, std::ostream &out,
                    std::ostream &err, ResultsLog *results) {
  progress.setSubject(input); // files worked on side by side tell their progress by name
  const auto start = std::chrono::steady_clock::now();
  FileRecord record;
  record.input = input;
  std::ostringstream told;
  FileStatus status = FileStatus::Failed;
  jobs::GenerateJob job(*setup.generator, {input, output, pw, false, &progress.monitor(),
                                           progress.clientData(), std::string(kHowToUnlock)});
  jobs::GenerateResult r;
  try {
    openFile(job, input, err);
    r = job.run();
  } catch (const HostError &e) {
    r = jobs::failedWith(e);
  }
  switch (r.verdict) {
  case jobs::Verdict::Done:
  case jobs::Verdict::Problems: {
    tellProblems(told, input, r.problems);
    err << told.str();
    const std::string dropped = droppedSummary(r.outcome);
    out << input << ": " << counted(r.outcome.bookmarksInserted, "bookmark", "bookmarks")
        << " added, " << r.total << " in all" << (dropped.empty() ? "" : ", " + dropped)
        << (r.saved ? " -> " + output : std::string(", not written")) << "\n";
    record.bookmarks = r.outcome.bookmarksInserted;
    if (r.saved)
      record.output = output;
    status = r.verdict == jobs::Verdict::Done ? FileStatus::Done : FileStatus::Problems;
    break;
  }
  case jobs::Verdict::Stopped:
    told << "sorvane: " << r.failure << "\n";
    status = FileStatus::Interrupted; // the files after it are not begun
    err << told.str();
    break;
  case jobs::Verdict::Failed:
    told << "sorvane: " << input << ": failed: " << r.failure << "\n";
    err << told.str();
    break;
  }
  if (results) {
    record.status = statusName(status);
    record.problems = problemsOf(told.str(), input);
    record.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!results->add(record))
      err << "sorvane: warning: " << results->path() << ": the result of " << input
          << " could not be written\n";
  }
  return status;
}

} // namespace

ExitCode runGenerate(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("generate"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'generate' takes one PDF file.");
  auto settings = a.value("--settings");
  const DialogOptions dialogs = dialogOptions(a);
  const auto saveRules = a.value("--save-rules");
  if (saveRules && !a.flag("--auto"))
    return usageError(err, "--save-rules keeps the rules of --auto; give --auto too.");
  if (saveRules && std::filesystem::exists(*saveRules))
    return usageError(err,
                      *saveRules + " exists; --save-rules writes a new file (nothing was done).");
  if (a.flag("--auto") && (settings || dialogs.any()))
    return usageError(err, "--auto makes its own rules; it takes no -s or --dialog.");
  if (!settings && !dialogs.any() && !a.flag("--auto"))
    return usageError(err, "'generate' needs a settings file: -s SETTINGS.svb (or the Generate "
                           "dialog: --dialog SCRIPT, or rules of its own: --auto).");
  if (dialogs.select && !dialogs.any())
    return usageError(err, "--select gives the dialogs a text selection; it needs --dialog.");
  const auto output = a.value("--output");
  const std::string input = a.positional()[0];
  if (a.flag("--json") && !a.flag("--dry-run"))
    return usageError(err, "--json is for the report of a dry run (--dry-run).");
  // A dry run writes nothing, so it needs no place for a result.
  if (!a.flag("--dry-run") || output || a.flag("--in-place"))
    if (const auto problem = outputProblem(a, input))
      return usageError(err, *problem);
  std::string problem;
  const std::optional<int> jobs = jobCount(a, problem);
  if (!jobs)
    return usageError(err, problem);
  const GentleStop gentle;
  const auto start = std::chrono::steady_clock::now();
  std::optional<std::string> suggested; // the rules of --auto, kept in memory
  if (a.flag("--auto")) {
    SuggestOptions asked;
    asked.input = input;
    try {
      asked.password = password(a);
    } catch (const HostError &e) {
      return reportHostError(err, e);
    }
    std::ostringstream proposal;
    suggested.emplace();
    const ExitCode made = suggestRules(asked, &*suggested, proposal, err);
    if (made != ExitCode::Success)
      return made;
    if (!a.flag("--quiet"))
      err << proposal.str();
    if (saveRules) {
      try {
        writeResultFile(*saveRules, *suggested);
      } catch (const HostError &e) {
        return reportHostError(err, e);
      }
      if (!a.flag("--quiet"))
        err << "sorvane: the rules --auto uses are kept in " << *saveRules << "\n";
    }
  }
  try {
    auto setup = prepare(settings, !dialogs.any(), err, suggested ? &*suggested : nullptr);
    if (refusedAsStrict(a, *setup, err))
      return ExitCode::InputError;
    HostSession &session = *setup->session;
    TerminalProgress progress(err, isTerminal(), session.provider().asExtra());
    const bool dryRun = a.flag("--dry-run");
    // A dry run changes nothing: a document whose security forbids changes may be looked at.
    jobs::GenerateJob job(*setup->generator,
                          {input, output ? *output : input, password(a), dryRun,
                           &progress.monitor(), progress.clientData(), std::string(kHowToUnlock)});
    openFile(job, input, err);
    if (dialogs.any()) {
      // The settings as the user leaves them in the Generate dialog, with this document open.
      session.view().setActiveDoc(job.doc());
      if (dialogs.select)
        selectRectangle(session, job.document(), job.doc(), *dialogs.select);
      prepareDialogs(session, dialogs, out);
      const CommandStatus edited = setup->generator->sequence().editParams();
      requireScriptDone(session);
      if (edited != CommandStatus::Ready) {
        if (dialogs.script)
          err << "sorvane: the Generate dialog was closed without OK; nothing was generated.\n";
        return dialogs.script ? ExitCode::ProblemsFound : ExitCode::Success;
      }
      setup->settingsProblems = warnAboutParams(*setup, "the dialog's settings", err);
      if (refusedAsStrict(a, *setup, err))
        return ExitCode::InputError;
    }
    session.pdf().setShortcuts(!a.flag("--read-every-page"));
    job.document().setReadAhead(readersFor(job.document(), input, *jobs, a.flag("--quiet"), err));
    const jobs::GenerateResult r = job.run();
    if (r.verdict == jobs::Verdict::Failed || r.verdict == jobs::Verdict::Stopped) {
      err << "sorvane: " << r.failure << "\n";
      return jobs::exitCode(r);
    }
    if (dryRun) {
      printDryRun(r.outcome, a.flag("--json"), out);
      tellProblems(err, input, r.problems);
      const std::string dropped = droppedSummary(r.outcome);
      err << "sorvane: dry run: " << r.outcome.headings.size()
          << (r.outcome.headings.size() == 1 ? " bookmark" : " bookmarks") << " would be added"
          << (dropped.empty() ? "" : "; " + dropped) << "; nothing was written\n";
      return setup->settingsProblems || r.outcome.headings.empty() ? ExitCode::ProblemsFound
                                                                   : ExitCode::Success;
    }
    tellProblems(err, input, r.problems);
    const std::string dropped = droppedSummary(r.outcome);
    out << "Bookmarks added: " << r.outcome.bookmarksInserted << "; the outline now holds "
        << r.total << "; " << (dropped.empty() ? "" : dropped + "; ") << unreadPages(r.outcome)
        << seconds(start) << "\n";
    // Settings that were partly ignored make no clean success either.
    return setup->settingsProblems ? ExitCode::ProblemsFound : jobs::exitCode(r);
  } catch (const ScriptError &e) {
    return usageError(err, e.what());
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

std::string floodOf(const std::string &input, const std::string &password,
                    const std::string &settingsText, std::ostream &err) {
  std::ostringstream quiet; // the trial run's notes and progress are not the user's business
  auto setup = prepare(std::nullopt, false, quiet, &settingsText);
  HostSession &session = *setup->session;
  TerminalProgress progress(quiet, false, session.provider().asExtra());
  jobs::GenerateJob job(
      *setup->generator,
      {input, input, password, true, &progress.monitor(), progress.clientData(), {}});
  openFile(job, input, err);
  const jobs::GenerateResult r = job.run();
  if (r.verdict == jobs::Verdict::Failed || r.verdict == jobs::Verdict::Stopped)
    throw HostError(r.failureCode, r.failure);
  const size_t made = r.outcome.headings.size();
  const int pages = std::max(1, job.document().pageCount());
  if (made <= size_t(kFloodFloor) || made <= size_t(kFloodPerPage) * size_t(pages))
    return {};
  std::map<int32_t, size_t> byLevel;
  for (const FoundHeading &h : r.outcome.headings)
    ++byLevel[h.level];
  const auto most =
      std::max_element(byLevel.begin(), byLevel.end(),
                       [](const auto &a, const auto &b) { return a.second < b.second; });
  return "they would make " + std::to_string(made) + " bookmarks on " + std::to_string(pages) +
         " pages, Level " + std::to_string(most->first + 1) + " alone " +
         std::to_string(most->second) + ": that is body text, not headings";
}

ExitCode runBatch(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("batch"));
  if (a.error())
    return usageError(err, *a.error());
  const auto filesFrom = a.value("--files-from");
  if (a.positional().empty() && !filesFrom)
    return usageError(err, "'batch' takes one or more PDF files, or --files-from LIST.");
  if (a.flag("--null") && !filesFrom)
    return usageError(err, "-0 says how --files-from separates its paths; give --files-from too.");
  const auto resultsPath = a.value("--results");
  if (a.flag("--skip-done") && !resultsPath)
    return usageError(err, "--skip-done skips the files a results file says are done; give "
                           "--results FILE.jsonl too.");
  std::optional<std::pair<uint32_t, uint32_t>> shard;
  if (const auto text = a.value("--shard")) {
    shard = parseShard(*text);
    if (!shard)
      return usageError(err, "--shard takes K/N, the share K of N (1 <= K <= N): " + *text + ".");
  }
  const auto settings = a.value("--settings");
  if (!settings)
    return usageError(err, "'batch' needs a settings file: -s SETTINGS.svb.");
  const auto dir = a.value("--output-dir");
  const auto suffix = a.value("--suffix");
  if (int(dir.has_value()) + int(suffix.has_value()) + int(a.flag("--in-place")) != 1)
    return usageError(err, "say where the results go: --output-dir DIR, --suffix S, or "
                           "--in-place.");
  if (suffix && suffix->empty())
    return usageError(err, "'--suffix' needs a non-empty suffix.");
  // The files: those named, those listed; of them this shard's share; of that what an earlier
  // run has not done.
  std::vector<std::string> inputs = a.positional();
  std::set<std::string> doneBefore;
  try {
    if (filesFrom) {
      const std::vector<std::string> listed = readFileList(*filesFrom, a.flag("--null"));
      inputs.insert(inputs.end(), listed.begin(), listed.end());
    }
    if (a.flag("--skip-done"))
      doneBefore = ResultsLog::done(*resultsPath);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
  if (inputs.empty())
    return usageError(err, *filesFrom + " lists no files.");
  if (shard)
    std::erase_if(inputs, [&](const std::string &input) {
      return !inShard(input, shard->first, shard->second);
    });
  const size_t skipped =
      std::erase_if(inputs, [&](const std::string &input) { return doneBefore.count(input) > 0; });
  if (skipped > 0)
    err << "sorvane: " << counted(int64_t(skipped), "file", "files")
        << " left out: " << (skipped == 1 ? "it is" : "they are") << " done in " << *resultsPath
        << "\n";
  // Where each result goes, checked before any work: no result may replace an input (but its
  // own, in place) or another result.
  std::vector<std::string> outputs;
  for (const std::string &input : inputs) {
    const std::filesystem::path in(input);
    if (dir)
      outputs.push_back((std::filesystem::path(*dir) / in.filename()).string());
    else if (suffix)
      outputs.push_back(
          (in.parent_path() / (in.stem().string() + *suffix + in.extension().string())).string());
    else
      outputs.push_back(input);
  }
  for (size_t i = 0; i < outputs.size(); ++i) {
    if (!a.flag("--in-place"))
      if (const auto refused = outputOverInput(outputs[i], inputs))
        return usageError(err, *refused);
    for (size_t k = 0; k < i; ++k)
      if (std::filesystem::path(outputs[i]).lexically_normal() ==
              std::filesystem::path(outputs[k]).lexically_normal() ||
          isSameFile(outputs[i], outputs[k]))
        return usageError(err, inputs[k] + " and " + inputs[i] + " would both be written to " +
                                   outputs[i] + "; nothing was done.");
  }
  const GentleStop gentle;
  std::unique_ptr<Setup> setup;
  std::string pw;
  try {
    pw = password(a);
    setup = prepare(*settings, true, err);
    if (refusedAsStrict(a, *setup, err))
      return ExitCode::InputError;
    if (dir) {
      std::error_code ec;
      std::filesystem::create_directories(*dir, ec);
      if (ec)
        throw HostError(ErrorCode::Generic,
                        *dir + ": cannot make the output folder (" + ec.message() + ").");
    }
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
  std::unique_ptr<ResultsLog> results;
  try {
    if (resultsPath)
      results = std::make_unique<ResultsLog>(*resultsPath);
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
  std::string problem;
  const std::optional<int> jobs = jobCount(a, problem);
  if (!jobs)
    return usageError(err, problem);
  int failed = 0;
  int withProblems = 0;
  size_t interrupted = 0; // files stopped halfway
  size_t begun = 0;
  const auto start = std::chrono::steady_clock::now();
  auto count = [&](FileStatus status) {
    ++begun;
    failed += status == FileStatus::Failed;
    withProblems += status == FileStatus::Problems;
    interrupted += status == FileStatus::Interrupted;
  };
  if (*jobs > 1 && inputs.size() > 1) {
    const auto one = [&](size_t i, std::ostream &fileOut, std::ostream &fileErr) {
      TerminalProgress quiet(fileErr, false, setup->session->provider().asExtra());
      return batchOne(*setup, inputs[i], outputs[i], pw, quiet, fileOut, fileErr, results.get());
    };
    const auto lost = [&](size_t i) {
      err << "sorvane: " << inputs[i]
          << ": failed: the process working on it ended before it was done\n";
      if (results)
        results->add({inputs[i],
                      std::nullopt,
                      "failed",
                      0,
                      {"the process working on it ended before it was done"},
                      0});
      count(FileStatus::Failed);
    };
    runInProcesses(
        inputs.size(), std::min<size_t>(size_t(*jobs), inputs.size()),
        [&](size_t i, std::ostream &o, std::ostream &e) { return int(one(i, o, e)); }, out, err,
        [&](int status) { count(FileStatus(status)); }, int(FileStatus::Interrupted), lost);
  } else {
    TerminalProgress progress(err, isTerminal(), setup->session->provider().asExtra());
    for (size_t i = 0; i < inputs.size() && !interrupted; ++i)
      count(batchOne(*setup, inputs[i], outputs[i], pw, progress, out, err, results.get()));
  }
  // Stopped halfway through a file, or between files with some never begun.
  const bool stopped = interrupted || (host::interruptRequested() && begun < inputs.size());
  const size_t files = stopped ? begun - interrupted : inputs.size();
  if (stopped)
    err << "sorvane: interrupted after " << files << " of " << inputs.size() << " files.\n";
  // Three kinds that do not overlap: done cleanly, done with problems, failed.
  out << counted(int64_t(files), "file", "files") << ": "
      << files - size_t(failed) - size_t(withProblems) << " done, ";
  if (withProblems)
    out << withProblems << " done with problems (see above), ";
  out << failed << " failed; " << seconds(start) << "\n";
  if (stopped)
    return ExitCode::Interrupted;
  if (failed)
    return ExitCode::HostFailure;
  return withProblems || setup->settingsProblems ? ExitCode::ProblemsFound : ExitCode::Success;
}

} // namespace sorvane::cli
