#include "sdk/platform_ui.h"

#include <stdexcept>

namespace sorvane::ui {
namespace {

// A caption as a user reads it: without the '&' that marks its access key and without a
// trailing colon.
std::string plainText(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&')
      continue;
    plain += text[i];
  }
  while (!plain.empty() && (plain.back() == ':' || plain.back() == ' '))
    plain.pop_back();
  return plain;
}

const char *kindName(ControlKind kind) {
  switch (kind) {
  case ControlKind::Static: return "text";
  case ControlKind::Group: return "group";
  case ControlKind::CheckBox: return "check";
  case ControlKind::Radio: return "radio";
  case ControlKind::Button: return "button";
  case ControlKind::Edit: return "edit";
  case ControlKind::DropDown: return "choice";
  case ControlKind::List: return "list";
  case ControlKind::Tree: return "tree";
  case ControlKind::Tabs: return "tabs";
  case ControlKind::OwnerDrawnList: return "choice";
  case ControlKind::Picture: return "picture";
  }
  return "control";
}

void quoted(std::string &out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '"' || c == '\\')
      out += {'\\', c};
    else
      out += c;
  }
  out += '"';
}

void describeTree(std::string &out, const Control &c, int parent, int depth) {
  for (size_t i = 0; i < c.tree.size(); ++i) {
    const TreeItem &item = c.tree[i];
    if (item.parent != parent)
      continue;
    out.append(size_t(4 + 2 * depth), ' ');
    out += int(i) == c.selected ? "> " : "- ";
    if (size_t(item.icon) < c.icons.size())
      out += "[" + c.icons[size_t(item.icon)] + "] ";
    quoted(out, item.text);
    out += '\n';
    describeTree(out, c, int(i), depth + 1);
  }
}

} // namespace

Control &Dialog::add(ControlKind kind, int id, std::string name, std::string text) {
  Control c;
  c.kind = kind;
  c.id = id;
  c.name = std::move(name);
  c.text = std::move(text);
  m_controls.push_back(std::move(c));
  return m_controls.back();
}

Control &Dialog::control(int id) {
  for (Control &c : m_controls)
    if (c.id == id)
      return c;
  throw std::out_of_range("the dialog \"" + m_title + "\" has no control " + std::to_string(id));
}

const Control &Dialog::control(int id) const { return const_cast<Dialog *>(this)->control(id); }

Control *Dialog::find(std::string_view nameOrText) {
  for (Control &c : m_controls)
    if (!c.name.empty() && c.name == nameOrText)
      return &c;
  // By text: only controls a user can work with (a group's title names no control).
  const std::string wanted = plainText(nameOrText);
  for (Control &c : m_controls)
    if (!c.text.empty() && c.kind != ControlKind::Static && c.kind != ControlKind::Group &&
        c.kind != ControlKind::Picture && plainText(c.text) == wanted)
      return &c;
  return nullptr;
}

void Dialog::handle(int id, Event event) {
  if (id == kIdOk && event == Event::Clicked)
    onOk();
  else if (id == kIdCancel && event == Event::Clicked)
    onCancel();
  else
    onEvent(id, event);
}

void Dialog::checkRadio(int id) {
  Control &chosen = control(id);
  for (Control &c : m_controls)
    if (c.kind == ControlKind::Radio && c.group == chosen.group)
      c.checked = false;
  chosen.checked = true;
}

int Dialog::addTreeItem(int id, int parent, std::string text, int icon, int64_t data) {
  Control &c = control(id);
  c.tree.push_back(TreeItem{std::move(text), icon, parent, false, data});
  return int(c.tree.size()) - 1;
}

std::string describeDialog(const Dialog &dialog) {
  std::string out = "dialog ";
  quoted(out, dialog.title());
  out += '\n';
  // As a user sees it: the controls of the page shown, and those outside the pages.
  int shownPage = -1;
  for (const Control &c : dialog.controls())
    if (c.kind == ControlKind::Tabs)
      shownPage = c.selected;
  for (const Control &c : dialog.controls()) {
    if (c.page >= 0 && c.page != shownPage)
      continue;
    out += "  ";
    out += kindName(c.kind);
    if (!c.name.empty())
      out += " " + c.name;
    if (!c.text.empty()) {
      out += ' ';
      quoted(out, c.text);
    }
    switch (c.kind) {
    case ControlKind::CheckBox: out += c.checked ? " [x]" : " [ ]"; break;
    case ControlKind::Radio: out += c.checked ? " (o)" : " ( )"; break;
    case ControlKind::Picture: out += " " + c.value; break;
    case ControlKind::Edit:
      out += " = ";
      quoted(out, c.value);
      break;
    case ControlKind::DropDown:
    case ControlKind::List:
    case ControlKind::Tabs:
    case ControlKind::OwnerDrawnList:
      out += " = ";
      if (c.editable)
        quoted(out, c.value);
      else if (c.selected >= 0 && size_t(c.selected) < c.items.size())
        quoted(out, c.items[size_t(c.selected)]);
      else
        out += "(none)";
      break;
    default: break;
    }
    if (!c.enabled)
      out += " (disabled)";
    if (c.isDefault)
      out += " (default)";
    out += '\n';
    if (c.kind == ControlKind::DropDown || c.kind == ControlKind::List ||
        c.kind == ControlKind::OwnerDrawnList || c.kind == ControlKind::Tabs) {
      if (c.kind == ControlKind::List || c.items.size() <= 12)
        for (size_t i = 0; i < c.items.size(); ++i) {
          out += int(i) == c.selected ? "    > " : "    - ";
          quoted(out, c.items[i]);
          out += '\n';
        }
    } else if (c.kind == ControlKind::Tree) {
      describeTree(out, c, -1, 0);
    }
  }
  return out;
}

} // namespace sorvane::ui
