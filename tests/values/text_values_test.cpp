#include "plugin/values/text_values.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

using TextValue = test::HostTest;
using StringListInCabinet = test::HostTest;

TEST_F(TextValue, RoundTripsUtf8) {
  writeTextValue("\xC2\xA7 1 \xE2\x80\x93 Einf\xC3\xBChrung", "PrefixText", root);
  EXPECT_EQ(cab().cabinetGetType(root, "PrefixText"), CabinetValueType::Text);
  EXPECT_EQ(readTextValue("PrefixText", root), "\xC2\xA7 1 \xE2\x80\x93 Einf\xC3\xBChrung");
}

TEST_F(TextValue, AbsentOrMistypedGivesTheDefault) {
  EXPECT_EQ(readTextValue("Pattern", root), "");
  EXPECT_EQ(readTextValue("Pattern", root, "fallback"), "fallback");
  EXPECT_FALSE(findTextValue("Pattern", root));
  cab().cabinetPutInt(root, "Pattern", 4);
  EXPECT_FALSE(findTextValue("Pattern", root));
  writeTextValue("", "Empty", root);
  ASSERT_TRUE(findTextValue("Empty", root));
  EXPECT_EQ(*findTextValue("Empty", root), "");
}

TEST_F(StringListInCabinet, RoundTripsInOrder) {
  const StringList words = {"Contents", "Index",
                            "Gr\xC3\xBC\xC3\x9F"
                            "e",
                            ""};
  ASSERT_TRUE(writeStringList(words, "StopWords", root));
  CabinetHandle items = cab().cabinetGetCabinet(root, "StopWords");
  EXPECT_EQ(cab().cabinetKeys(items), (std::vector<std::string>{"NumItems", "0", "1", "2", "3"}));
  StringList back = {"stale"};
  EXPECT_TRUE(readStringList(back, "StopWords", root));
  EXPECT_EQ(back, words);
}

TEST_F(StringListInCabinet, AnEmptyListWritesZeroItems) {
  ASSERT_TRUE(writeStringList({}, "StopWords", root));
  EXPECT_EQ(cab().cabinetGetInt(cab().cabinetGetCabinet(root, "StopWords"), "NumItems", -1), 0);
  StringList back = {"stale"};
  EXPECT_TRUE(readStringList(back, "StopWords", root));
  EXPECT_TRUE(back.empty());
}

TEST_F(StringListInCabinet, MissingItemsAreSkipped) {
  CabinetHandle items = cab().cabinetNew();
  cab().cabinetPutInt(items, "NumItems", 3);
  writeTextValue("two", "2", items);
  writeTextValue("zero", "0", items);
  cab().cabinetPutCabinet(root, "L", items);
  StringList back;
  EXPECT_TRUE(readStringList(back, "L", root));
  EXPECT_EQ(back, (StringList{"zero", "two"}));
}

TEST_F(StringListInCabinet, ItemsBeyondTheCountOrUnderOtherKeysAreIgnored) {
  CabinetHandle items = cab().cabinetNew();
  cab().cabinetPutInt(items, "NumItems", 2);
  writeTextValue("a", "0", items);
  writeTextValue("b", "1", items);
  writeTextValue("beyond", "2", items);
  writeTextValue("padded", "01", items);
  writeTextValue("signed", "-1", items);
  cab().cabinetPutInt(items, "1x", 5);
  cab().cabinetPutCabinet(root, "L", items);
  StringList back;
  readStringList(back, "L", root);
  EXPECT_EQ(back, (StringList{"a", "b"}));
}

TEST_F(StringListInCabinet, AHugeCountCostsOnlyTheItemsPresent) {
  CabinetHandle items = cab().cabinetNew();
  cab().cabinetPutInt(items, "NumItems", 2147483647);
  writeTextValue("last", "2147483646", items);
  writeTextValue("first", "0", items);
  cab().cabinetPutCabinet(root, "L", items);
  StringList back;
  readStringList(back, "L", root);
  EXPECT_EQ(back, (StringList{"first", "last"}));
}

TEST_F(StringListInCabinet, AbsentListReadsEmptyAndFalse) {
  StringList back = {"stale"};
  EXPECT_FALSE(readStringList(back, "StopWords", root));
  EXPECT_TRUE(back.empty());
  cab().cabinetPutCabinet(root, "NoCount", cab().cabinetNew());
  writeTextValue("x", "0", cab().cabinetGetCabinet(root, "NoCount"));
  EXPECT_TRUE(readStringList(back, "NoCount", root));
  EXPECT_TRUE(back.empty()); // NumItems defaults to 0
}

TEST(StringListWithoutCabinets, FailsWithoutTouchingAnything) {
  test::TestHost host;
  CabinetHandle parent = host.asExtra().cabinetNew();
  hostTables().asExtra = {};
  EXPECT_FALSE(writeStringList({"a"}, "L", parent));
  hostTables().asExtra = {&host.asExtra(), 0x50000};
  EXPECT_EQ(host.asExtra().cabinetNumKeys(parent), 0);
  host.asExtra().cabinetDestroy(parent);
}

} // namespace
} // namespace sorvane
