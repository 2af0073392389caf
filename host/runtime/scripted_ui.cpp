#include "host/runtime/scripted_ui.h"

#include <charconv>
#include <ostream>
#include <sys/stat.h>

#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

using ui::Control;
using ui::ControlKind;
using ui::Dialog;
using ui::Event;

struct Verb {
  const char *name;
  size_t minArgs;
  size_t maxArgs;
};

constexpr Verb kVerbs[] = {
    {"dialog", 1, 1}, {"check", 1, 1},     {"uncheck", 1, 1},   {"choose", 2, 2},
    {"type", 2, 2},   {"press", 1, 1},     {"select", 2, 64},   {"double-click", 2, 64},
    {"show", 0, 0},   {"answer", 1, 1},    {"file", 1, 1},      {"no-file", 0, 0},
    {"colour", 3, 3}, {"no-colour", 0, 0}, {"interrupt", 1, 1},
};

[[noreturn]] void badScript(int line, const std::string &why) {
  throw HostError(ErrorCode::BadParameter,
                  "dialog script, line " + std::to_string(line) + ": " + why);
}

std::vector<std::string> words(std::string_view line, int lineNo) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#')
      break;
    std::string word;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\' && i < line.size()) {
          const char e = line[i++];
          d = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        }
        word += d;
      }
      if (!closed)
        badScript(lineNo, "a quote is not closed.");
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        word += line[i++];
    }
    out.push_back(std::move(word));
  }
  return out;
}

std::optional<int> number(const std::string &text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::string quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

const char *answerName(ui::MessageAnswer a) {
  switch (a) {
  case ui::MessageAnswer::Ok: return "OK";
  case ui::MessageAnswer::Cancel: return "Cancel";
  case ui::MessageAnswer::Yes: return "Yes";
  case ui::MessageAnswer::No: return "No";
  }
  return "?";
}

// The names a script may use for the controls of `dialog`, for a message that lists them.
std::string controlNames(const Dialog &dialog) {
  std::string out;
  for (const Control &c : dialog.controls()) {
    if (c.kind == ControlKind::Static || c.kind == ControlKind::Group)
      continue;
    if (!out.empty())
      out += ", ";
    out += quote(c.text.empty() ? c.name : c.text);
  }
  return out;
}

} // namespace

std::vector<ScriptStep> parseDialogScript(std::string_view text) {
  std::vector<ScriptStep> steps;
  int lineNo = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    ++lineNo;
    std::vector<std::string> w = words(text.substr(start, end - start), lineNo);
    start = end + 1;
    if (w.empty())
      continue;
    const Verb *verb = nullptr;
    for (const Verb &v : kVerbs)
      if (w[0] == v.name)
        verb = &v;
    if (!verb)
      badScript(lineNo, "unknown step " + quote(w[0]) +
                            " (steps: dialog, check, uncheck, choose, type, press, select, "
                            "double-click, show, answer, file, no-file, colour, no-colour, "
                            "interrupt).");
    const size_t args = w.size() - 1;
    if (args < verb->minArgs || args > verb->maxArgs)
      badScript(lineNo,
                quote(w[0]) + " takes " +
                    (verb->minArgs == verb->maxArgs ? std::to_string(verb->minArgs)
                                                    : "at least " + std::to_string(verb->minArgs)) +
                    " argument(s).");
    if (w[0] == "interrupt" && (!number(w[1]) || *number(w[1]) < 1))
      badScript(lineNo, "\"interrupt\" takes a count of 1 or more.");
    if (w[0] == "colour")
      for (size_t i = 1; i < 4; ++i)
        if (!number(w[i]) || *number(w[i]) < 0 || *number(w[i]) > 255)
          badScript(lineNo, "\"colour\" takes red, green and blue from 0 to 255.");
    ScriptStep step;
    step.line = lineNo;
    step.verb = w[0];
    step.args.assign(w.begin() + 1, w.end());
    steps.push_back(std::move(step));
  }
  return steps;
}

void ScriptedUi::setScript(std::vector<ScriptStep> steps) {
  m_steps = std::move(steps);
  m_next = 0;
  m_failure.reset();
  m_interruptAfter = 0;
}

