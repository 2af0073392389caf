// Small PDF files for tests, written with QPDF so that the host (MuPDF) is checked against an
// independent implementation: pages with text in the standard 14 fonts, outlines with every
// kind of action, named destinations, damaged outlines and encryption.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::test {

struct TextSpec {
  std::string text; // bytes in the font's encoding
  double x = 72;
  double y = 720;
  double size = 12;
  std::string font = "Helvetica";           // one of the standard 14
  std::string encoding = "WinAnsiEncoding"; // or "MacRomanEncoding"
  // When set, drawn with this operand and operator instead of "(text) Tj", for instance
  // "[(Chap) -20 (ter)] TJ".
  std::string showOperation;
  bool inForm = false; // drawn by a form XObject
  // A Type0 font (Identity-H, two-byte codes, a ToUnicode map): `text` is then ASCII, drawn as
  // one two-byte code per character.
  bool type0 = false;
  std::string markedContent; // when set, wrapped in "/Tag BMC ... EMC"
};

struct PageSpec {
  double width = 612;
  double height = 792;
  std::optional<std::array<double, 4>> cropBox; // left, bottom, right, top
  int rotate = 0;
  std::vector<TextSpec> texts;
};

// What a bookmark does.
struct ActionSpec {
  enum class Kind {
    None,
    GoTo,      // /A << /S /GoTo /D [page /Fit ...] >>
    Dest,      // /Dest [page /Fit] on the bookmark itself
    NamedGoTo, // /A << /S /GoTo /D (name) >>, the name as a string or a name object
    NamedDest, // /Dest (name) on the bookmark itself
    URI,
    Launch,     // with /F when `file` is set
    GoToR,      // /F file, /D [page /Fit]
    JavaScript, // the script held as `jsForm` says
    Thread,
    Named, // /N /NextPage
  };
  enum class JsForm { String, Name, Stream, Utf16 };

  Kind kind = Kind::None;
  int page = 0; // zero-based; a page outside the document writes a dangling reference
  std::string fit = "Fit";
  std::vector<double> fitParams;
  std::string name; // named destination
  bool nameAsNameObject = false;
  std::string uri;
  std::optional<std::string> file;
  std::string script;
  JsForm jsForm = JsForm::String;

  static ActionSpec goTo(int page, std::string fit = "Fit", std::vector<double> params = {});
  static ActionSpec dest(int page);
  static ActionSpec namedGoTo(std::string name, bool asNameObject = false);
  static ActionSpec namedDest(std::string name);
  static ActionSpec uriTo(std::string uri);
  static ActionSpec launch(std::optional<std::string> file);
  static ActionSpec goToR(std::string file, int page);
  static ActionSpec javaScript(std::string script, JsForm form = JsForm::String);
  static ActionSpec thread();
  static ActionSpec named(std::string name = "NextPage");
};

struct OutlineSpec {
  std::string title;                   // UTF-8, written as readers expect
  std::optional<std::string> rawTitle; // exact string bytes instead
  ActionSpec action;
  bool open = false;
  std::optional<std::array<double, 3>> color;
  int flags = 0;
  std::vector<OutlineSpec> children;
};

struct NamedDestSpec {
  std::string name;
  int page = 0;
  bool inNameTree = true;  // else in the catalog's /Dests dictionary
  bool wrapInDict = false; // << /D [...] >>, as some producers write it
};

// The shape of the /Dests name tree that holds the named destinations kept in a tree.
struct NameTreeShape {
  // When > 0, leaves hold at most this many names, and nodes above them at most this many kids,
  // each leaf and inner node with the /Limits of the names below it; else one leaf holds all.
  int fanOut = 0;
  // When > 0, this many nodes, each with one kid and the /Limits of all names, stand above the
  // tree.
  int chainDepth = 0;
  // The lowest node of the chain also lists the top of the tree as a kid (a loop in /Kids).
  bool kidsLoop = false;
};

struct EncryptionSpec {
  std::string userPassword;
  std::string ownerPassword = "owner";
  bool allowModify = true;
  bool allowPrint = true;
};

// Ways to damage an outline after it is built.
enum class OutlineDamage {
  None,
  NextLoop,        // the last top-level bookmark's /Next points to the first
  FirstBackUp,     // the first top-level bookmark lists itself as its own child
  RootFirstIsRoot, // the outline root lists itself as its first (and last) child
};

// A simple font embedded in the file, used by the texts whose `font` is its name: one
// indirect font object shared by every page and form.
struct EmbeddedFontSpec {
  std::string name;                         // the /BaseFont
  std::string program;                      // Type1C (CFF) bytes, written as /FontFile3
  int firstChar = 32;                       // of `widths`
  std::vector<int> widths;                  // none: the font has no /Widths
  std::string encoding = "WinAnsiEncoding"; // a name, or "" for no /Encoding
  std::string differences; // when set, /Encoding is a dictionary with these /Differences
  bool symbolic = false;   // /Flags 4 rather than 32
  std::string toUnicode;   // when set, the body of a ToUnicode CMap ("1 beginbfchar ...")
};

struct PdfSpec {
  std::vector<PageSpec> pages{PageSpec{}};
  std::vector<EmbeddedFontSpec> embeddedFonts;
  std::vector<OutlineSpec> outline;
  std::vector<NamedDestSpec> namedDests;
  NameTreeShape nameTree;
  std::optional<EncryptionSpec> encryption;
  OutlineDamage damage = OutlineDamage::None;
  int chainDepth = 0; // when > 0, a single chain of bookmarks this deep is added to the outline
  int chainPage = -1; // when >= 0, each bookmark of the chain leads to this page (/Dest)
};

// A font program in the Compact Font Format (Type1C) with these glyphs, by name, and their
// advance widths in thousandths of an em; the glyphs draw nothing. Its own encoding is the
// standard one.
std::string cffProgram(const std::vector<std::pair<std::string, int>> &glyphs);

// Writes the PDF described by `spec` to `path`.
void writePdf(const PdfSpec &spec, const std::string &path);

// A spec of `n` plain pages.
PdfSpec pages(int n);

} // namespace sorvane::test
