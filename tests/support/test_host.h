// A host with the real runtime and PDF engine for tests: its tables are imported into the plug-in's
// record as the plug-in's setup would, and the record is cleared again afterwards.
#pragma once

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
