#include "host/pdf/page_text.h"

#include "host/pdf/document_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <unordered_map>
#include <utility>

#include <mupdf/pdf.h>

#include "host/pdf/document_engine.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"
#include "sdk/text_codec.h"

namespace sorvane::host {
namespace {

// A pen jump of more than this part of an em between two glyphs is a word gap, not kerning.
constexpr float kWordGapEm = 0.15f;

struct FontMeta {
  int index = -1;
  bool whole = true; // its runs keep their whole text
  float ascent = 0.8f;
  float descent = -0.2f;
  // A font read from its dictionary alone (metric_fonts.h): glyph advances come from its
  // width table.
  const fz_font *metric = nullptr;
};

// What makes two text callbacks the same text drawn again (fill and stroke render modes).
struct TextSignature {
  const void *font = nullptr;
  fz_matrix trm{};
  fz_matrix ctm{};
  int spans = 0;
  int len = 0;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int gid0 = 0, gid1 = 0;

  bool operator==(const TextSignature &o) const {
    return font == o.font && std::equal(&trm.a, &trm.f + 1, &o.trm.a) &&
           std::equal(&ctm.a, &ctm.f + 1, &o.ctm.a) && spans == o.spans && len == o.len &&
           x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1 && gid0 == o.gid0 && gid1 == o.gid1;
  }
};

// Pen state carried from glyph to glyph within one text element.
struct Pen {
  bool valid = false;
  bool lastBlank = true; // the element's last character so far is a blank (or there is none)
  fz_point expected{};   // where the next glyph would start without a jump
  fz_rect lastBox{};
};

HostRect toHost(const fz_rect &r) { return HostRect{r.x0, r.y0, r.x1, r.y1}; }

// Every glyph's box goes through two transforms and a union, millions of times in a long
// manual. For what nearly all text is (no rotation or skew, a box the right way round) these
// work out here what fz_transform_rect and fz_union_rect give, to the bit, by the same
// arithmetic in the same order; anything else is left to MuPDF.
fz_rect transformRect(fz_rect r, const fz_matrix &m) {
  // (an infinite box, and anything that might be one, starts at FZ_MIN_INF_RECT)
  if (m.b != 0 || m.c != 0 || !fz_is_valid_rect(r) || r.x0 == float(FZ_MIN_INF_RECT))
    return fz_transform_rect(r, m);
  if (m.a < 0)
    std::swap(r.x0, r.x1);
  if (m.d < 0)
    std::swap(r.y0, r.y1);
  return fz_rect{r.x0 * m.a + r.y0 * m.c + m.e, r.x0 * m.b + r.y0 * m.d + m.f,
                 r.x1 * m.a + r.y1 * m.c + m.e, r.x1 * m.b + r.y1 * m.d + m.f};
}

fz_rect unionRect(const fz_rect &a, const fz_rect &b) {
  if (!fz_is_valid_rect(b))
    return a;
  if (!fz_is_valid_rect(a))
    return b;
  if (a.x0 == float(FZ_MIN_INF_RECT) || b.x0 == float(FZ_MIN_INF_RECT))
    return fz_union_rect(a, b);
  return fz_rect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
                 std::max(a.y1, b.y1)};
}

class Extractor {
public:
  Extractor(fz_context *ctx, pdf_document *doc, MetricFontSet &metricFonts, PageText &out,
            const RunFontFilter *filter)
      : m_ctx(ctx), m_doc(doc), m_metricFonts(metricFonts), m_out(out), m_filter(filter) {}
  ~Extractor() {
    for (pdf_font_desc *font : m_kept)
      pdf_drop_font(m_ctx, font);
  }
  Extractor(const Extractor &) = delete;
  Extractor &operator=(const Extractor &) = delete;

  fz_context *ctx() const { return m_ctx; }
  bool failed() const { return m_failed; }
  pdf_obj *resources() const { return m_resources.empty() ? m_pageResources : m_resources.back(); }
  void setPageResources(pdf_obj *res) { m_pageResources = res; }
  // Fonts of `resources` whose runs are read in part need not be loaded whole.
  void storeMetricFonts(pdf_obj *resources) noexcept {
    m_metricFonts.store(m_ctx, m_doc, resources);
  }

