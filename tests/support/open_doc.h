// A PDF document opened in a TestHost for the length of a test.
#pragma once

#include <memory>
#include <string>

#include "host/pdf/pdf_document.h"
#include "tests/support/test_host.h"

namespace sorvane::test {

class OpenDoc {
public:
  OpenDoc(TestHost &host, const std::string &path, const std::string &password = {})
      : m_host(host), m_doc(host::PdfDocument::open(path, password)),
        m_handle(host.pdf().add(*m_doc)) {}
  ~OpenDoc() { m_host.pdf().remove(m_handle); }
  OpenDoc(const OpenDoc &) = delete;
  OpenDoc &operator=(const OpenDoc &) = delete;

  DocHandle handle() const { return m_handle; }
  host::PdfDocument &doc() { return *m_doc; }

private:
  TestHost &m_host;
  std::unique_ptr<host::PdfDocument> m_doc;
  DocHandle m_handle;
};

} // namespace sorvane::test
