#include "host/runtime/host_tables.h"

#include "host/runtime/acro_support.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/view_services.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane::host {
namespace {

class Core final : public CoreTable {
public:
  Core(HostTableProvider &provider, AtomTable &atoms) : m_provider(provider), m_atoms(atoms) {}

  Atom atomFromString(std::string_view name) override { return m_atoms.intern(name); }
  bool atomExistsForString(std::string_view name, Atom *atom) override {
    return m_atoms.find(name, atom);
  }
  std::string_view atomGetString(Atom atom) override { return m_atoms.name(atom); }
  HostTable *getTable(std::string_view name, uint32_t version) override {
    return m_provider.grant(name, version);
  }

private:
  HostTableProvider &m_provider;
  AtomTable &m_atoms;
};

// Tables whose operations this host does not offer yet still answer an import. The document
// tables ("PDModel", "Cos", "PagePDEContent", "PDFEditRead") come from the PDF engine, which the
// front end plugs in.
template <class T> class Granted final : public T {};

} // namespace

struct HostTableProvider::Tables {
  explicit Tables(HostTableProvider &provider)
      : core(provider, AtomTable::instance()),
        asExtra(acroSupport, AtomTable::instance(), ObjectStore::instance()), acroView(asExtra) {}

  Core core;
  AcroSupport acroSupport;
  ASExtra asExtra;
  Granted<PDFEditWriteTable> pdfEditWrite;
  Granted<PDSysFontTable> pdSysFont;
  AcroView acroView;
  Granted<PDSWriteTable> pdsWrite;
  Granted<PDSReadTable> pdsRead;
  Win win;
  Granted<AcroViewSweetPeaTable> acroViewSweetPea;
  Granted<PDMetadataTable> pdMetadata;

  HostTable *byName(std::string_view name) {
    namespace n = table_name;
    const std::pair<std::string_view, HostTable *> all[] = {
        {n::kAcroSupport, &acroSupport},
        {n::kPDFEditWrite, &pdfEditWrite},
        {n::kPDSysFont, &pdSysFont},
        {n::kAcroView, &acroView},
        {n::kPDSWrite, &pdsWrite},
        {n::kPDSRead, &pdsRead},
        {n::kWin, &win},
        {n::kASExtra, &asExtra},
        {n::kAcroViewSweetPea, &acroViewSweetPea},
        {n::kPDMetadata, &pdMetadata},
    };
    for (const auto &[tableName, table] : all)
      if (tableName == name)
        return table;
    return nullptr;
  }
};

HostTableProvider::HostTableProvider() : m_tables(std::make_unique<Tables>(*this)) {}

HostTableProvider::~HostTableProvider() = default;

CoreTable &HostTableProvider::core() { return m_tables->core; }

AcroSupport &HostTableProvider::acroSupport() { return m_tables->acroSupport; }

ASExtra &HostTableProvider::asExtra() { return m_tables->asExtra; }

AcroView &HostTableProvider::acroView() { return m_tables->acroView; }
Win &HostTableProvider::win() { return m_tables->win; }

HostTable *HostTableProvider::grant(std::string_view name, uint32_t version) {
  uint32_t maxVersion = kHostTableVersion;
  if (auto it = m_maxVersion.find(name); it != m_maxVersion.end())
    maxVersion = it->second;
  if (version == 0 || version > maxVersion)
    return nullptr;
  if (auto it = m_provided.find(name); it != m_provided.end())
    return it->second;
  return m_tables->byName(name);
}

void HostTableProvider::provide(std::string_view name, HostTable *table) {
  m_provided[std::string(name)] = table;
}

void HostTableProvider::limitTable(std::string_view name, uint32_t maxVersion) {
  m_maxVersion[std::string(name)] = maxVersion;
}

} // namespace sorvane::host