  void (*origTf)(fz_context *, pdf_processor *, const char *, pdf_font_desc *, float) = nullptr;
  void (*origDoForm)(fz_context *, pdf_processor *, const char *, pdf_obj *, pdf_obj *) = nullptr;

  // All of these are called from inside MuPDF and never throw.
  bool beginList(ContentElementKind kind, pdf_obj *resources) noexcept;
  void endList() noexcept;
  void noteFont(const char *resourceName, pdf_font_desc *font) noexcept;
  void addText(const fz_text *text, fz_matrix ctm) noexcept;
  void addOther() noexcept;
  // A filled or stroked path: an underscore TeX draws as a rule after the text before it,
  // else an other element.
  void addPath(const fz_path *path, const fz_stroke_state *stroke, fz_matrix ctm) noexcept;

private:
  void appendText(const fz_text *text, fz_matrix ctm);
  bool appendUnderscore(const fz_rect &rule);
  void appendSpan(const fz_text_span *span, fz_matrix ctm, ExtractedElement &element, Pen &pen);
  FontMeta fontFor(fz_font *font);
  std::vector<int> &currentList() {
    return m_out.lists[size_t(m_listStack.empty() ? 0 : m_listStack.back())];
  }

  fz_context *m_ctx;
  pdf_document *m_doc;
  MetricFontSet &m_metricFonts;
  PageText &m_out;
  const RunFontFilter *m_filter;
  pdf_obj *m_pageResources = nullptr;
  std::vector<pdf_obj *> m_resources;
  std::vector<int> m_listStack;
  std::unordered_map<const fz_font *, FontMeta> m_fonts;
  std::vector<pdf_font_desc *> m_kept; // the metric fonts of m_fonts, held while they are used
  std::vector<float> m_advances;       // the glyph advances of the span being read
  TextSignature m_last;
  int m_lastTextElement = -1;
  bool m_failed = false;
};

thread_local Extractor *tCurrent = nullptr;

bool Extractor::beginList(ContentElementKind kind, pdf_obj *resources) noexcept {
  try {
    // Room for the pushes below, so that they cannot throw halfway; grown by doubling, since
    // an exact reserve per level would copy the stacks at every level.
    if (m_listStack.size() == m_listStack.capacity())
      m_listStack.reserve(2 * m_listStack.size() + 16);
    if (m_resources.size() == m_resources.capacity())
      m_resources.reserve(2 * m_resources.size() + 16);
    if (m_listStack.size() >= size_t(kMaxContentDepth)) {
      // Deeper containers are not recorded: their content goes into the deepest one kept.
      if (m_out.warnings.empty())
        m_out.warnings.push_back("The page nests forms and marked content deeper than " +
                                 std::to_string(kMaxContentDepth) +
                                 " levels; the deeper ones are read as part of the level above.");
      m_listStack.push_back(m_listStack.back());
      m_resources.push_back(resources ? resources : this->resources());
      return true;
    }
    ExtractedElement element;
    element.kind = kind;
    element.list = static_cast<int>(m_out.lists.size());
    m_out.lists.emplace_back();
    currentList().push_back(static_cast<int>(m_out.elements.size()));
    m_out.elements.push_back(std::move(element));
    m_listStack.push_back(m_out.elements.back().list);
    m_resources.push_back(resources ? resources : this->resources());
    m_lastTextElement = -1;
    return true;
  } catch (...) {
    m_failed = true;
    return false;
  }
}

void Extractor::endList() noexcept {
  if (!m_listStack.empty())
    m_listStack.pop_back();
  if (!m_resources.empty())
    m_resources.pop_back();
  m_lastTextElement = -1;
}

void Extractor::noteFont(const char *resourceName, pdf_font_desc *font) noexcept {
  if (!font || !font->font || m_fonts.count(font->font))
    return;
  const char *base = "";
  const char *subtype = "";
  const char *encoding = "";
  pdf_obj *res = resources();
  fz_var(base);
  fz_var(subtype);
  fz_var(encoding);
  fz_try(m_ctx) {
    pdf_obj *dict = pdf_dict_gets(m_ctx, pdf_dict_get(m_ctx, res, PDF_NAME(Font)), resourceName);
    base = pdf_to_name(m_ctx, pdf_dict_get(m_ctx, dict, PDF_NAME(BaseFont)));
    subtype = pdf_to_name(m_ctx, pdf_dict_get(m_ctx, dict, PDF_NAME(Subtype)));
    pdf_obj *enc = pdf_dict_get(m_ctx, dict, PDF_NAME(Encoding));
    encoding = pdf_is_name(m_ctx, enc)
                   ? pdf_to_name(m_ctx, enc)
                   : pdf_to_name(m_ctx, pdf_dict_get(m_ctx, enc, PDF_NAME(BaseEncoding)));
    if (!*base) // Type 3 fonts have no BaseFont
      base = pdf_to_name(m_ctx, pdf_dict_get(m_ctx, dict, PDF_NAME(Name)));
  }
  fz_catch(m_ctx) {}
  try {
    // Names are bytes in a PDF: what is not UTF-8 becomes U+FFFD, so no consumer meets it.
    RunFont runFont{sanitizeUtf8(*base ? base : fz_font_name(m_ctx, font->font)),
                    sanitizeUtf8(subtype), sanitizeUtf8(encoding)};
    FontMeta meta;
    if (font->ascent != 0 || font->descent != 0) {
      meta.ascent = font->ascent / 1000;
      meta.descent = font->descent / 1000;
    }
    meta.index = static_cast<int>(m_out.fonts.size());
    meta.whole = !m_filter || m_filter->keepsWhole(runFont.name);
    if (isMetricFont(font->font)) {
      m_kept.reserve(m_kept.size() + 1);
      m_kept.push_back(pdf_keep_font(m_ctx, font));
      meta.metric = font->font;
    }
    m_out.fonts.push_back(std::move(runFont));
    m_fonts.emplace(font->font, meta);
  } catch (...) {
    m_failed = true;
  }
}

FontMeta Extractor::fontFor(fz_font *font) {
  if (auto it = m_fonts.find(font); it != m_fonts.end())
    return it->second;
  // A font that no Tf named (a glyph procedure's, say): its engine name is all there is.
  FontMeta meta;
  meta.index = static_cast<int>(m_out.fonts.size());
  m_out.fonts.push_back(RunFont{sanitizeUtf8(fz_font_name(m_ctx, font)), "", ""});
  meta.whole = !m_filter || m_filter->keepsWhole(m_out.fonts.back().name);
  m_fonts.emplace(font, meta);
  return meta;
}

void Extractor::addText(const fz_text *text, fz_matrix ctm) noexcept {
  try {
    appendText(text, ctm);
  } catch (...) {
    m_failed = true;
  }
}

void Extractor::addOther() noexcept {
  try {
    std::vector<int> &list = currentList();
    m_lastTextElement = -1;
    if (!list.empty() && m_out.elements[size_t(list.back())].kind == ContentElementKind::Other)
      return; // one element stands for a row of paths and images
    list.push_back(static_cast<int>(m_out.elements.size()));
    m_out.elements.push_back(ExtractedElement{});
  } catch (...) {
    m_failed = true;
  }
}

void Extractor::addPath(const fz_path *path, const fz_stroke_state *stroke,
                        fz_matrix ctm) noexcept {
  fz_rect bounds = fz_empty_rect;
  // (a stroke's own bounds allow for miter joins, far wider than a straight line is)
  fz_try(m_ctx) {
    bounds = fz_bound_path(m_ctx, path, nullptr, ctm);
    if (stroke)
      bounds = fz_expand_rect(bounds, stroke->linewidth * fz_matrix_expansion(ctm) / 2);
  }
  fz_catch(m_ctx) { bounds = fz_empty_rect; }
  try {
    if (!fz_is_empty_rect(bounds) && appendUnderscore(bounds))
      return;
  } catch (...) {
    m_failed = true;
    return;
  }
  addOther();
}

// TeX sets "\_" in fonts without an underscore as a short rule on the baseline, just after the
// letter before it: readers see "glp_create_prob", the text alone says "glp create prob". Such
// a rule becomes the character "_" at the end of the text drawn just before it.
bool Extractor::appendUnderscore(const fz_rect &rule) {
  if (m_lastTextElement < 0)
    return false;
  ExtractedElement &element = m_out.elements[size_t(m_lastTextElement)];
  if (element.runs.empty() || element.charBoxes.empty())
    return false;
  ExtractedRun &run = element.runs.back();
  const double size = run.size;
  if (run.charCount == 0 || size <= 0 || run.text.empty() || run.text.back() == ' ' ||
      (m_filter && !m_filter->keepsWhole(m_out.fonts[size_t(run.font)].name)))
    return false;
  const HostRect &last = element.charBoxes.back();
  const double width = rule.x1 - rule.x0, height = rule.y1 - rule.y0;
  if (height > 0.15 * size || width < 0.2 * size || width > size ||
      rule.x0 < last.right - 0.1 * size || rule.x0 > last.right + 0.3 * size ||
      rule.y0 < last.bottom - 0.15 * size || rule.y1 > last.bottom + 0.45 * size)
    return false;
  run.text += '_';
  element.charBoxes.push_back(HostRect{rule.x0, last.bottom, rule.x1, last.top});
  ++run.charCount;
  run.box.right = std::max(run.box.right, double(rule.x1));
  return true;
}

void Extractor::appendText(const fz_text *text, fz_matrix ctm) {
  if (!text || !text->head)
    return;
  TextSignature sig;
  sig.font = text->head->font;
  sig.trm = text->head->trm;
  sig.ctm = ctm;
  for (const fz_text_span *s = text->head; s; s = s->next) {
    ++sig.spans;
    sig.len += s->len;
  }
  if (text->head->len > 0) {
    const fz_text_item &first = text->head->items[0];
    const fz_text_item &last = text->tail->items[text->tail->len > 0 ? text->tail->len - 1 : 0];
    sig.x0 = first.x, sig.y0 = first.y, sig.gid0 = first.gid;
    sig.x1 = last.x, sig.y1 = last.y, sig.gid1 = last.gid;
  }
  // Fill-and-stroke modes hand over the same text twice or three times in a row.
  if (m_lastTextElement >= 0 && sig == m_last)
    return;
  m_last = sig;

  ExtractedElement element;
  element.kind = ContentElementKind::Text;
  Pen pen;
  for (const fz_text_span *s = text->head; s; s = s->next)
    appendSpan(s, ctm, element, pen);
  std::vector<int> &list = currentList();
  m_lastTextElement = static_cast<int>(m_out.elements.size());
  list.push_back(m_lastTextElement);
  m_out.elements.push_back(std::move(element));
}

void Extractor::appendSpan(const fz_text_span *span, fz_matrix ctm, ExtractedElement &element,
                           Pen &pen) {
  if (span->len <= 0)
    return;
  const FontMeta meta = fontFor(span->font);
  std::vector<float> &advances = m_advances;
  advances.assign(size_t(span->len), 0.0f);
  float *adv = advances.data();
  if (std::vector<HostRect> &boxes = element.charBoxes;
      meta.whole && boxes.capacity() < boxes.size() + size_t(span->len))
    boxes.reserve(std::max(2 * boxes.capacity(), boxes.size() + size_t(span->len)));
  fz_context *ctx = m_ctx;
  const int wmode = span->wmode;
  int ok = 1;
  fz_var(ok);
  const fz_font *metric = meta.metric;
  fz_try(ctx) {
    for (int i = 0; i < span->len; ++i) {
      const int gid = span->items[i].gid;
      adv[i] = gid < 0  ? 0.0f
               : metric ? metricAdvance(metric, gid)
                        : fz_advance_glyph(ctx, span->font, gid, wmode);
    }
  }
  fz_catch(ctx) { ok = 0; }
  if (!ok)
    std::fill(advances.begin(), advances.end(), 0.5f);

  const fz_matrix trm = span->trm;
  const fz_matrix full = fz_concat(trm, ctm);
  const float em = std::hypot(trm.a, trm.b);

  ExtractedRun run;
  fz_rect runBox = fz_empty_rect;
  auto startRun = [&] {
    run = ExtractedRun();
    run.font = meta.index;
    run.size = std::hypot(full.c, full.d);
    run.firstChar = static_cast<int>(element.charBoxes.size());
    runBox = fz_empty_rect;
  };
  auto finishRun = [&] {
    if (run.charCount == 0)
      return;
    run.box = toHost(fz_is_empty_rect(runBox) ? fz_make_rect(0, 0, 0, 0) : runBox);
    element.runs.push_back(std::move(run));
  };
  auto addChar = [&](char32_t c, const fz_rect &box) {
    pen.lastBlank = c == ' ';
    // A run whose text no reader needs keeps its first character: what it is, and that it
    // has text at all.
    if (!meta.whole && run.charCount > 0)
      return;
    if (c < 0x80)
      run.text += static_cast<char>(c);
    else
      appendUtf8(run.text, c);
    element.charBoxes.push_back(toHost(box));
    ++run.charCount;
  };
  startRun();

  for (int i = 0; i < span->len; ++i) {
    const fz_text_item &item = span->items[i];
    const fz_matrix glyphMatrix{trm.a, trm.b, trm.c, trm.d, item.x, item.y};
    fz_rect box = transformRect(fz_make_rect(0, meta.descent, adv[i], meta.ascent), glyphMatrix);
    box = transformRect(box, ctm);
    if (item.gid < 0 && pen.valid)
      box = pen.lastBox; // a further character of the glyph before (a ligature's letters)

    if (pen.valid && item.gid >= 0 && em > 0) {
      const float dx = item.x - pen.expected.x;
      const float dy = item.y - pen.expected.y;
      const float along = (dx * trm.a + dy * trm.b) / (em * em);
      const float across = std::fabs(dx * trm.b - dy * trm.a) / (em * em);
      if (across > 0.5f || along < -0.5f) {
        // The pen went to another line: that text is a run of its own.
        finishRun();
        startRun();
      } else if (along > kWordGapEm) {
        // A word gap drawn by moving the pen reads as one blank.
        if (!pen.lastBlank && item.ucs != ' ')
          addChar(' ',
                  fz_make_rect(std::min(pen.lastBox.x1, box.x0), std::min(box.y0, pen.lastBox.y0),
                               std::max(pen.lastBox.x1, box.x0), std::max(box.y1, pen.lastBox.y1)));
      }
    }

    const int ucs = item.ucs;
    if (ucs >= 0xFB00 && ucs <= 0xFB06) {
      static const char *const kLigatures[] = {"ff", "fi", "fl", "ffi", "ffl", "st", "st"};
      for (const char *l = kLigatures[ucs - 0xFB00]; *l; ++l)
        addChar(char32_t(*l), box);
    } else if (ucs == '\t' || ucs == '\n' || ucs == '\r') {
      addChar(' ', box);
    } else if (ucs >= 0x20 && ucs != 0x7F && ucs != 0xFFFD && !(ucs >= 0x80 && ucs < 0xA0)) {
      addChar(char32_t(ucs), box);
    }
    // NUL, other control characters and glyphs without a known character add nothing.
    if (item.gid >= 0) {
      runBox = unionRect(runBox, box);
      pen.valid = true;
      pen.lastBox = box;
      if (wmode == 0)
        pen.expected = fz_make_point(item.x + adv[i] * trm.a, item.y + adv[i] * trm.b);
      else
        pen.expected = fz_make_point(item.x - adv[i] * trm.c, item.y - adv[i] * trm.d);
    }
  }
  finishRun();
}

} // namespace

