// Host function tables: the services a host grants its plug-ins, each imported by name and
// version. Every table is an interface; the host owns the objects behind them.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorvane {

// Handshake and core table version: the only one hosts and plug-ins of this API speak.
inline constexpr uint32_t kHandshakeVersion = 0x20000;
inline constexpr uint32_t kCoreTableVersion = 0x20000;

// The highest version our host grants for each named table.
inline constexpr uint32_t kHostTableVersion = 0x50000;

class HostTable {
public:
  virtual ~HostTable() = default;

protected:
  HostTable() = default;
  HostTable(const HostTable &) = default;
  HostTable &operator=(const HostTable &) = default;
};

// Table names, as a host grants them.
namespace table_name {
inline constexpr std::string_view kAcroSupport = "AcroSupport";
inline constexpr std::string_view kCos = "Cos";
inline constexpr std::string_view kPDModel = "PDModel";
inline constexpr std::string_view kPDFEditWrite = "PDFEditWrite";
inline constexpr std::string_view kPDFEditRead = "PDFEditRead";
inline constexpr std::string_view kPDSysFont = "PDSysFont";
inline constexpr std::string_view kPagePDEContent = "PagePDEContent";
inline constexpr std::string_view kAcroView = "AcroView";
inline constexpr std::string_view kPDSWrite = "PDSWrite";
inline constexpr std::string_view kPDSRead = "PDSRead";
inline constexpr std::string_view kWin = "Win";
inline constexpr std::string_view kASExtra = "ASExtra";
inline constexpr std::string_view kAcroViewSweetPea = "AcroViewSweetPea";
inline constexpr std::string_view kPDMetadata = "PDMetadata";
} // namespace table_name

} // namespace sorvane
