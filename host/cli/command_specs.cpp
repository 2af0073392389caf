#include "host/cli/command_specs.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace sorvane::cli {
namespace {

const OptionSpec kPassword{{"--password"}, "PW", "the password of an encrypted file"};
const OptionSpec kPasswordFile{
    {"--password-file"}, "FILE", "read the password from the first line of FILE"};
const OptionSpec kHelpOption{{"--help", "-h"}, "", "show this command's help"};
const OptionSpec kQuietOption{
    {"--quiet", "-q"}, "", "tell only errors: no progress, warnings or notes"};

const OptionSpec kStrictOption{
    {"--strict"}, "", "settings with mistakes are an error: exit code 3, nothing done"};
const OptionSpec kJobsOption{
    {"--jobs", "-j"}, "N", "work in N threads (default: one per core; 1: a single thread)"};
const OptionSpec kDialogOption{
    {"--dialog"},
    "SCRIPT",
    "edit the settings in the Generate dialog, driven by the steps of SCRIPT (- reads them from "
    "standard input; see docs/dialog-scripts.md)"};
const OptionSpec kShowDialogOption{
    {"--show-dialog"}, "", "print each dialog's controls as it opens (alone: show, then close)"};
const OptionSpec kSelectOption{{"--select"},
                               "PAGE:X0,Y0,X1,Y1",
                               "the text selection the dialogs see: the runs of a page "
                               "rectangle, in points"};

std::vector<OptionSpec> withCommon(std::vector<OptionSpec> options, bool readsPdf) {
  if (readsPdf) {
    options.push_back(kPassword);
    options.push_back(kPasswordFile);
  }
  options.push_back(kQuietOption);
  options.push_back(kHelpOption);
  return options;
}

std::vector<CommandSpec> makeSpecs() {
  return {
      {"generate",
       {"generate IN.pdf -s SETTINGS.svb (-o OUT.pdf | --in-place) [--password PW]",
        "generate IN.pdf [-s SETTINGS.svb] --dialog SCRIPT [--show-dialog] "
        "[--select PAGE:X0,Y0,X1,Y1] (-o OUT.pdf | --in-place)",
        "generate IN.pdf -s SETTINGS.svb --dry-run [--json]",
        "generate IN.pdf --auto [--save-rules RULES.svb] (-o OUT.pdf | --in-place | --dry-run)"},
       "find the headings of IN.pdf by the level rules of SETTINGS.svb and add them to its "
       "outline as bookmarks",
       "Scans the pages of IN.pdf for headings by the level rules of the settings file (or of the "
       "Generate dialog, with --dialog) and writes them into its outline as bookmarks, one outline "
       "level per rule. The result goes to "
       "OUT.pdf, or replaces IN.pdf with --in-place; a run that adds nothing writes nothing. "
       "Mistakes in the settings file, pages that cannot be read and headings that are left out "
       "are told, each on its own line, and end the run with exit code 1.",
       withCommon({{{"--settings", "-s"}, "SETTINGS.svb", "the settings file"},
                   {{"--output", "-o"}, "OUT.pdf", "where the result goes"},
                   {{"--in-place"}, "", "replace IN.pdf with the result"},
                   {{"--dry-run"},
                    "",
                    "print the headings that would become bookmarks (level, page, title, font, "
                    "size, box) and those dropped and why; write nothing"},
                   {{"--json"}, "", "with --dry-run: print the report as JSON"},
                   {{"--auto"},
                    "",
                    "no settings file: rules proposed for the document as 'suggest' makes them, "
                    "from its printed table of contents or its text styles (told on standard "
                    "error)"},
                   {{"--save-rules"},
                    "RULES.svb",
                    "with --auto: keep the rules it used in RULES.svb (a new file), to look at, "
                    "edit or use again"},
                   kStrictOption,
                   kJobsOption,
                   {{"--read-every-page"},
                    "",
                    "read every page's text in full, also pages and runs whose fonts no level "
                    "names (the result is the same, only slower)"},
                   kDialogOption,
                   kShowDialogOption,
                   kSelectOption},
                  true),
       "sorvane generate book.pdf -s book.svb -o book-bookmarked.pdf"},
      {"batch",
       {"batch -s SETTINGS.svb (--output-dir DIR | --suffix S | --in-place) FILES...",
        "batch -s SETTINGS.svb (--output-dir DIR | --suffix S | --in-place) --files-from LIST "
        "[-0] [--shard K/N] [--results FILE.jsonl [--skip-done]]"},
       "the same for many files; one that fails does not stop the others",
       "Runs generate with one settings file over many PDF files. A line per file says what "
       "happened; a summary ends the run. Results that would replace an input or each other are "
       "refused before any work. Exit code 4 when a file failed, else 1 when a file had "
       "problems, else 0. For more files than one machine takes: --shard K/N works on share K "
       "of N (a fixed split by path, so N machines take every file once with no coordinator), "
       "--results appends a JSON line per file as it finishes (input, output, status, "
       "bookmarks, problems, seconds; the shards' files joined by concatenation), and "
       "--skip-done resumes a shard by leaving out what its results file says is done.",
       withCommon({{{"--settings", "-s"}, "SETTINGS.svb", "the settings file (required)"},
                   {{"--output-dir"}, "DIR", "write each result into DIR (made when missing)"},
                   {{"--suffix"}, "S", "write each result beside its input, S added to its name"},
                   {{"--in-place"}, "", "replace each input with its result"},
                   kStrictOption,
                   {{"--jobs", "-j"},
                    "N",
                    "work on N files at once, each in a process of its own (default: one per "
                    "core)"},
                   {{"--files-from"},
                    "LIST",
                    "work on the files LIST names, one a line (- reads "
                    "standard input)"},
                   {{"--null", "-0"}, "", "the paths of --files-from end with a NUL character"},
                   {{"--shard"}, "K/N", "work on share K of N of the files (1 <= K <= N)"},
                   {{"--results"}, "FILE.jsonl", "append a JSON line per file as it finishes"},
                   {{"--skip-done"}, "", "leave out the files --results says are done"}},
                  true),
       "sorvane batch -s manuals.svb --output-dir bookmarked/ manuals/*.pdf"},
      {"settings",
       {"settings new FILE.svb", "settings show FILE.svb",
        "settings check FILE.svb [--pdf IN.pdf] [--strict]",
        "settings edit FILE.svb --dialog SCRIPT [--show-dialog] [--pdf IN.pdf] "
        "[--select PAGE:X0,Y0,X1,Y1]"},
       "start a settings file, show and check what one does, or edit one in the Generate dialog",
       "new writes a settings file with every key at its starting value and one level that finds "
       "12-point Helvetica-Bold headings; it never overwrites a file. show prints the levels and "
       "the other settings, and tells each mistake in the file with its key (exit code 1). check "
       "tells only the mistakes, and with --pdf also the level font names that occur nowhere in "
       "the document (naming its fonts that differ only by subset prefix or case); --strict "
       "makes a mistake an error (exit code 3). edit "
       "opens the file (or empty settings, for a new file) in the Generate dialog, follows the "
       "steps of the dialog script and writes the settings back when the script presses OK; with "
       "--pdf the document is open for the dialog's font list and style capture.",
       withCommon({kDialogOption,
                   kShowDialogOption,
                   {{"--pdf"}, "IN.pdf", "the document the dialogs work with, or the check tests"},
                   kSelectOption,
                   {{"--strict"}, "", "check: a mistake is an error (exit code 3)"}},
                  true),
       "sorvane settings new book.svb"},
      {"print",
       {"print IN.pdf (--print-to OUT.pdf | --printer NAME) [--yes] [--password PW]"},
       "print the page each bookmark leads to, in outline order, into a PDF file or to a print "
       "queue",
       "Prints the page each bookmark leads to, in outline order, after a confirmation: into a "
       "new PDF file, or to a print queue through lp. A document that forbids printing is not "
       "printed (exit code 3) unless opened with its owner password.",
       withCommon({{{"--print-to"}, "OUT.pdf", "write the pages into a new PDF file"},
                   {{"--printer"}, "NAME", "send the pages to this print queue"},
                   {{"--yes"}, "", "answer the confirmation with yes"}},
                  true),
       "sorvane print book.pdf --print-to chapters.pdf --yes"},
      {"validate",
       {"validate IN.pdf [--json] [--no-links] [--no-files] [--password PW]"},
       "check every bookmark: title, action, destination page, linked files",
       "Checks every bookmark of IN.pdf as the Validate dialog does: a title, an action, a "
       "destination page inside the document, a link into this document, and a linked outside "
       "file that exists. Prints each bookmark with problems (its title path, its page and the "
       "problems) and the number checked. Exit code 1 when a problem was found (or the file has "
       "no bookmarks), 0 when none. Nothing is written.",
       withCommon({{{"--json"}, "", "print the report as JSON"},
                   {{"--no-links"}, "", "do not report bookmarks that lead outside the document"},
                   {{"--no-files"}, "", "do not check that linked files exist"}},
                  true),
       "sorvane validate book.pdf"},
      {"sort",
       {"sort IN.pdf (-o OUT.pdf | --in-place) [--level N] [--descending] [--ignore-case] "
        "[--children] [--title TEXT] [--password PW]"},
       "sort bookmarks by title",
       "Sorts the bookmarks of one level of IN.pdf by title, as the Sort dialog does: level 1 is "
       "the top-level bookmarks, level 2 their children, and so on. Titles compare byte by byte "
       "(upper case before lower case, numbers as text) unless --ignore-case is given. With "
       "--title, only the children of bookmarks with exactly that title are sorted.",
       withCommon({{{"--output", "-o"}, "OUT.pdf", "where the result goes"},
                   {{"--in-place"}, "", "replace IN.pdf with the result"},
                   {{"--level"}, "N", "the level to sort, 1 to 10 (default 1)"},
                   {{"--descending"}, "", "sort from Z to A"},
                   {{"--ignore-case"}, "", "compare titles without regard to letter case"},
                   {{"--children"}, "", "sort every level below the chosen one too"},
                   {{"--title"}, "TEXT", "sort only the children of bookmarks titled TEXT"}},
                  true),
       "sorvane sort book.pdf --level 2 --children -o sorted.pdf"},
      {"delete-all",
       {"delete-all IN.pdf (-o OUT.pdf | --in-place) [--yes] [--password PW]"},
       "delete every bookmark, after a confirmation",
       "Deletes every bookmark of IN.pdf after a confirmation (--yes answers it; without a "
       "terminal and without --yes nothing is deleted, exit code 2).",
       withCommon({{{"--output", "-o"}, "OUT.pdf", "where the result goes"},
                   {{"--in-place"}, "", "replace IN.pdf with the result"},
                   {{"--yes"}, "", "answer the confirmation with yes"}},
                  true),
       "sorvane delete-all book.pdf -o book-plain.pdf --yes"},
      {"list",
       {"list FILE.pdf [--json] [--password PW]"},
       "print the outline as an indented tree (title, page, open state), or as JSON",
       "Prints the outline of FILE.pdf: one bookmark a line, indented by level, with the page it "
       "leads to and whether it is shown open; with --json, a JSON array of bookmarks.",
       withCommon({{{"--json"}, "", "print JSON"}}, true),
       "sorvane list book.pdf --json"},
      {"fonts",
       {"fonts FILE.pdf [--pages A-B] [--json] [--password PW]"},
       "the text styles of a whole document: font, size, lines, share, samples; body marked",
       "Reads the text of every page (or of the pages A to B) once and prints one row per text "
       "style (font name and size to a tenth of a point), the largest first: the number of lines "
       "set in it, its share of the document's text, the page where it first appears, the most "
       "common left edge (points) and up to three sample lines. The style with the most text is "
       "marked as the body text. Headings are the styles larger or bolder than the body with few "
       "short lines: write a level rule for each.",
       withCommon({{{"--pages"}, "A-B", "only pages A to B (counted from 1; A, or A- to the end)"},
                   {{"--json"}, "", "print JSON"}},
                  true),
       "sorvane fonts book.pdf"},
      {"learn",
       {"learn IN.pdf -o RULES.svb [--force] [--json] [--password PW]"},
       "write the level rules that reproduce the outline IN.pdf already has",
       "Finds the heading of each bookmark of IN.pdf on the page it leads to (also under a "
       "label row, or at the start of a longer line), builds candidate rules for each outline "
       "depth (sizes, fonts, numbering, capitals, left edge, rows) and keeps the rule set whose "
       "generation comes closest to the outline: it runs the page scan of generate with each. "
       "Tells per level the rule and how many bookmarks it makes, then the bookmarks not "
       "reproduced and those made that the outline lacks (the first 10; all with --json). The "
       "rules ignore subset prefixes, so they serve other documents made the same way, and "
       "replace a document's bookmarks when applied (InsertType Replace). Exit code 0 when the "
       "outline is reproduced exactly; 1 when it is not (the rules are written all the same), "
       "when the rules would make more than twice the outline's bookmarks (nothing is written) "
       "or when nothing could be learned.",
       withCommon({{{"--output", "-o"}, "RULES.svb", "where the rules go (required)"},
                   {{"--force"}, "", "replace RULES.svb when it exists"},
                   {{"--json"}, "", "print the report as JSON"}},
                  true),
       "sorvane learn volume1.pdf -o series.svb"},
      {"suggest",
       {"suggest IN.pdf -o RULES.svb [--levels N] [--force] [--json] [--password PW]"},
       "propose level rules for a document without an outline",
       "Reads IN.pdf once. When it prints a table of contents that places enough titles on "
       "their pages, learns the rules from its entries as learn learns from an outline. Else "
       "takes the body style (the most text) and proposes as levels the styles larger or bolder "
       "than the body whose lines are short, not at the top or bottom of most pages (running "
       "heads) and not ending in page numbers (contents lines), split by the depth of their "
       "numbering (1, 1.2, A.1, Chapter 3) and ordered by size, numbering and weight; at most N "
       "levels (default 4); rules that would make more than 8 bookmarks a page are not written "
       "(exit code 1). Says which source it used, writes RULES.svb and prints each level: judge "
       "them, then generate.",
       withCommon({{{"--output", "-o"}, "RULES.svb", "where the rules go (required)"},
                   {{"--levels"}, "N", "at most N levels (1 to 10, default 4)"},
                   {{"--force"}, "", "replace RULES.svb when it exists"},
                   {{"--json"}, "", "print the proposal as JSON"}},
                  true),
       "sorvane suggest book.pdf -o book.svb"},
      {"inspect",
       {"inspect FILE.pdf [--page N] [--json] [--password PW]"},
       "print the text runs of a page with font, size and box: the facts level rules test",
       "Prints the text runs of page N (default 1) in content order, with the exact font name "
       "(subset prefix included), the size in points and the box: what level rules are written "
       "against.",
       withCommon({{{"--page"}, "N", "the page, counted from 1"}, {{"--json"}, "", "print JSON"}},
                  true),
       "sorvane inspect book.pdf --page 12"},
  };
}

// `text` broken into lines of at most `width` characters, each after `indent` blanks.
std::string wrap(const std::string &text, size_t indent, size_t width = 79) {
  std::string out;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find(' ', at);
    const std::string word =
        text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
      out += std::string(indent, ' ') + line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty())
    out += std::string(indent, ' ') + line + "\n";
  return out;
}