void ScriptedUi::setDialogObserver(std::function<void(const ui::Dialog &)> observer) {
  m_observer = std::move(observer);
}

void ScriptedUi::setMessageHandler(std::function<void(std::string_view)> handler) {
  m_messageHandler = std::move(handler);
}

std::string ScriptedUi::unusedSteps() const {
  std::string out;
  for (size_t i = m_next; i < m_steps.size(); ++i)
    out += (out.empty() ? "line " : ", line ") + std::to_string(m_steps[i].line) + " (" +
           m_steps[i].verb + ")";
  return out;
}

void ScriptedUi::fail(const ScriptStep *step, const std::string &why) {
  if (m_failure)
    return;
  m_failure = step ? "dialog script, line " + std::to_string(step->line) + ": " + why : why;
  m_transcript.push_back("failed: " + *m_failure);
}

const ScriptStep *ScriptedUi::take(std::string_view verb) {
  if (m_failure || m_next >= m_steps.size() || m_steps[m_next].verb != verb)
    return nullptr;
  return &m_steps[m_next++];
}

ui::DialogResult ScriptedUi::runModal(Dialog &dialog) {
  m_transcript.push_back("dialog " + quote(dialog.title()));
  dialog.restart();
  dialog.onInit();
  if (m_show && m_showOnOpen)
    *m_show << describeDialog(dialog);
  while (!dialog.ended()) {
    if (m_failure) {
      dialog.end(ui::DialogResult::Cancel);
      break;
    }
    if (m_next >= m_steps.size()) {
      if (!m_cancelWhenDone) {
        fail(nullptr, "the script ended while the dialog " + quote(dialog.title()) +
                          " was open (press \"OK\" or \"Cancel\" to close it).");
        continue;
      }
      dialog.handle(ui::kIdCancel, Event::Clicked);
      if (!dialog.ended())
        dialog.end(ui::DialogResult::Cancel);
      break;
    }
    apply(dialog, m_steps[m_next++]);
  }
  if (m_observer)
    m_observer(dialog);
  m_transcript.push_back(std::string("closed ") + quote(dialog.title()) +
                         (dialog.result() == ui::DialogResult::Ok ? " with OK" : " with Cancel"));
  return dialog.result();
}

