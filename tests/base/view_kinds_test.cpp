// The viewer's kinds decode the host API's names and numbers, and nothing else.
#include <gtest/gtest.h>

#include "host/base/view_kinds.h"

namespace sorvane::host {
namespace {

TEST(ViewKinds, FitTypesRoundTripTheirNamesAndSayHowManyNumbersFollow) {
  for (FitType fit : {FitType::XYZ, FitType::Fit, FitType::FitH, FitType::FitV, FitType::FitR,
                      FitType::FitB, FitType::FitBH, FitType::FitBV})
    EXPECT_EQ(fitTypeNamed(nameOf(fit)), fit) << nameOf(fit);
  EXPECT_EQ(fitTypeNamed("fith"), std::nullopt); // names are case-sensitive
  EXPECT_EQ(fitTypeNamed("/FitH"), std::nullopt);
  EXPECT_EQ(fitTypeNamed(""), std::nullopt);
  EXPECT_EQ(numbersAfter(FitType::XYZ), 3);
  EXPECT_EQ(numbersAfter(FitType::FitR), 4);
  EXPECT_EQ(numbersAfter(FitType::FitBV), 1);
  EXPECT_EQ(numbersAfter(FitType::FitB), 0);
}

TEST(ViewKinds, ActionKindsPageModesAndSelections) {
  EXPECT_EQ(actionKindNamed(""), ActionKind::None);
  EXPECT_EQ(actionKindNamed("GoTo"), ActionKind::GoTo);
  EXPECT_EQ(actionKindNamed("GoToR"), ActionKind::GoToR);
  EXPECT_EQ(actionKindNamed("URI"), ActionKind::URI);
  EXPECT_EQ(actionKindNamed("SubmitForm"), ActionKind::Other);
  EXPECT_EQ(actionKindNamed("goto"), ActionKind::Other);
  EXPECT_EQ(pageModeOf(1), PageMode::None);
  EXPECT_EQ(pageModeOf(3), PageMode::Bookmarks);
  EXPECT_EQ(pageModeOf(0), PageMode::Unknown);
  EXPECT_EQ(pageModeOf(5), PageMode::Unknown);
  EXPECT_EQ(pageModeOf(-1), PageMode::Unknown);
  EXPECT_EQ(nameOf(SelectionType::Text), "Text");
  EXPECT_EQ(nameOf(SelectionType::None), "");
}

} // namespace
} // namespace sorvane::host