void printOptions(const CommandSpec &c, std::ostream &out) {
  for (const OptionSpec &o : c.options) {
    std::string names;
    for (auto it = o.names.rbegin(); it != o.names.rend(); ++it)
      names += (names.empty() ? "" : ", ") + *it;
    if (!o.value.empty())
      names += " " + o.value;
    constexpr size_t kColumn = 31;
    out << "  " << names;
    if (names.size() + 2 >= kColumn)
      out << "\n" << std::string(kColumn, ' ');
    else
      out << std::string(kColumn - 2 - names.size(), ' ');
    out << o.help << "\n";
  }
}

// Text for roff: a leading dot or quote would be a request, a backslash an escape.
std::string roff(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\''))
    out = "\\&" + out;
  return out;
}

} // namespace

const std::vector<CommandSpec> &commandSpecs() {
  static const std::vector<CommandSpec> specs = makeSpecs();
  return specs;
}

const CommandSpec *findCommand(const std::string &name) {
  for (const CommandSpec &c : commandSpecs())
    if (c.name == name)
      return &c;
  return nullptr;
}

std::string guideFolder() {
  // Installed beside the program (PREFIX/share/doc/sorvane); in a build tree, the source's docs/.
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const auto installed = self.parent_path().parent_path() / "share" / "doc" / "sorvane";
    if (std::filesystem::is_regular_file(installed / "command-line.md", ec))
      return installed.string();
  }
