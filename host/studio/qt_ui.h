// The studio's platform UI: dialog models as Qt dialogs, message boxes, Qt's file and colour
// choosers, the wait cursor, the event loop pumped during long work, the desktop's help viewer
// and the per-user profile.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "host/runtime/user_profile.h"
#include "sdk/platform_ui.h"

namespace sorvane::studio {

class ModelDialog;

class QtUi final : public ui::UiServices {
public:
  QtUi();

  // The window dialogs and message boxes belong to.
  void setParentWindow(QWidget *window) { m_parent = window; }
  // Where help files go instead of the desktop's viewer (tests); false from it is a failure.
  void setHelpOpener(std::function<bool(const QString &)> opener) {
    m_helpOpener = std::move(opener);
  }
  // Keeps the profile at `path` (tests) instead of the user's.
  void useProfileFile(std::string path);
  // The innermost dialog open, or null.
  ModelDialog *openDialog() const { return m_open.empty() ? nullptr : m_open.back(); }
  // Dialogs opened while `wanted` answers true (rules being edited with the preview on the
  // page) stand beside the window instead of blocking it, and `changed` is told when the first
  // opens (true) and the last closes (false); the plug-in still sees a modal run.
  void setBesidePage(std::function<bool()> wanted, std::function<void(bool)> changed) {
    m_besideWanted = std::move(wanted);
    m_besideChanged = std::move(changed);
  }

  ui::DialogResult runModal(ui::Dialog &dialog) override;
  ui::MessageAnswer messageBox(std::string_view text, std::string_view caption,
                               ui::MessageButtons buttons) override;
  std::optional<std::string> chooseFile(const ui::FileRequest &request) override;
  std::optional<ui::Rgb> chooseColour(ui::Rgb initial) override;
  void setWaitCursor(bool on) override;
  int pumpPaintMessages(int max) override;
  bool takeButtonClick(ui::Dialog &dialog, int id) override;
  bool openHelp(std::string_view path) override;
  int profileInt(std::string_view section, std::string_view key, int fallback) override;
  void setProfileInt(std::string_view section, std::string_view key, int value) override;
  void setProfileOwner(std::string_view company, std::string_view application) override;
  std::string profileFolder() override { return m_profile.folder(); }

private:
  QWidget *parentWidget() const;

  QWidget *m_parent = nullptr;
  std::vector<ModelDialog *> m_open;
  std::function<bool(const QString &)> m_helpOpener;
  host::UserProfile m_profile;
  bool m_profileFixed = false;
  int m_waitCursor = 0;
  std::function<bool()> m_besideWanted;
  std::function<void(bool)> m_besideChanged;
  int m_beside = 0; // dialogs open beside the page
};

} // namespace sorvane::studio
