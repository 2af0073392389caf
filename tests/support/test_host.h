// A host with the real runtime and PDF engine for tests: its tables are imported into the plug-in's
// record as the plug-in's setup would, and the record is cleared again afterwards.
#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <string_view>

#include "host/jobs/session.h"
#include "host/runtime/scripted_ui.h"
#include "sdk/as_extra_table.h"

namespace sorvane::test {

class TestHost : public jobs::Session {
public:
  TestHost();
  ~TestHost();
  TestHost(const TestHost &) = delete;
  TestHost &operator=(const TestHost &) = delete;

  ASExtraTable &asExtra();
  // The backend dialogs run in; its profile is kept in memory unless a test gives it a file.
  host::ScriptedUi &ui();

  // What the user would answer to a question; by default no.
  void answerQuestions(std::function<bool(std::string_view)> answer) {
    m_answer = std::move(answer);
  }
  // Who edits an action in place of the action-properties dialog; by default the dialog does.
  void
  editActionsWith(std::function<ActionHandle(DocHandle, ActionHandle, std::string_view)> edit) {
    m_editAction = std::move(edit);
  }
  // Where notes go; by default they are kept in notes().
  void tellNotesTo(std::function<void(std::string_view)> tell) { m_tell = std::move(tell); }

  void note(std::string_view message) override;
  bool confirm(std::string_view question) override { return m_answer && m_answer(question); }
  ActionHandle editAction(DocHandle doc, ActionHandle action, std::string_view title) override;

private:
  std::function<bool(std::string_view)> m_answer;
  std::function<ActionHandle(DocHandle, ActionHandle, std::string_view)> m_editAction;
  std::function<void(std::string_view)> m_tell;
};

// Gives the scripted backend the steps of `text`; checks that they all ran without failure.
void setScript(host::ScriptedUi &ui, std::string_view text);
void expectScriptDone(const host::ScriptedUi &ui);

// A fixture with a TestHost and a fresh Cabinet, destroyed at the end of each test, which also
// checks that the test left no host object behind.
class HostTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  TestHost host;
  ASExtraTable &cab() { return host.asExtra(); }
  CabinetHandle root;

private:
  size_t m_objectsBefore = 0;
};

} // namespace sorvane::test
