#include "host/cli/dialog_support.h"

#include <iostream>
#include <iterator>
#include <sstream>

#include "host/base/file_io.h"
#include "host/pdf/text_selection.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {
namespace {

constexpr size_t kMaxScriptBytes = 1 << 20;

} // namespace

DialogOptions dialogOptions(const Arguments &a) {
  DialogOptions options;
  options.script = a.value("--dialog");
  options.show = a.flag("--show-dialog");
  options.select = a.value("--select");
  return options;
}

void prepareDialogs(HostSession &session, const DialogOptions &options, std::ostream &out) {
  host::ScriptedUi &ui = session.ui();
  std::string text;
  if (options.script) {
    try {
      if (*options.script == "-")
        text = host::readStandardInput(kMaxScriptBytes);
      else
        text = host::readWholeFile(*options.script, kMaxScriptBytes);
    } catch (const HostError &e) {
      if (e.code() == ErrorCode::Cancelled)
        throw;
      throw ScriptError("the dialog script cannot be read: " + e.text());
    }
  }
  try {
    ui.setScript(host::parseDialogScript(text));
  } catch (const HostError &e) {
    throw ScriptError(*options.script + ": " + e.text());
  }
  ui.setOutput(&out);
  ui.setShowOnOpen(options.show);
  ui.setCancelWhenDone(!options.script);
}

void selectRectangle(HostSession &session, host::PdfDocument &document, DocHandle doc,
                     const std::string &spec) {
  int page = 0;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  char colon = 0, c1 = 0, c2 = 0, c3 = 0;
  std::istringstream in(spec);
  in.imbue(std::locale::classic());
  if (!(in >> page >> colon >> x0 >> c1 >> y0 >> c2 >> x1 >> c3 >> y1) || colon != ':' ||
      c1 != ',' || c2 != ',' || c3 != ',' || in.peek() != std::char_traits<char>::eof())
    throw ScriptError("--select takes PAGE:X0,Y0,X1,Y1 (a page counted from 1 and a rectangle "
                      "in points), not '" +
                      spec + "'.");
  if (page < 1 || page > document.pageCount())
    throw ScriptError("--select: the document has no page " + std::to_string(page) + " (it has " +
                      std::to_string(document.pageCount()) + ").");
  DocSelection selection = host::selectText(document, page - 1, HostRect{x0, y0, x1, y1});
  // An empty selection would make the style capture take nothing and the dialog go on as if it
  // had: a level with no style of the page's.
  if (selection.pieces.empty())
    throw ScriptError("--select: no text lies in " + spec.substr(spec.find(':') + 1) + " on page " +
                      std::to_string(page) +
                      " (points from the page's lower left corner; sorvane inspect --page " +
                      std::to_string(page) + " shows where its text is).");
  session.provider().acroView().setSelection(doc, std::move(selection));
}

void requireScriptDone(HostSession &session) {
  host::ScriptedUi &ui = session.ui();
  if (ui.failure())
    throw ScriptError(*ui.failure());
  if (!ui.finished())
    throw ScriptError(
        "the dialogs closed before the script's end; steps left: " + ui.unusedSteps() + ".");
}

} // namespace sorvane::cli
