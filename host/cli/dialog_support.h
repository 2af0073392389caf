// What the commands that open the plug-in's dialogs share: the dialog script (--dialog),
// showing the dialogs (--show-dialog) and the text selection a style capture reads (--select).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"

namespace sorvane::cli {

// A dialog script that cannot be read or cannot be followed: a usage error (exit code 2).
class ScriptError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct DialogOptions {
  std::optional<std::string> script; // the script file ("-": standard input)
  bool show = false;
  std::optional<std::string> select; // "PAGE:X0,Y0,X1,Y1"
  bool any() const { return script || show; }
};

DialogOptions dialogOptions(const Arguments &a);

// Readies the session's dialogs: the script's steps, the dialogs shown on `out` as they open.
// Without a script, a shown dialog is closed as with its Cancel button. Throws ScriptError.
void prepareDialogs(HostSession &session, const DialogOptions &options, std::ostream &out);

// Makes the runs of a page rectangle ("PAGE:X0,Y0,X1,Y1", points, PAGE from 1) the selection of
// `doc`. Throws ScriptError for a malformed or out-of-range rectangle.
void selectRectangle(HostSession &session, host::PdfDocument &document, DocHandle doc,
                     const std::string &spec);

// Throws ScriptError when the script failed or steps were left when the dialogs closed.
void requireScriptDone(HostSession &session);

} // namespace sorvane::cli