void ScriptedUi::apply(Dialog &dialog, const ScriptStep &step) {
  const std::string &verb = step.verb;
  if (verb == "dialog") {
    if (dialog.title() != step.args[0])
      fail(&step,
           "the open dialog is " + quote(dialog.title()) + ", not " + quote(step.args[0]) + ".");
    return;
  }
  if (verb == "show") {
    if (m_show)
      *m_show << describeDialog(dialog);
    return;
  }
  if (verb == "interrupt") {
    m_interruptAfter = *number(step.args[0]);
    return;
  }
  if (verb == "answer" || verb == "file" || verb == "no-file" || verb == "colour" ||
      verb == "no-colour") {
    fail(&step, quote(verb) + " answers a question, and the dialog " + quote(dialog.title()) +
                    " asked none here.");
    return;
  }

  Control *c = dialog.find(step.args[0]);
  if (!c) {
    fail(&step, "the dialog " + quote(dialog.title()) + " has no control " + quote(step.args[0]) +
                    " (it has " + controlNames(dialog) + ").");
    return;
  }
  if (!c->enabled) {
    fail(&step, quote(step.args[0]) + " is disabled.");
    return;
  }
  if (c->page >= 0)
    for (const Control &tabs : dialog.controls())
      if (tabs.kind == ControlKind::Tabs && tabs.selected != c->page) {
        const std::string page = size_t(c->page) < tabs.items.size() ? tabs.items[size_t(c->page)]
                                                                     : std::to_string(c->page + 1);
        fail(&step, quote(step.args[0]) + " is on the page " + quote(page) +
                        ", which is not shown (choose it first).");
        return;
      }
  const int id = c->id;
  auto wrongKind = [&](const char *what) {
    fail(&step, quote(step.args[0]) + " is not " + what + ".");
  };

  if (verb == "check" || verb == "uncheck") {
    const bool on = verb == "check";
    if (c->kind == ControlKind::Radio) {
      if (!on) {
        fail(&step, "a radio button is cleared by checking another one of its group.");
        return;
      }
      if (!c->checked) {
        dialog.checkRadio(id);
        dialog.handle(id, Event::Clicked);
      }
      return;
    }
    if (c->kind != ControlKind::CheckBox)
      return wrongKind("a check box");
    if (c->checked != on) {
      c->checked = on;
      dialog.handle(id, Event::Clicked);
    }
  } else if (verb == "choose") {
    if (c->kind != ControlKind::DropDown && c->kind != ControlKind::List &&
        c->kind != ControlKind::Tabs && c->kind != ControlKind::OwnerDrawnList)
      return wrongKind("a list");
    for (size_t i = 0; i < c->items.size(); ++i)
      if (c->items[i] == step.args[1]) {
        c->selected = int(i);
        if (c->editable)
          c->value = c->items[i];
        dialog.handle(id, Event::Changed);
        return;
      }
    std::string entries;
    for (const std::string &item : c->items)
      entries += (entries.empty() ? "" : ", ") + quote(item);
    fail(&step, quote(step.args[0]) + " has no entry " + quote(step.args[1]) + " (it has " +
                    (entries.empty() ? std::string("none") : entries) + ").");
  } else if (verb == "type") {
    if (c->kind != ControlKind::Edit && !(c->kind == ControlKind::DropDown && c->editable))
      return wrongKind("a text field");
    if (c->digitsOnly)
      for (char ch : step.args[1])
        if (ch < '0' || ch > '9') {
          fail(&step, quote(step.args[0]) + " takes digits only.");
          return;
        }
    if (!c->multiLine && step.args[1].find('\n') != std::string::npos) {
      fail(&step, quote(step.args[0]) + " holds one line.");
      return;
    }
    c->value = step.args[1];
    dialog.handle(id, Event::Changed);
  } else if (verb == "press") {
    if (c->kind != ControlKind::Button)
      return wrongKind("a button");
    dialog.handle(id, Event::Clicked);
  } else if (verb == "select" || verb == "double-click") {
    int found = -1;
    if (c->kind == ControlKind::Tree) {
      int parent = -1;
      for (size_t a = 1; a < step.args.size(); ++a) {
        found = -1;
        for (size_t i = 0; i < c->tree.size(); ++i)
          if (c->tree[i].parent == parent && c->tree[i].text == step.args[a]) {
            found = int(i);
            break;
          }
        if (found < 0)
          break;
        parent = found;
      }
      for (int up = found >= 0 ? c->tree[size_t(found)].parent : -1; up >= 0;
           up = c->tree[size_t(up)].parent)
        c->tree[size_t(up)].expanded = true;
    } else if (c->kind == ControlKind::List && step.args.size() == 2) {
      for (size_t i = 0; i < c->items.size(); ++i)
        if (c->items[i] == step.args[1])
          found = int(i);
    } else {
      return wrongKind("a tree or list");
    }
    if (found < 0) {
      std::string path;
      for (size_t a = 1; a < step.args.size(); ++a)
        path += (a > 1 ? " > " : "") + quote(step.args[a]);
      fail(&step, quote(step.args[0]) + " has no entry " + path + ".");
      return;
    }
    c->selected = found;
    dialog.handle(id, Event::Changed);
    if (verb == "double-click" && !dialog.ended())
      dialog.handle(id, Event::DoubleClicked);
  }
}

