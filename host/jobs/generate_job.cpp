#include "host/jobs/generate_job.h"

#include <algorithm>
#include <string>
#include <utility>

#include "host/base/counted.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/build_settings_file.h"

namespace sorvane::jobs {
namespace {

std::string pageList(const std::vector<PageFailure> &pages) {
  std::string list;
  for (size_t i = 0; i < pages.size() && i < 10; ++i)
    list += (i ? ", " : "") + std::to_string(pages[i].page + 1);
  return pages.size() > 10 ? list + ", ..." : list;
}

} // namespace

Generator::Generator(Session &session, CabinetHandle settings) : m_session(session) {
  if (!session.plugInLoaded())
    throw HostError(ErrorCode::Generic, "internal error: the plug-in is not loaded");
  const Atom name = session.provider().core().atomFromString(host::kBuildCommandName);
  m_sequence = std::make_unique<host::BatchSequence>(session.view(), session.provider().asExtra(),
                                                     name, settings);
}

Verdict judge(const RunOutcome &o) {
  if (!o.ran || o.bookmarksInserted == 0 || !o.complete() ||
      o.droppedFor(DropReason::NoParentLevel) > 0 || o.patternTestsGivenUp > 0 ||
      o.runsOutOfReach > 0)
    return Verdict::Problems;
  return Verdict::Done;
}

std::vector<std::string> problemsOf(const RunOutcome &o, bool saved, bool dryRun) {
  std::vector<std::string> lines;
  if (!o.failedPages.empty())
    lines.push_back(host::counted(int64_t(o.failedPages.size()), "page", "pages") +
                    " could not be read and gave no headings (page " + pageList(o.failedPages) +
                    "): " + o.failedPages.front().reason);
  if (const int32_t lost = o.droppedFor(DropReason::NotInserted))
    lines.push_back(host::counted(lost, "heading", "headings") +
                    " could not be added to the outline");
  if (o.runsOutOfReach > 0)
    lines.push_back(std::to_string(o.runsOutOfReach) +
                    (o.runsOutOfReach == 1 ? " text run lies" : " text runs lie") +
                    " more than 32,767 points from the page's lower left corner, beyond what "
                    "the rules can measure, and " +
                    (o.runsOutOfReach == 1 ? "was" : "were") + " left unread (first on page " +
                    std::to_string(o.firstPageOutOfReach + 1) + ")");
  if (o.patternTestsGivenUp > 0)
    lines.push_back(host::counted(o.patternTestsGivenUp, "line", "lines") +
                    " took too long to test against a text pattern and counted as not matching "
                    "(a simpler pattern tests every line)");
  if (const int32_t orphans = o.droppedFor(DropReason::NoParentLevel))
    lines.push_back(std::to_string(orphans) + (orphans == 1 ? " heading was" : " headings were") +
                    " left out because no heading of the level above came before it");
  if (o.ran && o.headingsFound == 0 && o.failedPages.size() < size_t(std::max(1, o.pagesScanned)))
    lines.push_back(std::string("no headings found: ") +
                    (o.runsInLevelFonts == 0
                         ? "no text is set in the fonts the levels name (sorvane inspect shows "
                           "the fonts of a page)"
                         : std::to_string(o.runsInLevelFonts) +
                               " text runs are set in the levels' fonts, but none passed their "
                               "size, pattern, indentation or area rules"));
  if (!saved && !dryRun)
    lines.push_back("nothing was added, so nothing was written");
  return lines;
}

ExitCode exitCode(const GenerateResult &r) {
  switch (r.verdict) {
  case Verdict::Done: return ExitCode::Success;
  case Verdict::Problems: return ExitCode::ProblemsFound;
  case Verdict::Stopped: return ExitCode::Interrupted;
  case Verdict::Failed: return exitCodeFor(HostError(r.failureCode, r.failure));
  }
  return ExitCode::InternalError;
}

GenerateResult failedWith(const HostError &error) {
  GenerateResult result;
  result.verdict = error.code() == ErrorCode::Cancelled ? Verdict::Stopped : Verdict::Failed;
  result.failureCode = error.code();
  result.failure = error.text();
  return result;
}

GenerateJob::GenerateJob(Generator &generator, GenerateOptions options)
    : m_generator(generator), m_options(std::move(options)) {}

GenerateJob::~GenerateJob() = default;

void GenerateJob::open() {
  if (m_file)
    return;
  auto document = host::PdfDocument::open(m_options.input, m_options.password);
  // The host keeps the document's word: no bookmarks go into a file that may not be changed.
  if (!m_options.dryRun)
    requireChangesAllowed(*document, m_options.input, m_options.howToUnlock);
  m_file = std::make_unique<OpenDocument>(m_generator.session(), std::move(document));
}

GenerateResult GenerateJob::run() {
  GenerateResult result;
  const auto fail = [](ErrorCode code, const std::string &why) {
    return failedWith(HostError(code, why));
  };
  const std::string &input = m_options.input;
  try {
    open();
    Session &session = m_generator.session();
    host::AcroView &view = session.view();
    // The command works on the active document, as it does when the user runs it on a window.
    const DocHandle active = view.appGetActiveDoc();
    view.setActiveDoc(doc());
    const CommandStatus status =
        m_generator.sequence().runOn(doc(), m_options.monitor, m_options.clientData);
    view.setActiveDoc(active);
    const std::optional<RunOutcome> outcome = m_generator.sequence().lastOutcome();
    if (!outcome)
      return fail(ErrorCode::Generic, input + ": the generation did not say what it did.");
    if (outcome->cancelled)
      return fail(ErrorCode::Cancelled, input + ": interrupted; nothing was written.");
    if (outcome->stopped())
      return fail(outcome->stopCode,
                  input + ": the generation stopped, nothing was written: " + outcome->stopReason);
    if (status != CommandStatus::Done)
      return fail(ErrorCode::Generic, input + ": the generation did not finish.");
    result.outcome = *outcome;
    result.total = host::listOutline(session.pdf(), doc()).entries.size();
    if (outcome->bookmarksInserted > 0 && !m_options.dryRun) {
      try {
        document().save(m_options.output.empty() ? input : m_options.output);
      } catch (const HostError &e) {
        // An output that cannot be written is the host's failure, not the input's; only an
        // input changed by another program meanwhile stays an input error.
        return fail(e.code() == ErrorCode::FileChanged ? e.code() : ErrorCode::Generic, e.text());
      }
      result.saved = true;
    }
    result.verdict = judge(result.outcome);
    result.problems = problemsOf(result.outcome, result.saved, m_options.dryRun);
    return result;
  } catch (const HostError &e) {
    return failedWith(e);
  }
}

} // namespace sorvane::jobs
