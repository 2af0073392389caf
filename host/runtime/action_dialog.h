// The host's action-properties dialog: where a bookmark goes, as a page of the document and a
// view. It is a dialog model like the plug-in's, so every backend shows it.
#pragma once

#include <string>
#include <string_view>

#include "sdk/core_table.h"
#include "sdk/document_tables.h"
#include "sdk/platform_ui.h"

namespace sorvane::host {

class ActionDialog final : public ui::Dialog {
public:
  enum : int { kIdBookmark = 99, kIdCurrent, kIdPage, kIdView };

  ActionDialog(PDModelTable &pd, CoreTable &core, DocHandle doc, ActionHandle action,
               std::string_view title, ui::UiServices &ui);
  void onInit() override;
  void onOk() override;
  // The action the user confirmed: a new go-to action.
  ActionHandle result() const { return m_result; }

private:
  PDModelTable &m_pd;
  CoreTable &m_core;
  DocHandle m_doc;
  ActionHandle m_action;
  ui::UiServices &m_ui;
  ActionHandle m_result;
};

// Runs the dialog in `ui`: the confirmed action, or null when the user cancelled.
ActionHandle editActionProperties(ui::UiServices &ui, PDModelTable &pd, CoreTable &core,
                                  DocHandle doc, ActionHandle action, std::string_view title);

} // namespace sorvane::host
