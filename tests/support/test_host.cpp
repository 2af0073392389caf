#include "tests/support/test_host.h"

#include "host/runtime/as_extra.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"
#include "plugin/shell/table_import.h"
#include "sdk/imported_tables.h"

namespace sorvane::test {

TestHost::TestHost() {
  provider().win().scripted().keepProfileInMemory();
  ImportedTables &tables = hostTables();
  tables = {};
  tables.core = {&provider().core(), kCoreTableVersion};
  if (!importHostTables(provider().core(), tables))
    ADD_FAILURE() << "the test host refused a required table";
}

TestHost::~TestHost() { hostTables() = {}; }

ASExtraTable &TestHost::asExtra() { return provider().asExtra(); }

host::ScriptedUi &TestHost::ui() { return provider().win().scripted(); }

void TestHost::note(std::string_view message) {
  if (m_tell)
    m_tell(message);
  else
    jobs::Session::note(message);
}

ActionHandle TestHost::editAction(DocHandle doc, ActionHandle action, std::string_view title) {
  return m_editAction ? m_editAction(doc, action, title)
                      : jobs::Session::editAction(doc, action, title);
}

void setScript(host::ScriptedUi &ui, std::string_view text) {
  ui.setScript(host::parseDialogScript(text));
}

void expectScriptDone(const host::ScriptedUi &ui) {
  EXPECT_FALSE(ui.failure()) << *ui.failure();
  EXPECT_TRUE(ui.finished()) << ui.unusedSteps();
}

void HostTest::SetUp() {
  m_objectsBefore = host::ObjectStore::instance().ownedObjects();
  root = cab().cabinetNew();
}

void HostTest::TearDown() {
  cab().cabinetDestroy(root);
  EXPECT_EQ(host::ObjectStore::instance().ownedObjects(), m_objectsBefore)
      << "the test left host objects behind";
}

} // namespace sorvane::test
