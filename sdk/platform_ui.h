// The platform's user interface as a plug-in sees it: a dialog is a model (controls with ids,
// texts, values and enabled flags, and the dialog's handlers) that the host runs modally through
// its UI backend; message boxes, choosers, the wait cursor, message pumping, the help viewer and
// the per-user profile are services of the same backend.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sorvane::ui {

enum class ControlKind : uint8_t {
  Static,         // a line of text
  Group,          // a frame with a title around other controls
  CheckBox,       // `checked`
  Radio,          // `checked`; one of the radios of the same `group` is checked
  Button,         // pressing it sends Event::Clicked
  Edit,           // `value`; `digitsOnly`, `multiLine`
  DropDown,       // `items`, `selected`
  List,           // `items`, `selected`
  Tree,           // `tree`, `selected` (an index into `tree`)
  Tabs,           // `items` (page titles), `selected`: controls whose `page` is set sit on a page
  OwnerDrawnList, // a drop-down whose entries the dialog draws (Dialog::drawItem)
  Picture,        // an image the host knows by the name in `value` ("sorvane-logo")
};

// One entry of a tree control. Entries are stored parent before child.
struct TreeItem {
  std::string text;
  int icon = 0;
  int parent = -1; // index of the parent entry; -1 at the top
  bool expanded = false;
  int64_t data = 0; // what the dialog keeps with the entry
};

struct Control {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string name; // a short stable name ("level", "title") for scripts and tests
  std::string text; // the caption; for fields and lists, the label the user reads beside them
  bool enabled = true;
  int page = -1; // the tab page it sits on (index into the Tabs control's items); -1: always shown
  int group = 0; // radios of one group exclude each other
  bool checked = false;
  std::string value;
  bool digitsOnly = false;
  bool multiLine = false;
  bool isDefault = false; // the button Enter presses
  bool editable = false;  // a drop-down whose box takes typed text (in `value`)
  std::vector<std::string> items;
  std::vector<int64_t> itemData; // what the dialog keeps with each entry
  int selected = -1;
  std::vector<TreeItem> tree;
  std::vector<std::string> icons; // the tree's icons, by number: what each one shows
  // Where it stands; a backend lays a dialog out from these and guesses nothing from texts.
  bool sameRow = false;   // on the row of the control before it; a button after a list or
                          // tree stands beside it, in a column
  bool endsGroup = false; // the last control inside the group frame opened before it
  bool opensMore = false; // a button that opens another window; it never closes the dialog
};

enum class Event : uint8_t {
  Clicked,       // a button was pressed, a check box or radio was clicked
  Changed,       // an edit's text, a list's or tree's selection, or the tab page changed
  DoubleClicked, // a tree or list entry was double-clicked
};

enum class DialogResult : uint8_t { None, Ok, Cancel };

// The ids every dialog gives its OK and Cancel (or Close) buttons. Closing the window or
// pressing Escape is a press of kCancel.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Colours and drawing for owner-drawn entries.
struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb &) const = default;
};
inline uint32_t packRgb(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }
inline Rgb unpackRgb(uint32_t v) { return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  bool operator==(const Rect &) const = default;
};

enum class SystemColour : uint8_t { Window, WindowText, Highlight, InactiveCaptionText };

class DrawContext {
public:
  virtual ~DrawContext() = default;
  virtual void fillRect(const Rect &r, Rgb colour) = 0;
  virtual void frameRect(const Rect &r, Rgb colour) = 0;
  virtual void focusRect(const Rect &r) = 0;
  // Text with a transparent background, its top left corner at (x, y).
  virtual void drawText(int x, int y, std::string_view text, Rgb colour) = 0;
  virtual Rgb systemColour(SystemColour which) = 0;
};

struct DrawItemState {
  Rect rect;
  int index = -1; // -1: an empty slot
  bool selected = false;
  bool focused = false;
  bool disabled = false;
};

