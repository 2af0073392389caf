// Loading the built sorvane.api module the way a host does.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "host/pdf/pdf_tables.h"
#include "host/runtime/host_tables.h"
#include "sdk/host_error.h"
#include "sdk/plugin_entry.h"

namespace sorvane {
namespace {

// Forwards to the real host, except that atoms fail as a full atom table does.
class FailingAtomsCore final : public CoreTable {
public:
  explicit FailingAtomsCore(host::HostTableProvider &p) : m_provider(p) {}
  Atom atomFromString(std::string_view) override {
    throw HostError(ErrorCode::LimitReached, "The atom table is full.");
  }
  bool atomExistsForString(std::string_view, Atom *) override { return false; }
  std::string_view atomGetString(Atom a) override { return m_provider.core().atomGetString(a); }
  HostTable *getTable(std::string_view name, uint32_t version) override {
    return m_provider.grant(name, version);
  }

private:
  host::HostTableProvider &m_provider;
};

class Module : public ::testing::Test {
protected:
  void SetUp() override {
    provider.provide(PDModelTable::kName, &pdf.pdModel());
    provider.provide(CosTable::kName, &pdf.cos());
    provider.provide(PagePDEContentTable::kName, &pdf.pageContent());
    provider.provide(PDFEditReadTable::kName, &pdf.editRead());
    m_handle = dlopen(SORVANE_API_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_handle, nullptr) << dlerror();
    entry = reinterpret_cast<PlugInMainProc>(dlsym(m_handle, kPlugInEntryName));
    ASSERT_NE(entry, nullptr);
  }
  void TearDown() override {
    if (m_handle)
      dlclose(m_handle);
  }

  HandshakeProc setUp(CoreTable &core) {
    uint32_t accepted = 0;
    SetupProc setup = nullptr;
    EXPECT_TRUE(entry(kHandshakeVersion, &accepted, &setup, nullptr));
    HostData data;
    data.handshakeVersion = kHandshakeVersion;
    data.core = &core;
    EXPECT_TRUE(setup(kHandshakeVersion, &data));
    return data.handshake;
  }

  PlugInMainProc entry = nullptr;
  host::PdfTables pdf;
  host::HostTableProvider provider;

private:
  void *m_handle = nullptr;
};

TEST_F(Module, LoadsThroughItsEntryPointAndShakesHands) {
  HandshakeProc handshake = setUp(provider.core());
  ASSERT_NE(handshake, nullptr);
  HandshakeRecord record;
  ASSERT_TRUE(handshake(kHandshakeVersion, &record));
  EXPECT_EQ(provider.core().atomGetString(record.extensionName), "TAVO:Sorvane");
  EXPECT_TRUE(record.init());
  EXPECT_TRUE(record.unload());
}

TEST_F(Module, CatchesHostErrorsThrownOutsideIt) {
  FailingAtomsCore core(provider);
  HandshakeProc handshake = setUp(core);
  ASSERT_NE(handshake, nullptr);
  HandshakeRecord record;
  bool accepted = true;
  EXPECT_NO_THROW(accepted = handshake(kHandshakeVersion, &record));
  EXPECT_FALSE(accepted);
}

} // namespace
} // namespace sorvane
