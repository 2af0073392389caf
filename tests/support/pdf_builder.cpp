#include "tests/support/pdf_builder.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <tuple>

namespace sorvane::test {
namespace {

using OH = QPDFObjectHandle;

std::string escapeString(const std::string &s) {
  std::string out;
  for (char c : s) {
    if (c == '(' || c == ')' || c == '\\')
      out += '\\';
    out += c;
  }
  return out;
}

struct FontKey {
  std::string font;
  std::string encoding;
  bool type0 = false;
  bool operator<(const FontKey &o) const {
    return std::tie(font, encoding, type0) < std::tie(o.font, o.encoding, o.type0);
  }
};

std::string twoByteHex(const std::string &text) {
  static const char *digits = "0123456789ABCDEF";
  std::string hex = "<";
  for (unsigned char c : text) {
    hex += "00";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex + ">";
}

// A Type0 font with an identity ToUnicode map for the codes 0 to 255.
OH type0Font(QPDF &pdf, const std::string &name) {
  const std::string cmap =
      "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
      "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
      "1 beginbfrange <0000> <00FF> <0000> endbfrange\n"
      "endcmap CMapName currentdict /CMap defineresource pop end end\n";
  OH descendant = OH::parse("<< /Type /Font /Subtype /CIDFontType2 /CIDSystemInfo << /Registry "
                            "(Adobe) /Ordering (Identity) /Supplement 0 >> /DW 600 >>");
  descendant.replaceKey("/BaseFont", OH::newName("/" + name));
  OH font = OH::newDictionary();
  font.replaceKey("/Type", OH::newName("/Font"));
  font.replaceKey("/Subtype", OH::newName("/Type0"));
  font.replaceKey("/BaseFont", OH::newName("/" + name));
  font.replaceKey("/Encoding", OH::newName("/Identity-H"));
  OH descendants = OH::newArray();
  descendants.appendItem(pdf.makeIndirectObject(descendant));
  font.replaceKey("/DescendantFonts", descendants);
  font.replaceKey("/ToUnicode", pdf.newStream(cmap));
  return font;
}

// ---- a Compact Font Format program

void card16(std::string &out, int v) {
  out += char((v >> 8) & 0xFF);
  out += char(v & 0xFF);
}

// An INDEX whose offsets take four bytes each.
std::string cffIndex(const std::vector<std::string> &items) {
  std::string out;
  card16(out, int(items.size()));
  if (items.empty())
    return out;
  out += char(4);
  uint32_t offset = 1;
  auto put = [&](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      out += char((v >> shift) & 0xFF);
  };
  put(offset);
  for (const std::string &item : items)
    put(offset += uint32_t(item.size()));
  for (const std::string &item : items)
    out += item;
  return out;
}

// A DICT operand in five bytes, whatever its value, so that offsets can be laid out first.
std::string cffLong(int32_t v) {
  std::string out(1, char(29));
  for (int shift = 24; shift >= 0; shift -= 8)
    out += char((uint32_t(v) >> shift) & 0xFF);
  return out;
}

// A Type 2 charstring number.
std::string charstringNumber(int v) {
  if (v >= -107 && v <= 107)
    return std::string(1, char(v + 139));
  if (v >= 108 && v <= 1131)
    return {char((v - 108) / 256 + 247), char((v - 108) % 256)};
  std::string out(1, char(28));
  card16(out, v);
  return out;
}

} // namespace

std::string cffProgram(const std::vector<std::pair<std::string, int>> &glyphs) {
  std::vector<std::string> strings;     // every glyph name is a string of the font's own
  std::vector<std::string> charStrings; // .notdef first
  charStrings.push_back(charstringNumber(0) + char(14)); // width, endchar
  std::string charset(1, char(0));                       // format 0: a SID per glyph
  for (const auto &[name, width] : glyphs) {
    card16(charset, 391 + int(strings.size()));
    strings.push_back(name);
    charStrings.push_back(charstringNumber(width) + char(14));
  }
  const std::string header = {char(1), char(0), char(4), char(4)};
  const std::string names = cffIndex({"Program"});
  const std::string stringIndex = cffIndex(strings);
  const std::string globalSubrs = cffIndex({});
  const std::string charStringIndex = cffIndex(charStrings);
  const std::string privateDict = charstringNumber(0) + char(20); // defaultWidthX 0
  // The top DICT's size does not depend on the offsets it holds.
  auto topDict = [&](int32_t charsetAt, int32_t charStringsAt, int32_t privateAt) {
    return cffLong(charsetAt) + char(15) + cffLong(charStringsAt) + char(17) +
           cffLong(int32_t(privateDict.size())) + cffLong(privateAt) + char(18);
  };
  const size_t topSize = cffIndex({topDict(0, 0, 0)}).size();
  const int32_t charsetAt =
      int32_t(header.size() + names.size() + topSize + stringIndex.size() + globalSubrs.size());
  const int32_t charStringsAt = charsetAt + int32_t(charset.size());
  const int32_t privateAt = charStringsAt + int32_t(charStringIndex.size());
  return header + names + cffIndex({topDict(charsetAt, charStringsAt, privateAt)}) + stringIndex +
         globalSubrs + charset + charStringIndex + privateDict;
}

namespace {

OH embeddedFont(QPDF &pdf, const EmbeddedFontSpec &spec) {
  OH program = pdf.newStream(spec.program);
  program.getDict().replaceKey("/Subtype", OH::newName("/Type1C"));
  OH descriptor = OH::parse("<< /Type /FontDescriptor /FontBBox [-200 -250 1100 950] "
                            "/ItalicAngle 0 /Ascent 718 /Descent -207 /CapHeight 718 "
                            "/StemV 88 >>");
  descriptor.replaceKey("/FontName", OH::newName("/" + spec.name));
  descriptor.replaceKey("/Flags", OH::newInteger(spec.symbolic ? 4 : 32));
  descriptor.replaceKey("/FontFile3", program);
  OH font = OH::newDictionary();
  font.replaceKey("/Type", OH::newName("/Font"));
  font.replaceKey("/Subtype", OH::newName("/Type1"));
  font.replaceKey("/BaseFont", OH::newName("/" + spec.name));
  font.replaceKey("/FontDescriptor", pdf.makeIndirectObject(descriptor));
  if (!spec.widths.empty()) {
    OH widths = OH::newArray();
    for (int w : spec.widths)
      widths.appendItem(OH::newInteger(w));
    font.replaceKey("/FirstChar", OH::newInteger(spec.firstChar));
    font.replaceKey("/LastChar", OH::newInteger(spec.firstChar + int(spec.widths.size()) - 1));
    font.replaceKey("/Widths", widths);
  }
  if (!spec.differences.empty())
    font.replaceKey("/Encoding",
                    OH::parse("<< /Type /Encoding /Differences [" + spec.differences + "] >>"));
  else if (!spec.encoding.empty())
    font.replaceKey("/Encoding", OH::newName("/" + spec.encoding));
  if (!spec.toUnicode.empty())
    font.replaceKey(
        "/ToUnicode",
        pdf.newStream("/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                      "/CMapName /Embedded-UCS def /CMapType 2 def\n"
                      "1 begincodespacerange <00> <FF> endcodespacerange\n" +
                      spec.toUnicode +
                      "\nendcmap CMapName currentdict /CMap defineresource pop end end\n"));
  return pdf.makeIndirectObject(font);
}

struct PageContent {
  std::string content;
  std::map<FontKey, std::string> fonts; // font resource names
  std::vector<std::string> forms;       // content of each form, named /Fm1, /Fm2, ...
};

PageContent contentFor(const PageSpec &page) {
  PageContent pc;
  std::ostringstream s;
  for (const TextSpec &t : page.texts) {
    auto [it, added] =
        pc.fonts.emplace(FontKey{t.font, t.encoding}, "F" + std::to_string(pc.fonts.size() + 1));
    std::ostringstream text;
    text << "BT /" << it->second << " " << t.size << " Tf " << t.x << " " << t.y << " Td "
         << (!t.showOperation.empty() ? t.showOperation
             : t.type0                ? twoByteHex(t.text) + " Tj"
                                      : "(" + escapeString(t.text) + ") Tj")
         << " ET\n";
    std::string drawn = text.str();
    if (!t.markedContent.empty())
      drawn = "/" + t.markedContent + " BMC\n" + drawn + "EMC\n";
    if (t.inForm) {
      pc.forms.push_back(drawn);
      s << "q /Fm" << pc.forms.size() << " Do Q\n";
    } else {
      s << drawn;
    }
  }
  pc.content = s.str();
  return pc;
}

OH number(double v) { return OH::newReal(v, 4); }

template <class Numbers> OH numbers(const Numbers &values) {
  OH array = OH::newArray();
  for (double v : values)
    array.appendItem(number(v));
  return array;
}

OH destArray(QPDF &pdf, const std::vector<OH> &pages, int page, const std::string &fit,
             const std::vector<double> &params) {
  OH array = OH::newArray();
  if (page >= 0 && page < int(pages.size()))
    array.appendItem(pages[size_t(page)]);
  else // a reference to an object that is not a page
    array.appendItem(pdf.makeIndirectObject(OH::newDictionary()));
  array.appendItem(OH::newName("/" + fit));
  for (double p : params)
    array.appendItem(number(p));
  return array;
}

OH nameOrString(const ActionSpec &a) {
  return a.nameAsNameObject ? OH::newName("/" + a.name) : OH::newString(a.name);
}

std::string utf16be(const std::string &ascii) {
  std::string out = "\xFE\xFF";
  for (char c : ascii) {
    out += '\0';
    out += c;
  }
  return out;
}

void applyAction(QPDF &pdf, const std::vector<OH> &pages, const ActionSpec &a, OH item) {
  using K = ActionSpec::Kind;
  OH action = OH::newDictionary();
  switch (a.kind) {
  case K::None: return;
  case K::Dest: item.replaceKey("/Dest", destArray(pdf, pages, a.page, a.fit, a.fitParams)); return;
  case K::NamedDest: item.replaceKey("/Dest", OH::newString(a.name)); return;
  case K::GoTo:
    action.replaceKey("/S", OH::newName("/GoTo"));
    action.replaceKey("/D", destArray(pdf, pages, a.page, a.fit, a.fitParams));
    break;
  case K::NamedGoTo:
    action.replaceKey("/S", OH::newName("/GoTo"));
    action.replaceKey("/D", nameOrString(a));
    break;
  case K::URI:
    action.replaceKey("/S", OH::newName("/URI"));
    action.replaceKey("/URI", OH::newString(a.uri));
    break;
  case K::Launch:
    action.replaceKey("/S", OH::newName("/Launch"));
    if (a.file)
      action.replaceKey("/F", OH::newString(*a.file));
    break;
  case K::GoToR: {
    action.replaceKey("/S", OH::newName("/GoToR"));
    action.replaceKey("/F", OH::newString(a.file.value_or("")));
    OH d = OH::newArray();
    d.appendItem(OH::newInteger(a.page));
    d.appendItem(OH::newName("/Fit"));
    action.replaceKey("/D", d);
    break;
  }
  case K::JavaScript: {
    action.replaceKey("/S", OH::newName("/JavaScript"));
    OH js;
    switch (a.jsForm) {
    case ActionSpec::JsForm::String: js = OH::newString(a.script); break;
    case ActionSpec::JsForm::Name: js = OH::newName("/" + a.script); break;
    case ActionSpec::JsForm::Stream: js = pdf.newStream(a.script); break;
    case ActionSpec::JsForm::Utf16: js = OH::newString(utf16be(a.script)); break;
    }
    action.replaceKey("/JS", js);
    break;
  }
  case K::Thread:
    action.replaceKey("/S", OH::newName("/Thread"));
    action.replaceKey("/D", OH::newInteger(0));
    break;
  case K::Named:
    action.replaceKey("/S", OH::newName("/Named"));
    action.replaceKey("/N", OH::newName("/" + a.name));
    break;
  }
  item.replaceKey("/A", action);
}

// Builds the items of `specs` under `parent`; returns the number of visible descendants.
int buildItems(QPDF &pdf, const std::vector<OH> &pages, const std::vector<OutlineSpec> &specs,
               OH parent) {
  OH prev;
  int visible = 0;
  for (const OutlineSpec &spec : specs) {
    OH item = pdf.makeIndirectObject(OH::newDictionary());
    item.replaceKey("/Title", spec.rawTitle ? OH::newString(*spec.rawTitle)
                                            : OH::newUnicodeString(spec.title));
    item.replaceKey("/Parent", parent);
    applyAction(pdf, pages, spec.action, item);
    if (spec.color)
      item.replaceKey("/C", numbers(*spec.color));
    if (spec.flags)
      item.replaceKey("/F", OH::newInteger(spec.flags));
    if (!spec.children.empty()) {
      const int below = buildItems(pdf, pages, spec.children, item);
      item.replaceKey("/Count", OH::newInteger(spec.open ? below : -below));
      visible += spec.open ? below : 0;
    }
    if (prev.isInitialized()) {
      prev.replaceKey("/Next", item);
      item.replaceKey("/Prev", prev);
    } else {
      parent.replaceKey("/First", item);
    }
    parent.replaceKey("/Last", item);
    prev = item;
    ++visible;
  }
  return visible;
}

void addChain(QPDF &pdf, OH root, int depth, OH dest) {
  OH parent = root;
  OH last = root.getKey("/Last");
  for (int i = 0; i < depth; ++i) {
    OH item = pdf.makeIndirectObject(OH::newDictionary());
    item.replaceKey("/Title", OH::newString("Level " + std::to_string(i + 1)));
    if (!dest.isNull())
      item.replaceKey("/Dest", dest);
    item.replaceKey("/Parent", parent);
    if (parent.isSameObjectAs(root) && last.isDictionary()) {
      last.replaceKey("/Next", item);
      item.replaceKey("/Prev", last);
    } else {
      parent.replaceKey("/First", item);
    }
    parent.replaceKey("/Last", item);
    parent = item;
  }
}

// A node of a name tree with the /Limits of the names from `first` to `last`.
OH limitedNode(QPDF &pdf, const char *key, OH entries, const std::string &first,
               const std::string &last) {
  OH node = OH::newDictionary();
  node.replaceKey(key, entries);
  OH limits = OH::newArray();
  limits.appendItem(OH::newString(first));
  limits.appendItem(OH::newString(last));
  node.replaceKey("/Limits", limits);
  return pdf.makeIndirectObject(node);
}

// The root of a name tree holding `sorted`, shaped as `shape` says.
OH nameTree(QPDF &pdf, const std::map<std::string, OH> &sorted, const NameTreeShape &shape) {
  struct Made {
    OH node;
    std::string first, last;
  };
  std::vector<Made> level;
  const size_t fanOut = shape.fanOut > 0 ? size_t(shape.fanOut) : sorted.size();
  for (auto it = sorted.begin(); it != sorted.end();) {
    OH pairs = OH::newArray();
    const std::string first = it->first;
    std::string last;
    for (size_t n = 0; n < fanOut && it != sorted.end(); ++n, ++it) {
      pairs.appendItem(OH::newString(it->first));
      pairs.appendItem(it->second);
      last = it->first;
    }
    level.push_back({limitedNode(pdf, "/Names", pairs, first, last), first, last});
  }
  while (level.size() > 1) {
    std::vector<Made> above;
    for (size_t i = 0; i < level.size(); i += fanOut) {
      OH kids = OH::newArray();
      for (size_t k = i; k < i + fanOut && k < level.size(); ++k)
        kids.appendItem(level[k].node);
      const std::string &first = level[i].first;
      const std::string &last = level[std::min(i + fanOut, level.size()) - 1].last;
      above.push_back({limitedNode(pdf, "/Kids", kids, first, last), first, last});
    }
    level = std::move(above);
  }
  OH top = level.front().node;
  const std::string first = sorted.begin()->first;
  const std::string last = sorted.rbegin()->first;
  OH lowest;
  for (int i = 0; i < shape.chainDepth; ++i) {
    OH kids = OH::newArray();
    kids.appendItem(top);
    top = limitedNode(pdf, "/Kids", kids, first, last);
    if (i == 0)
      lowest = top;
  }
  top.removeKey("/Limits"); // the root of a tree has none
  if (shape.kidsLoop && lowest.isDictionary())
    lowest.getKey("/Kids").appendItem(top);
  return top;
}

void addNamedDests(QPDF &pdf, const std::vector<OH> &pages, const PdfSpec &spec) {
  OH dests = OH::newDictionary();
  std::map<std::string, OH> sorted;
  for (const NamedDestSpec &d : spec.namedDests) {
    OH value = destArray(pdf, pages, d.page, "Fit", {});
    if (d.wrapInDict) {
      OH wrapper = OH::newDictionary();
      wrapper.replaceKey("/D", value);
      value = wrapper;
    }
    if (d.inNameTree)
      sorted[d.name] = value;
    else
      dests.replaceKey("/" + d.name, value);
  }
  OH catalog = pdf.getRoot();
  if (!sorted.empty()) {
    OH names = OH::newDictionary();
    names.replaceKey("/Dests", nameTree(pdf, sorted, spec.nameTree));
    catalog.replaceKey("/Names", names);
  }
  if (dests.getKeys().size() > 0)
    catalog.replaceKey("/Dests", pdf.makeIndirectObject(dests));
}

} // namespace

ActionSpec ActionSpec::goTo(int page, std::string fit, std::vector<double> params) {
  ActionSpec a;
  a.kind = Kind::GoTo;
  a.page = page;
  a.fit = std::move(fit);
  a.fitParams = std::move(params);
  return a;
}
ActionSpec ActionSpec::dest(int page) {
  ActionSpec a = goTo(page);
  a.kind = Kind::Dest;
  return a;
}
ActionSpec ActionSpec::namedGoTo(std::string name, bool asNameObject) {
  ActionSpec a;
  a.kind = Kind::NamedGoTo;
  a.name = std::move(name);
  a.nameAsNameObject = asNameObject;
  return a;
}
ActionSpec ActionSpec::namedDest(std::string name) {
  ActionSpec a;
  a.kind = Kind::NamedDest;
  a.name = std::move(name);
  return a;
}
ActionSpec ActionSpec::uriTo(std::string uri) {
  ActionSpec a;
  a.kind = Kind::URI;
  a.uri = std::move(uri);
  return a;
}
ActionSpec ActionSpec::launch(std::optional<std::string> file) {
  ActionSpec a;
  a.kind = Kind::Launch;
  a.file = std::move(file);
  return a;
}
ActionSpec ActionSpec::goToR(std::string file, int page) {
  ActionSpec a;
  a.kind = Kind::GoToR;
  a.file = std::move(file);
  a.page = page;
  return a;
}
ActionSpec ActionSpec::javaScript(std::string script, JsForm form) {
  ActionSpec a;
  a.kind = Kind::JavaScript;
  a.script = std::move(script);
  a.jsForm = form;
  return a;
}
ActionSpec ActionSpec::thread() {
  ActionSpec a;
  a.kind = Kind::Thread;
  return a;
}
ActionSpec ActionSpec::named(std::string name) {
  ActionSpec a;
  a.kind = Kind::Named;
  a.name = std::move(name);
  return a;
}

PdfSpec pages(int n) {
  PdfSpec spec;
  spec.pages.assign(size_t(n), PageSpec{});
  return spec;
}

void writePdf(const PdfSpec &spec, const std::string &path) {
  QPDF pdf;
  pdf.emptyPDF();
  QPDFPageDocumentHelper helper(pdf);
  std::vector<OH> pageObjects;
  std::map<std::string, OH> embedded;
  for (const EmbeddedFontSpec &font : spec.embeddedFonts)
    embedded.emplace(font.name, embeddedFont(pdf, font));
  for (const PageSpec &p : spec.pages) {
    const PageContent pc = contentFor(p);
    OH fontDict = OH::newDictionary();
    for (const auto &[key, name] : pc.fonts) {
      if (auto it = embedded.find(key.font); it != embedded.end()) {
        fontDict.replaceKey("/" + name, it->second);
        continue;
      }
      if (key.type0) {
        fontDict.replaceKey("/" + name, type0Font(pdf, key.font));
        continue;
      }
      OH font = OH::newDictionary();
      font.replaceKey("/Type", OH::newName("/Font"));
      font.replaceKey("/Subtype", OH::newName("/Type1"));
      font.replaceKey("/BaseFont", OH::newName("/" + key.font));
      if (key.font != "Symbol" && key.font != "ZapfDingbats")
        font.replaceKey("/Encoding", OH::newName("/" + key.encoding));
      fontDict.replaceKey("/" + name, font);
    }
    OH resources = OH::newDictionary();
    resources.replaceKey("/Font", fontDict);
    if (!pc.forms.empty()) {
      OH xobjects = OH::newDictionary();
      for (size_t i = 0; i < pc.forms.size(); ++i) {
        OH form = pdf.newStream(pc.forms[i]);
        OH dict = form.getDict();
        dict.replaceKey("/Type", OH::newName("/XObject"));
        dict.replaceKey("/Subtype", OH::newName("/Form"));
        dict.replaceKey("/BBox", numbers(std::array<double, 4>{0.0, 0.0, p.width, p.height}));
        OH formResources = OH::newDictionary();
        formResources.replaceKey("/Font", fontDict);
        dict.replaceKey("/Resources", formResources);
        xobjects.replaceKey("/Fm" + std::to_string(i + 1), form);
      }
      resources.replaceKey("/XObject", xobjects);
    }
    OH page = OH::newDictionary();
    page.replaceKey("/Type", OH::newName("/Page"));
    page.replaceKey("/MediaBox", numbers(std::array<double, 4>{0.0, 0.0, p.width, p.height}));
    if (p.cropBox)
      page.replaceKey("/CropBox", numbers(*p.cropBox));
    if (p.rotate)
      page.replaceKey("/Rotate", OH::newInteger(p.rotate));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", pdf.newStream(pc.content));
    helper.addPage(pdf.makeIndirectObject(page), false);
  }
  for (QPDFPageObjectHelper &p : helper.getAllPages())
    pageObjects.push_back(p.getObjectHandle());

  if (!spec.outline.empty() || spec.chainDepth > 0) {
    OH root = pdf.makeIndirectObject(OH::newDictionary());
    root.replaceKey("/Type", OH::newName("/Outlines"));
    const int visible = buildItems(pdf, pageObjects, spec.outline, root);
    if (visible > 0)
      root.replaceKey("/Count", OH::newInteger(visible));
    if (spec.chainDepth > 0)
      addChain(pdf, root, spec.chainDepth,
               spec.chainPage >= 0 ? destArray(pdf, pageObjects, spec.chainPage, "Fit", {})
                                   : OH::newNull());
    pdf.getRoot().replaceKey("/Outlines", root);
    OH first = root.getKey("/First");
    if (spec.damage == OutlineDamage::NextLoop)
      root.getKey("/Last").replaceKey("/Next", first);
    if (spec.damage == OutlineDamage::FirstBackUp && first.isDictionary()) {
      // A child list that leads back to its own parent.
      first.replaceKey("/First", first);
      first.replaceKey("/Last", first);
    }
    if (spec.damage == OutlineDamage::RootFirstIsRoot) {
      root.replaceKey("/First", root);
      root.replaceKey("/Last", root);
    }
  }
  addNamedDests(pdf, pageObjects, spec);

  QPDFWriter writer(pdf, path.c_str());
  writer.setStaticID(true);
  if (spec.encryption) {
    const EncryptionSpec &e = *spec.encryption;
    writer.setR6EncryptionParameters(e.userPassword.c_str(), e.ownerPassword.c_str(), true, true,
                                     true, e.allowModify, e.allowModify, e.allowModify,
                                     e.allowPrint ? qpdf_r3p_full : qpdf_r3p_none, true);
  }
  writer.write();
}

} // namespace sorvane::test