int glyphBoxMismatches(uint32_t seed, int cases) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> coordinate(-800, 800), scale(-30, 30);
  const float special[] = {0.0f, -0.0f, 1.0f, -1.0f};
  auto value = [&] { return random() % 3 == 0 ? special[random() % 4] : scale(random); };
  auto same = [](const fz_rect &a, const fz_rect &b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  int mismatches = 0;
  for (int i = 0; i < cases; ++i) {
    // A glyph: no rotation or skew mostly, some of either.
    fz_matrix m{value(),
                random() % 4 == 0 ? value() : 0.0f,
                random() % 4 == 0 ? value() : 0.0f,
                value(),
                coordinate(random),
                coordinate(random)};
    const float descent = value(), ascent = value();
    fz_rect glyph{0, std::min(descent, ascent), random() % 5 == 0 ? 0.0f : scale(random),
                  std::max(descent, ascent)};
    if (random() % 10 == 0)
      std::swap(glyph.y0, glyph.y1);
    if (random() % 50 == 0)
      glyph = fz_infinite_rect;
    const fz_rect box = transformRect(glyph, m);
    mismatches += same(box, fz_transform_rect(glyph, m)) ? 0 : 1;
    // The run's box so far: valid, the wrong way round, empty or infinite.
    fz_rect run{coordinate(random), coordinate(random), coordinate(random), coordinate(random)};
    if (random() % 2 == 0)
      run = fz_make_rect(std::min(run.x0, run.x1), std::min(run.y0, run.y1),
                         std::max(run.x0, run.x1), std::max(run.y0, run.y1));
    if (random() % 7 == 0)
      run = fz_empty_rect;
    else if (random() % 20 == 0)
      run = fz_infinite_rect;
    mismatches += same(unionRect(run, box), fz_union_rect(run, box)) ? 0 : 1;
  }
  return mismatches;
}

