// Loading the plug-in: entry point, setup with the table import, handshake.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/pdf/pdf_tables.h"
#include "host/runtime/host_tables.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/shell/table_import.h"

namespace sorvane {
namespace {

// A core table that records which tables the plug-in asked for, at which versions.
class RecordingCore final : public CoreTable {
public:
  explicit RecordingCore(host::HostTableProvider &provider) : m_provider(provider) {}
  Atom atomFromString(std::string_view name) override {
    return m_provider.core().atomFromString(name);
  }
  bool atomExistsForString(std::string_view name, Atom *atom) override {
    return m_provider.core().atomExistsForString(name, atom);
  }
  std::string_view atomGetString(Atom atom) override {
    return m_provider.core().atomGetString(atom);
  }
  HostTable *getTable(std::string_view name, uint32_t version) override {
    requests.push_back(std::string(name) + "@" + std::to_string(version >> 16) + "." +
                       std::to_string(version & 0xFFFF));
    return m_provider.grant(name, version);
  }
  std::vector<std::string> requests;

private:
  host::HostTableProvider &m_provider;
};

class PlugInLoading : public ::testing::Test {
protected:
  void TearDown() override { hostTables() = {}; }

  // Runs entry and setup as a host does; the setup result.
  bool load(uint32_t version = kHandshakeVersion) {
    uint32_t accepted = 0;
    SetupProc setup = nullptr;
    PlatformData platform{&window, nullptr};
    EXPECT_TRUE(PlugInMain(version, &accepted, &setup, &platform));
    EXPECT_NE(setup, nullptr);
    data.handshakeVersion = version;
    data.extensionId = 77;
    data.core = &core;
    return setup(version, &data);
  }

  void SetUp() override {
    provider.provide(PDModelTable::kName, &pdf.pdModel());
    provider.provide(CosTable::kName, &pdf.cos());
    provider.provide(PagePDEContentTable::kName, &pdf.pageContent());
    provider.provide(PDFEditReadTable::kName, &pdf.editRead());
  }

  host::PdfTables pdf;
  host::HostTableProvider provider;
  RecordingCore core{provider};
  HostData data;
  int window = 0;
};

TEST_F(PlugInLoading, EntryAnswersTheLowerOfTheTwoVersions) {
  uint32_t accepted = 0;
  SetupProc setup = nullptr;
  EXPECT_TRUE(PlugInMain(0x10000, &accepted, &setup, nullptr));
  EXPECT_EQ(accepted, 0x10000u);
  EXPECT_TRUE(PlugInMain(0x30000, &accepted, &setup, nullptr));
  EXPECT_EQ(accepted, kHandshakeVersion);
}

TEST_F(PlugInLoading, ImportsEveryTableInOrderAtTheHighestVersion) {
  ASSERT_TRUE(load());
  const std::vector<std::string> expected = {
      "AcroSupport@5.0",      "Cos@5.0",         "PDModel@5.0",
      "PDFEditWrite@5.0",     "PDFEditRead@5.0", "PDSysFont@5.0",
      "PagePDEContent@5.0",   "AcroView@5.0",    "PDSWrite@5.0",
      "PDSRead@5.0",          "Win@5.0",         "ASExtra@5.0",
      "AcroViewSweetPea@5.0", "PDMetadata@5.0"};
  EXPECT_EQ(core.requests, expected);
  EXPECT_EQ(hostTables().asExtra.version, 0x50000u);
  EXPECT_EQ(plugInState().extensionId, 77u);
  EXPECT_EQ(plugInState().mainWindow, &window);
}

TEST_F(PlugInLoading, AnOlderFontTableStillLoads) {
  provider.limitTable("PDSysFont", 0x40000);
  provider.limitTable("PagePDEContent", 0x40005);
  ASSERT_TRUE(load());
  EXPECT_EQ(hostTables().pdSysFont.version, 0x40000u);
  EXPECT_EQ(hostTables().pagePDEContent.version, 0x40005u);
}

TEST_F(PlugInLoading, MissingOptionalTablesAreLeftEmpty) {
  provider.limitTable("PDMetadata", 0);
  provider.limitTable("ASExtra", 0);
  ASSERT_TRUE(load());
  EXPECT_FALSE(hostTables().pdMetadata);
  EXPECT_EQ(hostTables().pdMetadata.version, 0u);
  EXPECT_FALSE(hostTables().asExtra);
  EXPECT_THROW(hostTables().asExtra.must(), HostError);
}

TEST_F(PlugInLoading, ARequiredTableBelowItsMinimumRefusesTheLoad) {
  provider.limitTable("PDModel", 0x40005); // PDModel needs 5.0
  EXPECT_FALSE(load());
  // The import stopped at PDModel: no later table was asked for, no lower version was tried.
  ASSERT_FALSE(core.requests.empty());
  EXPECT_EQ(core.requests.back(), "PDModel@5.0");
  EXPECT_EQ(core.requests.size(), 3u);
  EXPECT_EQ(data.handshake, nullptr);
}

TEST_F(PlugInLoading, SetupAndHandshakeAcceptOnlyTheirVersion) {
  EXPECT_FALSE(load(0x10000));
  data = {};
  ASSERT_TRUE(load());
  ASSERT_NE(data.handshake, nullptr);
  HandshakeRecord record;
  EXPECT_FALSE(data.handshake(0x10000, &record));
  ASSERT_TRUE(data.handshake(kHandshakeVersion, &record));
  EXPECT_EQ(provider.core().atomGetString(record.extensionName), "TAVO:Sorvane");
  ASSERT_NE(record.exportTables, nullptr);
  ASSERT_NE(record.init, nullptr);
  ASSERT_NE(record.unload, nullptr);
  EXPECT_TRUE(record.exportTables());
  EXPECT_TRUE(record.importReplaceAndRegister());
}

} // namespace
} // namespace sorvane