#ifdef SORVANE_SOURCE_DOCS
  if (std::filesystem::is_regular_file(
          std::filesystem::path(SORVANE_SOURCE_DOCS) / "command-line.md", ec))
    return SORVANE_SOURCE_DOCS;
#endif
  return "/usr/share/doc/sorvane";
}

void printHelp(std::ostream &out) {
  out << "Usage: sorvane COMMAND [OPTIONS]\n"
         "       sorvane help [COMMAND] | --help | --version\n\n"
         "Sorvane builds, checks and maintains the bookmark outline of PDF files.\n\n"
         "Commands:\n";
  for (const CommandSpec &c : commandSpecs()) {
    for (const std::string &s : c.synopses)
      out << "  " << s << "\n";
    out << wrap(c.summary, 19);
  }
  out << R"(
'sorvane help COMMAND' (or 'sorvane COMMAND --help') shows a command's options and an example.
Every command that reads a PDF also takes --password PW, or --password-file FILE (its first
line), or the environment variable SORVANE_PASSWORD.

Options:
  -h, --help       show this help and exit
  -V, --version    show the version of Sorvane and of its PDF engine, and exit

Exit codes:
  0  success
  1  done with problems (nothing found or added, pages unreadable, headings lost, mistakes in
     the settings file)
  2  usage error
  3  input error (an unreadable PDF or settings file, a wrong password, a document whose
     security forbids the change)
  4  output or host error (a result that cannot be written, a failure while working)
  5  internal error
  130 interrupted (Ctrl-C)

The manual page sorvane(1) has this help for every command. The guide (command-line.md,
settings-files.md, writing-rules.md, dialog-scripts.md, scale.md, studio.md) is in
)";
  out << guideFolder() << R"(.