namespace {

// ---- the device and the processor hooks: thin C callbacks over the extractor

struct TextDevice {
  fz_device super;
  Extractor *extractor;
};

Extractor &of(fz_device *dev) { return *reinterpret_cast<TextDevice *>(dev)->extractor; }

void fillText(fz_context *, fz_device *dev, const fz_text *text, fz_matrix ctm, fz_colorspace *,
              const float *, float, fz_color_params) {
  of(dev).addText(text, ctm);
}
void strokeText(fz_context *, fz_device *dev, const fz_text *text, const fz_stroke_state *,
                fz_matrix ctm, fz_colorspace *, const float *, float, fz_color_params) {
  of(dev).addText(text, ctm);
}
void clipText(fz_context *, fz_device *dev, const fz_text *text, fz_matrix ctm, fz_rect) {
  of(dev).addText(text, ctm);
}
void clipStrokeText(fz_context *, fz_device *dev, const fz_text *text, const fz_stroke_state *,
                    fz_matrix ctm, fz_rect) {
  of(dev).addText(text, ctm);
}
void ignoreText(fz_context *, fz_device *dev, const fz_text *text, fz_matrix ctm) {
  of(dev).addText(text, ctm);
}
void beginLayer(fz_context *, fz_device *dev, const char *) {
  Extractor &e = of(dev);
  e.beginList(ContentElementKind::Container, e.resources());
}
void endLayer(fz_context *, fz_device *dev) { of(dev).endList(); }
void fillPath(fz_context *, fz_device *dev, const fz_path *path, int, fz_matrix ctm,
              fz_colorspace *, const float *, float, fz_color_params) {
  of(dev).addPath(path, nullptr, ctm);
}
void strokePath(fz_context *, fz_device *dev, const fz_path *path, const fz_stroke_state *stroke,
                fz_matrix ctm, fz_colorspace *, const float *, float, fz_color_params) {
  of(dev).addPath(path, stroke, ctm);
}
void fillImage(fz_context *, fz_device *dev, fz_image *, fz_matrix, float, fz_color_params) {
  of(dev).addOther();
}

void hookTf(fz_context *ctx, pdf_processor *proc, const char *name, pdf_font_desc *font,
            float size) {
  Extractor *e = tCurrent;
  e->origTf(ctx, proc, name, font, size);
  e->noteFont(name, font);
}

void hookDoForm(fz_context *ctx, pdf_processor *proc, const char *name, pdf_obj *form,
                pdf_obj *pageResources) {
  Extractor *e = tCurrent;
  pdf_obj *res = nullptr;
  fz_var(res);
  fz_try(ctx) { res = pdf_dict_get(ctx, form, PDF_NAME(Resources)); }
  fz_catch(ctx) { res = nullptr; }
  if (res)
    e->storeMetricFonts(res);
  const bool pushed = e->beginList(ContentElementKind::Form, res ? res : pageResources);
  fz_try(ctx) { e->origDoForm(ctx, proc, name, form, pageResources); }
  fz_always(ctx) {
    if (pushed)
      e->endList();
  }
  fz_catch(ctx) { fz_rethrow(ctx); }
}

} // namespace

