// Pages as a viewer shows them: the shape with rotation and crop box applied, the map between
// the shown page and user space, and the picture drawn.
#include <gtest/gtest.h>

#include "host/pdf/page_image.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class PageImages : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(3);
    spec.pages[0].texts = {test::textAt("HEADING", 72, 700, 24, "Helvetica-Bold")};
    spec.pages[1].rotate = 90;
    spec.pages[1].texts = {test::textAt("Turned", 72, 700, 24, "Helvetica-Bold")};
    spec.pages[2].cropBox = std::array<double, 4>{100, 200, 400, 600};
    test::writePdf(spec, dir.file("in.pdf"));
    doc = host::PdfDocument::open(dir.file("in.pdf"));
  }
  test::TempDir dir;
  std::unique_ptr<host::PdfDocument> doc;
};

TEST_F(PageImages, FramesMapUserSpaceToTheShownPage) {
  const host::PageFrame upright = host::pageFrame(*doc, 0);
  EXPECT_DOUBLE_EQ(upright.width, 612);
  EXPECT_DOUBLE_EQ(upright.height, 792);
  // User space has y up from the bottom; the shown page y down from the top.
  const auto top = upright.shownPoint(72, 700);
  EXPECT_NEAR(top[0], 72, 1e-6);
  EXPECT_NEAR(top[1], 92, 1e-6);

  const host::PageFrame turned = host::pageFrame(*doc, 1);
  EXPECT_DOUBLE_EQ(turned.width, 792);
  EXPECT_DOUBLE_EQ(turned.height, 612);
  for (const auto &[x, y] : std::vector<std::pair<double, double>>{{72, 700}, {0, 0}, {612, 1}}) {
    const auto shown = turned.shownPoint(x, y);
    EXPECT_GE(shown[0], -1e-6);
    EXPECT_LE(shown[0], 792 + 1e-6);
    const auto back = turned.userPoint(shown[0], shown[1]);
    EXPECT_NEAR(back[0], x, 1e-6);
    EXPECT_NEAR(back[1], y, 1e-6);
  }
  // A rectangle dragged on the shown page covers the user-space rectangle it shows.
  const HostRect r = upright.userRect(72, 92, 172, 122);
  EXPECT_NEAR(r.left, 72, 1e-6);
  EXPECT_NEAR(r.right, 172, 1e-6);
  EXPECT_NEAR(r.bottom, 670, 1e-6);
  EXPECT_NEAR(r.top, 700, 1e-6);

  const host::PageFrame cropped = host::pageFrame(*doc, 2);
  EXPECT_DOUBLE_EQ(cropped.width, 300);
  EXPECT_DOUBLE_EQ(cropped.height, 400);
  const auto corner = cropped.shownPoint(100, 600);
  EXPECT_NEAR(corner[0], 0, 1e-6);
  EXPECT_NEAR(corner[1], 0, 1e-6);
}

TEST_F(PageImages, APageIsDrawnAtTheAskedScale) {
  const host::PageImage image = host::renderPage(*doc, 0, 2.0);
  EXPECT_EQ(image.width, 1224);
  EXPECT_EQ(image.height, 1584);
  ASSERT_GE(image.stride, image.width * 3);
  ASSERT_EQ(image.pixels.size(), size_t(image.stride) * size_t(image.height));
  auto dark = [&](int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        count += image.pixels[size_t(y * image.stride + 3 * x)] < 128;
    return count;
  };
  // The heading's letters stand just above its baseline (y 92 on the shown page); the rest of
  // the page is white.
  EXPECT_GT(dark(144, 140, 500, 184), 200);
  EXPECT_EQ(dark(0, 300, 1224, 1584), 0);
}

TEST_F(PageImages, AHugeScaleIsLoweredAndAMissingPageIsAnError) {
  const host::PageImage image = host::renderPage(*doc, 2, 1000.0);
  EXPECT_LE(double(image.width) * image.height, host::kMaxImagePixels * 1.01);
  EXPECT_NEAR(double(image.width) / image.height, 300.0 / 400.0, 0.01);
  EXPECT_THROW(host::renderPage(*doc, 7, 1.0), HostError);
  EXPECT_THROW(host::pageFrame(*doc, -1), HostError);
}

} // namespace
} // namespace sorvane