Sorvane is free software under the GNU Affero General Public License, version 3 or later.
)";
}

void printCommandHelp(const CommandSpec &c, std::ostream &out) {
  for (size_t i = 0; i < c.synopses.size(); ++i)
    out << (i ? "       sorvane " : "Usage: sorvane ") << c.synopses[i] << "\n";
  out << "\n" << wrap(c.description, 0) << "\nOptions:\n";
  printOptions(c, out);
  out << "\nExample:\n  " << c.example << "\n";
}

void printManPage(std::ostream &out, const std::string &version) {
  out << ".TH SORVANE 1 \"\" \"sorvane " << version << "\" \"User Commands\"\n"
      << ".SH NAME\nsorvane \\- build, check and maintain the bookmark outline of PDF files\n"
      << ".SH SYNOPSIS\n";
  for (const CommandSpec &c : commandSpecs())
    for (const std::string &s : c.synopses)
      out << ".B sorvane\n" << roff(s) << "\n.br\n";
  out << ".SH DESCRIPTION\nSorvane finds the headings of a PDF document by per-level rules (font "
         "name and size, text pattern, indentation, page area), turns them into titles and "
         "writes them into the outline as a hierarchy. Results go to standard output, progress, "
         "warnings and errors to standard error.\n"
      << ".SH COMMANDS\n";
  for (const CommandSpec &c : commandSpecs()) {
    out << ".SS " << roff(c.name) << "\n" << roff(c.description) << "\n";
    for (const OptionSpec &o : c.options) {
      out << ".TP\n.B ";
      for (size_t i = 0; i < o.names.size(); ++i)
        out << (i ? ", " : "") << roff(o.names[i]);
      if (!o.value.empty())
        out << " \\fI" << roff(o.value) << "\\fR";
      out << "\n" << roff(o.help) << "\n";
    }
    out << ".PP\nExample:\n.RS\n.B " << roff(c.example) << "\n.RE\n";
  }
  out << ".SH ENVIRONMENT\n.TP\n.B SORVANE_PASSWORD\nthe password of encrypted files, when no "
         "option gives one\n"
      << ".SH EXIT STATUS\n"
         ".TP\n0\nsuccess\n"
         ".TP\n1\ndone with problems: nothing found or added, pages unreadable, headings lost, "
         "mistakes in the settings file\n"
         ".TP\n2\nusage error\n"
         ".TP\n3\ninput error: an unreadable PDF or settings file, a wrong password, a document "
         "whose security forbids the change\n"
         ".TP\n4\noutput or host error: a result that cannot be written, a failure while "
         "working\n"
         ".TP\n5\ninternal error\n"
         ".TP\n130\ninterrupted (Ctrl\\-C)\n"
      << ".SH FILES\nResults are written through a hidden temporary file beside them, "
         "\\fI.NAME.sorvane\\-PID.XXXXXX\\fR, that replaces the output only when complete.\n"
      << ".SH SEE ALSO\n.BR sorvane\\-settings (5):\nevery key of a settings file.\n.PP\nThe "
         "guide, installed in \\fIPREFIX/share/doc/sorvane\\fR "
         "(\\fI/usr/share/doc/sorvane\\fR for the Debian package): \\fIcommand\\-line.md\\fR "
         "(every command), \\fIsettings\\-files.md\\fR (the keys of settings files), "
         "\\fIwriting\\-rules.md\\fR, \\fIdialog\\-scripts.md\\fR, \\fIscale.md\\fR (batches over "
         "many machines) and \\fIstudio.md\\fR (the desktop studio, sorvane\\-studio).\n"
      << ".SH LICENSE\nGNU Affero General Public License, version 3 or later.\n";
}

void printBashCompletion(std::ostream &out) {
  out << "# bash completion for sorvane\n_sorvane() {\n"
         "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" cmd=\"${COMP_WORDS[1]}\"\n"
         "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n    COMPREPLY=($(compgen -W \"";
  for (const CommandSpec &c : commandSpecs())
    out << c.name << " ";
  out << "help --help --version\" -- \"$cur\"))\n    return\n  fi\n  case \"$cmd\" in\n";
  for (const CommandSpec &c : commandSpecs()) {
    out << "  " << c.name << ") opts=\"";
    for (const OptionSpec &o : c.options)
      for (const std::string &n : o.names)
        out << n << " ";
    if (c.name == "settings")
      out << "new show";
    out << "\";;\n";
  }
  out << "  *) opts=\"\";;\n  esac\n"
         "  if [[ \"$cur\" == -* || \"$cmd\" == settings && \"$COMP_CWORD\" -eq 2 ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))\n  else\n"
         "    COMPREPLY=($(compgen -f -- \"$cur\"))\n  fi\n}\ncomplete -o filenames -F _sorvane "
         "sorvane\n";
}

} // namespace sorvane::cli