std::unique_ptr<PageText> extractPageText(PdfDocument &document, int pageIndex,
                                          const RunFontFilter *filter) {
  auto out = std::make_unique<PageText>();
  out->lists.emplace_back();
  out->lists.reserve(64);
  fz_context *ctx = document.engine().ctx();
  pdf_document *doc = document.engine().doc();
  // The page as the page map found it, not as MuPDF's own lookup (which trusts /Count) would.
  const PdfObject pageRef = document.engine().pageReference(pageIndex);
  pdf_obj *pageObj = pageRef.get();
  MetricFontSet &metricFonts = document.engine().metricFonts();
  metricFonts.use(ctx, filter);
  Extractor extractor(ctx, doc, metricFonts, *out, filter);
  fz_device *dev = nullptr;
  pdf_processor *proc = nullptr;
  char message[400] = "";
  int failed = 0;
  fz_var(dev);
  fz_var(proc);
  fz_var(failed);
  fz_try(ctx) {
    pdf_obj *resources = pdf_dict_get_inheritable(ctx, pageObj, PDF_NAME(Resources));
    pdf_obj *contents = pdf_dict_get(ctx, pageObj, PDF_NAME(Contents));
    extractor.setPageResources(resources);
    extractor.storeMetricFonts(resources);
    dev = fz_new_device_of_size(ctx, sizeof(TextDevice));
    reinterpret_cast<TextDevice *>(dev)->extractor = &extractor;
    dev->fill_text = fillText;
    dev->stroke_text = strokeText;
    dev->clip_text = clipText;
    dev->clip_stroke_text = clipStrokeText;
    dev->ignore_text = ignoreText;
    dev->begin_layer = beginLayer;
    dev->end_layer = endLayer;
    dev->fill_path = fillPath;
    dev->stroke_path = strokePath;
    dev->fill_image = fillImage;
    // Identity: the content's own space, which is default user space.
    proc = pdf_new_run_processor(ctx, dev, fz_identity, "View", nullptr, nullptr, nullptr);
    extractor.origTf = proc->op_Tf;
    extractor.origDoForm = proc->op_Do_form;
    proc->op_Tf = hookTf;
    proc->op_Do_form = hookDoForm;
    tCurrent = &extractor;
    pdf_process_contents(ctx, proc, doc, resources, contents, nullptr);
    pdf_close_processor(ctx, proc);
    fz_close_device(ctx, dev);
  }
  fz_always(ctx) {
    tCurrent = nullptr;
    pdf_drop_processor(ctx, proc);
    fz_drop_device(ctx, dev);
  }
  fz_catch(ctx) {
    failed = 1;
    std::snprintf(message, sizeof message, "%s", fz_caught_message(ctx));
  }
  if (failed)
    throw HostError(ErrorCode::PdfDamaged, document.path() + ": cannot read page " +
                                               std::to_string(pageIndex + 1) + ": " + message);
  if (extractor.failed())
    throw HostError(ErrorCode::OutOfMemory,
                    "Out of memory while reading page " + std::to_string(pageIndex + 1) + ".");
  return out;
}

std::vector<const ExtractedRun *> runsInContentOrder(const PageText &page) {
  std::vector<const ExtractedRun *> out;
  // Each entry: a list and the position in it still to visit. An explicit stack: no page can
  // nest deep enough to exhaust it.
  std::vector<std::pair<int, size_t>> pending{{0, 0}};
  while (!pending.empty() && !page.lists.empty()) {
    auto &[list, at] = pending.back();
    const std::vector<int> &items = page.lists[size_t(list)];
    if (at >= items.size()) {
      pending.pop_back();
      continue;
    }
    const ExtractedElement &e = page.elements[size_t(items[at++])];
    for (const ExtractedRun &r : e.runs)
      out.push_back(&r);
    if (e.list >= 0)
      pending.emplace_back(e.list, 0);
  }
  return out;
}

} // namespace sorvane::host
