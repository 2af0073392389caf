#include "tests/support/test_host.h"

#include "host/runtime/action_dialog.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"
#include "plugin/shell/table_import.h"
#include "sdk/imported_tables.h"

namespace sorvane::test {

TestHost::TestHost() {
  m_provider.provide(PDModelTable::kName, &m_pdf.pdModel());
  m_provider.provide(CosTable::kName, &m_pdf.cos());
  m_provider.provide(PagePDEContentTable::kName, &m_pdf.pageContent());
  m_provider.provide(PDFEditReadTable::kName, &m_pdf.editRead());
  m_provider.acroView().setActionEditor(
      [this](DocHandle doc, ActionHandle action, std::string_view title) {
        return host::editActionProperties(m_provider.win().ui(), m_pdf.pdModel(), m_provider.core(),
                                          doc, action, title);
      });
  m_provider.win().scripted().keepProfileInMemory();
  ImportedTables &tables = hostTables();
  tables = {};
  tables.core = {&m_provider.core(), kCoreTableVersion};
  if (!importHostTables(m_provider.core(), tables))
    ADD_FAILURE() << "the test host refused a required table";
}

TestHost::~TestHost() { hostTables() = {}; }

ASExtraTable &TestHost::asExtra() { return m_provider.asExtra(); }

host::ScriptedUi &TestHost::ui() { return m_provider.win().scripted(); }

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
