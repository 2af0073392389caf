// One file through the plug-in's generate command, as every host runs it: open (with the
// document's permission to change it), run, judge, save. The command line, the studio's batch
// window and the rule writers' trial runs all go through it, so the same run gets the same
// verdict and the same exit code wherever it is started.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/jobs/exit_code.h"
#include "host/jobs/session.h"
#include "host/runtime/batch_sequence.h"
#include "sdk/progress_monitor.h"
#include "sdk/run_outcome.h"

namespace sorvane::jobs {

// The plug-in's generate command with a set of settings, ready to run on files one after the
// other. `settings` stays the caller's.
class Generator {
public:
  // Throws HostError when the plug-in is not loaded or refuses the settings.
  Generator(Session &session, CabinetHandle settings);
  host::BatchSequence &sequence() { return *m_sequence; }
  Session &session() { return m_session; }

private:
  Session &m_session;
  std::unique_ptr<host::BatchSequence> m_sequence;
};

// What a job is asked to do.
struct GenerateOptions {
  std::string input;
  std::string output; // where the result goes; empty: the input itself (replaced atomically)
  std::string password;
  bool dryRun = false; // find the bookmarks, write nothing (and need no permission to change)
  // How the progress of the run is shown; none: not shown.
  const ProgressMonitor *monitor = nullptr;
  void *clientData = nullptr;
  // How a user lifts a refusal to change the document, said with it (the command line names
  // --password); empty: nothing said.
  std::string howToUnlock;
};

enum class Verdict {
  Done,     // bookmarks added, everything asked for done
  Problems, // it ran through, but found nothing, or left out or lost something (see problems)
  Failed,   // the file could not be opened, read, run or written
  Stopped,  // cancelled by the user; nothing was written
};

struct GenerateResult {
  Verdict verdict = Verdict::Failed;
  RunOutcome outcome;  // what the run did, when it ran
  size_t total = 0;    // bookmarks in the outline afterwards
  bool saved = false;  // the result was written
  std::string failure; // Failed, Stopped: why, naming the file
  ErrorCode failureCode = ErrorCode::None;
  // What went wrong or was left out, one line per kind, without the file's name.
  std::vector<std::string> problems;
};

// A run that ran through: Done, or Problems when it found nothing to add, pages could not be
// read, lines could not be tested against a pattern, text lay out of reach, or headings were
// lost or left out on the way into the outline. (Repeated headings the settings drop are none.)
Verdict judge(const RunOutcome &outcome);
// The lines that say what a run left out or could not do, one per kind; `saved` false adds that
// nothing was written (unless it was a dry run).
std::vector<std::string> problemsOf(const RunOutcome &outcome, bool saved, bool dryRun);
ExitCode exitCode(const GenerateResult &result);
// The result of a job that `error` ended: Stopped when the user cancelled it, else Failed.
GenerateResult failedWith(const HostError &error);

class GenerateJob {
public:
  GenerateJob(Generator &generator, GenerateOptions options);
  ~GenerateJob();
  GenerateJob(const GenerateJob &) = delete;
  GenerateJob &operator=(const GenerateJob &) = delete;

  // Opens the input; unless it is a dry run, the document's security settings must allow
  // changes. Throws HostError (the input named) when it cannot be opened or may not be changed
  // (PdfPermission, its text without a final stop, for a host to add how to lift it).
  void open();
  DocHandle doc() const { return m_file ? m_file->doc() : DocHandle(); }
  host::PdfDocument &document() { return m_file->document(); }

  // Runs the command on the open document (opening it first if need be), judges the run and,
  // unless it is a dry run, writes the result when bookmarks were added. Never throws a
  // HostError: a failure is the result's verdict.
  GenerateResult run();

private:
  Generator &m_generator;
  GenerateOptions m_options;
  std::unique_ptr<OpenDocument> m_file;
};

} // namespace sorvane::jobs