// A dialog: its controls and its handlers. A backend shows the controls, moves what the user
// does into them, then calls handle(); the dialog ends when a handler calls end().
class Dialog {
public:
  explicit Dialog(std::string title) : m_title(std::move(title)) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog &) = delete;
  Dialog &operator=(const Dialog &) = delete;

  const std::string &title() const { return m_title; }
  void setTitle(std::string title) { m_title = std::move(title); }

  // Adds a control; the reference lives until the next add().
  Control &add(ControlKind kind, int id, std::string name, std::string text);
  const std::vector<Control> &controls() const { return m_controls; }
  // The control `id`; throws std::out_of_range for an id the dialog does not have.
  Control &control(int id);
  const Control &control(int id) const;
  // The control a script names: by name, else (among the controls a user can work with) by its
  // text with '&' marks and a trailing colon ignored; null when there is none.
  Control *find(std::string_view nameOrText);

  // Called once before the dialog shows.
  virtual void onInit() {}
  // A user action on control `id`, after the backend moved it into the control.
  virtual void onEvent(int id, Event event) {
    (void)id;
    (void)event;
  }
  virtual void onOk() { end(DialogResult::Ok); }
  virtual void onCancel() { end(DialogResult::Cancel); }
  // Draws entry `state.index` of the owner-drawn list `id`.
  virtual void drawItem(int id, const DrawItemState &state, DrawContext &dc) {
    (void)id;
    (void)state;
    (void)dc;
  }

  // What a backend calls for a user action: OK and Cancel go to their handlers, the rest to
  // onEvent().
  void handle(int id, Event event);

  void end(DialogResult result) { m_result = result; }
  DialogResult result() const { return m_result; }
  bool ended() const { return m_result != DialogResult::None; }
  // Readies the dialog for another showing.
  void restart() { m_result = DialogResult::None; }

  // Small helpers for handlers.
  bool checked(int id) const { return control(id).checked; }
  void setChecked(int id, bool on) { control(id).checked = on; }
  void setEnabled(int id, bool on) { control(id).enabled = on; }
  // Checks `id` and clears the other radios of its group.
  void checkRadio(int id);
  // Adds a tree entry under `parent` (-1: at the top); its index.
  int addTreeItem(int id, int parent, std::string text, int icon, int64_t data);

private:
  std::string m_title;
  std::vector<Control> m_controls;
  DialogResult m_result = DialogResult::None;
};

// A dump of the dialog as a user sees it: one line per control with its kind, name, text, value
// and enabled state; trees and lists with their entries; of a dialog with pages, the page shown.
std::string describeDialog(const Dialog &dialog);

enum class MessageButtons : uint8_t { Ok, OkCancel, YesNo };
enum class MessageAnswer : uint8_t { Ok, Cancel, Yes, No };

struct FileRequest {
  bool save = false; // a save chooser (else open)
  std::string title;
  // Filters as (description, pattern) such as ("Settings Files (*.svb)", "*.svb").
  std::vector<std::pair<std::string, std::string>> filters;
  std::string defaultExtension; // added to a name typed without one ("svb")
  std::string defaultName;
  bool overwritePrompt = false;
};

// The services of the platform's user interface.
class UiServices {
public:
  virtual ~UiServices() = default;

  // Runs `dialog` modally: onInit, then the user's actions until a handler ends it.
  virtual DialogResult runModal(Dialog &dialog) = 0;
  virtual MessageAnswer messageBox(std::string_view text, std::string_view caption,
                                   MessageButtons buttons) = 0;
  // The chosen file, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseFile(const FileRequest &request) = 0;
  virtual std::optional<Rgb> chooseColour(Rgb initial) = 0;
  virtual void setWaitCursor(bool on) = 0;
  // Dispatches waiting paint messages, at most `max`; the number dispatched.
  virtual int pumpPaintMessages(int max) = 0;
  // Takes waiting mouse-button messages for button `id` of `dialog` off the queue; true when
  // one of them was a click, which the caller then handles itself.
  virtual bool takeButtonClick(Dialog &dialog, int id) = 0;
  // Opens the help file with the desktop's viewer; false when that fails.
  virtual bool openHelp(std::string_view path) = 0;

  // The per-user profile of the application (company, application): integers by section and
  // key. A missing entry reads as `fallback`.
  virtual int profileInt(std::string_view section, std::string_view key, int fallback) = 0;
  virtual void setProfileInt(std::string_view section, std::string_view key, int value) = 0;
  virtual void setProfileOwner(std::string_view company, std::string_view application) = 0;
  // The folder of the user's profile, made when missing, where a plug-in keeps what it
  // remembers for the user; empty when the profile is kept in memory only or the folder cannot
  // be made.
  virtual std::string profileFolder() = 0;
};

} // namespace sorvane::ui
