// Fuzz driver: opening a PDF file, walking its outline with every bookmark's action and
// destination, and reading the text runs of its first page.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "host/pdf/outline_listing.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_document.h"
#include "host/pdf/pdf_tables.h"
#include "sdk/host_error.h"
#include "sdk/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace sorvane;
  // The engine opens files by path: one file per process, rewritten for each input.
  static const std::string path = [] {
    const char *folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/sorvane-fuzz-" +
           std::to_string(::getpid()) + ".pdf";
  }();
  if (FILE *f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  try {
    auto doc = host::PdfDocument::open(path);
    host::PdfTables tables;
    const DocHandle handle = tables.add(*doc);
    try {
      const host::OutlineListing listing = host::listOutline(tables, handle);
      for (const host::OutlineEntry &e : listing.entries)
        if (!isValidUtf8(e.title) || !isValidUtf8(e.action))
          std::abort(); // every string that leaves the host is UTF-8
      if (doc->pageCount() > 0) {
        const auto text = host::extractPageText(*doc, 0);
        for (const host::RunFont &font : text->fonts)
          if (!isValidUtf8(font.name))
            std::abort();
      }
    } catch (const HostError &) {
    }
    tables.remove(handle);
  } catch (const HostError &) {
  }
  return 0;
}
