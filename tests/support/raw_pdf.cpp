#include "tests/support/raw_pdf.h"

#include <cstdio>

namespace sorvane::test {

std::string rawPdf(const std::vector<std::string> &objects) {
  std::string out = "%PDF-1.7\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

std::string rawStream(const std::string &data) {
  return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

std::string pageTreePdf(const std::string &count, int listed) {
  std::string kids;
  for (int i = 0; i < listed; ++i)
    kids += " 3 0 R";
  return rawPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                 "<< /Type /Pages /Kids [" + kids + " ] /Count " + count + " >>",
                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << "
                 "/F1 5 0 R >> >> /Contents 4 0 R >>",
                 rawStream("BT /F1 18 Tf 72 700 Td (Heading) Tj ET"),
                 "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>"});
}

} // namespace sorvane::test