ui::MessageAnswer ScriptedUi::messageBox(std::string_view text, std::string_view,
                                         ui::MessageButtons buttons) {
  m_transcript.push_back("message " + quote(text));
  if (m_messageHandler)
    m_messageHandler(text);
  const ui::MessageAnswer refusal = buttons == ui::MessageButtons::Ok ? ui::MessageAnswer::Ok
                                    : buttons == ui::MessageButtons::YesNo
                                        ? ui::MessageAnswer::No
                                        : ui::MessageAnswer::Cancel;
  if (const ScriptStep *step = take("answer")) {
    const std::string &word = step->args[0];
    const bool fits = buttons == ui::MessageButtons::Ok         ? word == "OK"
                      : buttons == ui::MessageButtons::OkCancel ? word == "OK" || word == "Cancel"
                                                                : word == "Yes" || word == "No";
    if (!fits) {
      fail(step, "the message box " + quote(text) + " has no button " + quote(word) + ".");
      return refusal;
    }
    const ui::MessageAnswer a = word == "OK"       ? ui::MessageAnswer::Ok
                                : word == "Cancel" ? ui::MessageAnswer::Cancel
                                : word == "Yes"    ? ui::MessageAnswer::Yes
                                                   : ui::MessageAnswer::No;
    m_transcript.push_back(std::string("answered ") + answerName(a));
    return a;
  }
  if (buttons != ui::MessageButtons::Ok && !m_failure)
    fail(m_next < m_steps.size() ? &m_steps[m_next] : nullptr,
         "the message box " + quote(text) + " wants an answer and the script gives none (" +
             (buttons == ui::MessageButtons::YesNo ? "answer Yes, answer No"
                                                   : "answer OK, answer Cancel") +
             ").");
  return refusal;
}

std::optional<std::string> ScriptedUi::chooseFile(const ui::FileRequest &request) {
  m_transcript.push_back(std::string(request.save ? "save" : "open") + " file chooser " +
                         quote(request.title));
  if (const ScriptStep *step = take("file")) {
    std::string path = step->args[0];
    // A name typed without an extension gets the default one, as the chooser adds it.
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!request.defaultExtension.empty() && name.find('.') == std::string::npos)
      path += "." + request.defaultExtension;
    struct stat st {};
    if (request.save && request.overwritePrompt && ::stat(path.c_str(), &st) == 0) {
      const ui::MessageAnswer a = messageBox(path + " already exists.\nDo you want to replace it?",
                                             request.title, ui::MessageButtons::YesNo);
      if (a != ui::MessageAnswer::Yes)
        return std::nullopt;
    }
    return path;
  }
  if (take("no-file"))
    return std::nullopt;
  fail(m_next < m_steps.size() ? &m_steps[m_next] : nullptr,
       "a file chooser " + quote(request.title) +
           " opened and the script does not answer it (file \"PATH\" or no-file).");
  return std::nullopt;
}

std::optional<ui::Rgb> ScriptedUi::chooseColour(ui::Rgb) {
  m_transcript.push_back("colour chooser");
  if (const ScriptStep *step = take("colour"))
    return ui::Rgb{uint8_t(*number(step->args[0])), uint8_t(*number(step->args[1])),
                   uint8_t(*number(step->args[2]))};
  if (take("no-colour"))
    return std::nullopt;
  fail(m_next < m_steps.size() ? &m_steps[m_next] : nullptr,
       "the colour chooser opened and the script does not answer it (colour R G B or "
       "no-colour).");
  return std::nullopt;
}

bool ScriptedUi::takeButtonClick(Dialog &dialog, int id) {
  if (m_interruptAfter <= 0 || --m_interruptAfter > 0)
    return false;
  m_transcript.push_back("clicked " + quote(dialog.control(id).text) + " during the run");
  return true;
}

bool ScriptedUi::openHelp(std::string_view path) {
  m_transcript.push_back("help " + quote(path));
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int ScriptedUi::profileInt(std::string_view section, std::string_view key, int fallback) {
  return m_profile.getInt(section, key, fallback);
}

void ScriptedUi::setProfileInt(std::string_view section, std::string_view key, int value) {
  try {
    m_profile.setInt(section, key, value);
  } catch (const HostError &e) {
    // The choice holds for this run; the user hears why it will not be remembered.
    const std::string note = "The preferences could not be saved: " + e.text();
    m_transcript.push_back("message " + quote(note));
    if (m_messageHandler)
      m_messageHandler(note);
  }
}

void ScriptedUi::setProfileOwner(std::string_view company, std::string_view application) {
  if (!m_profileInMemory)
    m_profile.open(company, application);
}

} // namespace sorvane::host
