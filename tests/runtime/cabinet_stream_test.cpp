// The stream form: what round-trips, what the file looks like, and what is refused.
#include "host/runtime/cabinet_stream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

AtomTable &atoms() { return AtomTable::instance(); }

std::unique_ptr<CabinetNode> roundTrip(const CabinetNode &cabinet) {
  return readCabinetStream(writeCabinetStream(cabinet, atoms()), atoms());
}

template <class T> const T &valueOf(const CabinetNode &c, std::string_view key) {
  const CabinetValue *v = c.find(key);
  EXPECT_NE(v, nullptr) << key;
  EXPECT_TRUE(v && std::holds_alternative<T>(*v)) << key;
  return std::get<T>(*v);
}

// The reason a read is refused, or "" when it is accepted.
std::string refusal(std::string_view text) {
  try {
    readCabinetStream(text, atoms());
  } catch (const HostError &e) {
    EXPECT_TRUE(e.code() == ErrorCode::FileFormat || e.code() == ErrorCode::FileTooLarge);
    return e.text();
  }
  return "";
}

std::string wrap(const std::string &cabinetJson) {
  return R"({"format": "sorvane-cabinet", "version": 1, "cabinet": )" + cabinetJson + "}";
}

TEST(CabinetStreamRoundTrip, DoublesComeBackBitForBit) {
  const double values[] = {0.1,
                           -0.0,
                           12.0,
                           1e300,
                           -1.5,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::max(),
                           1.0 / 3.0,
                           65535.99998474121};
  CabinetNode c;
  for (size_t i = 0; i < std::size(values); ++i)
    c.put("D" + std::to_string(i), CabinetValue(std::in_place_type<double>, values[i]));
  auto back = roundTrip(c);
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(std::bit_cast<uint64_t>(valueOf<double>(*back, "D" + std::to_string(i))),
              std::bit_cast<uint64_t>(values[i]))
        << values[i];
}

TEST(CabinetStreamRoundTrip, IntegersStayIntegersAndDoublesStayDoubles) {
  CabinetNode c;
  c.put("Min", CabinetValue(std::in_place_type<int32_t>, std::numeric_limits<int32_t>::min()));
  c.put("Max", CabinetValue(std::in_place_type<int32_t>, std::numeric_limits<int32_t>::max()));
  c.put("Twelve", CabinetValue(std::in_place_type<double>, 12.0));
  const std::string text = writeCabinetStream(c, atoms());
  EXPECT_NE(text.find("\"Twelve\": 12.0"), std::string::npos) << text;
  auto back = roundTrip(c);
  EXPECT_EQ(valueOf<int32_t>(*back, "Min"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(valueOf<int32_t>(*back, "Max"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(valueOf<double>(*back, "Twelve"), 12.0);
}

TEST(CabinetStreamRoundTrip, AtomsTextAndBooleans) {
  CabinetNode c;
  c.put("Font", atoms().intern("ABCDEF+Minion-Bold"));
  c.put("Empty", atoms().intern(""));
  c.put("Title", std::make_unique<TextObject>("\xC2\xAB"
                                              "Quote\" \\ \n\t\x01\xC2\xBB \xE2\x82\xAC"));
  c.put("Yes", CabinetValue(std::in_place_type<bool>, true));
  c.put("No", CabinetValue(std::in_place_type<bool>, false));
  const std::string text = writeCabinetStream(c, atoms());
  EXPECT_NE(text.find(R"("Font": {)"), std::string::npos) << text;
  EXPECT_NE(text.find(R"("atom": "ABCDEF+Minion-Bold")"), std::string::npos) << text;
  auto back = roundTrip(c);
  EXPECT_EQ(atoms().name(valueOf<Atom>(*back, "Font")), "ABCDEF+Minion-Bold");
  EXPECT_EQ(atoms().name(valueOf<Atom>(*back, "Empty")), "");
  EXPECT_EQ(valueOf<std::unique_ptr<TextObject>>(*back, "Title")->utf8(),
            "\xC2\xAB"
            "Quote\" \\ \n\t\x01\xC2\xBB \xE2\x82\xAC");
  EXPECT_TRUE(valueOf<bool>(*back, "Yes"));
  EXPECT_FALSE(valueOf<bool>(*back, "No"));
}

TEST(CabinetStreamRoundTrip, NestedCabinetsKeepTheirKeyOrder) {
  CabinetNode c;
  auto level = std::make_unique<CabinetNode>();
  for (const char *key : {"Zoom", "Alpha", "Mid", "0", "10", "9"})
    level->put(key, CabinetValue(std::in_place_type<int32_t>, 1));
  c.put("Level0", std::move(level));
  c.put("After", CabinetValue(std::in_place_type<bool>, true));
  auto back = roundTrip(c);
  EXPECT_EQ(back->entries()[0].key, "Level0");
  EXPECT_EQ(back->entries()[1].key, "After");
  const auto &nested = valueOf<std::unique_ptr<CabinetNode>>(*back, "Level0");
  std::vector<std::string> keys;
  for (const auto &e : nested->entries())
    keys.push_back(e.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"Zoom", "Alpha", "Mid", "0", "10", "9"}));
}

TEST(CabinetStreamRoundTrip, PointersAreNotWritten) {
  int marker = 0;
  CabinetNode c;
  c.put("Ptr", CabinetValue(std::in_place_type<void *>, &marker));
  c.put("Kept", CabinetValue(std::in_place_type<int32_t>, 1));
  auto back = roundTrip(c);
  EXPECT_EQ(back->find("Ptr"), nullptr);
  EXPECT_NE(back->find("Kept"), nullptr);
}

TEST(CabinetStreamRoundTrip, SixtyFourLevelsOfNestingAreFine) {
  auto top = std::make_unique<CabinetNode>();
  CabinetNode *inner = top.get();
  for (size_t i = 1; i < kMaxCabinetDepth; ++i) {
    auto next = std::make_unique<CabinetNode>();
    CabinetNode *raw = next.get();
    inner->put("N", std::move(next));
    inner = raw;
  }
  inner->put("Leaf", CabinetValue(std::in_place_type<int32_t>, 64));
  EXPECT_EQ(roundTrip(*top)->depth(), kMaxCabinetDepth);
  // One more level cannot be stored.
  inner->put("N", std::make_unique<CabinetNode>());
  EXPECT_THROW(writeCabinetStream(*top, atoms()), HostError);
}

TEST(CabinetStreamWrite, RefusesNumbersThatAreNotFinite) {
  CabinetNode c;
  auto level = std::make_unique<CabinetNode>();
  level->put("Zoom", CabinetValue(std::in_place_type<double>, std::nan("")));
  c.put("Level0", std::move(level));
  try {
    writeCabinetStream(c, atoms());
    FAIL();
  } catch (const HostError &e) {
    EXPECT_EQ(e.code(), ErrorCode::BadParameter);
    EXPECT_NE(e.text().find("Level0.Zoom"), std::string::npos) << e.text();
  }
}

TEST(CabinetStreamRead, AcceptsTheDocumentedExample) {
  const char *example = R"({ "format": "sorvane-cabinet", "version": 1,
    "cabinet": { "BuildSettings": { "IgnoreStopWords": false, "FirstPage": 0,
                                    "StopWords": { "NumItems": 1, "0": "Contents" },
                                    "Level0": { "InitialZoom": 0.0,
                                                "TextStyle": { "FontDesc": { "Type": { "atom": "Type1" } } } } } } })";
  auto c = readCabinetStream(example, atoms());
  const auto &settings = valueOf<std::unique_ptr<CabinetNode>>(*c, "BuildSettings");
  EXPECT_FALSE(valueOf<bool>(*settings, "IgnoreStopWords"));
  EXPECT_EQ(valueOf<int32_t>(*settings, "FirstPage"), 0);
  const auto &words = valueOf<std::unique_ptr<CabinetNode>>(*settings, "StopWords");
  EXPECT_EQ(valueOf<std::unique_ptr<TextObject>>(*words, "0")->utf8(), "Contents");
  const auto &level = valueOf<std::unique_ptr<CabinetNode>>(*settings, "Level0");
  EXPECT_EQ(valueOf<double>(*level, "InitialZoom"), 0.0);
}

TEST(CabinetStreamRead, ExponentsAndFractionsMakeDoubles) {
  auto c = readCabinetStream(wrap(R"({"A": 1e3, "B": 2.50, "C": -0})"), atoms());
  EXPECT_EQ(valueOf<double>(*c, "A"), 1000.0);
  EXPECT_EQ(valueOf<double>(*c, "B"), 2.5);
  EXPECT_EQ(valueOf<int32_t>(*c, "C"), 0);
}

TEST(CabinetStreamRead, RefusesWhatIsNotACabinetFile) {
  EXPECT_NE(refusal("Chapter 1\nChapter 2\n").find("not valid JSON"), std::string::npos);
  EXPECT_NE(refusal("").find("not valid JSON"), std::string::npos);
  EXPECT_NE(refusal("[1, 2]").find("sorvane-cabinet"), std::string::npos);
  // A file that is one value and no object (found by fuzzing: a large number read past the end
  // of the reader's stack).
  for (const char *lone : {"8333333333333", "-7", "1e400", "2.5", "\"text\"", "true", "null"})
    EXPECT_NE(refusal(lone).find("not a Sorvane Cabinet file"), std::string::npos) << lone;
  EXPECT_NE(refusal(R"({"format": "other", "version": 1, "cabinet": {}})").find("sorvane-cabinet"),
            std::string::npos);
  EXPECT_NE(refusal(R"({"format": "sorvane-cabinet", "cabinet": {}})").find("version"),
            std::string::npos);
  EXPECT_NE(
      refusal(R"({"format": "sorvane-cabinet", "version": 2, "cabinet": {}})").find("version 2"),
      std::string::npos);
  EXPECT_NE(refusal(R"({"format": "sorvane-cabinet", "version": 1})").find("\"cabinet\""),
            std::string::npos);
  EXPECT_NE(
      refusal(R"({"format": "sorvane-cabinet", "version": 1, "cabinet": [] })").find("\"cabinet\""),
      std::string::npos);
  EXPECT_NE(refusal(R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {}, "x": 1})")
                .find("\"x\""),
            std::string::npos);
}

TEST(CabinetStreamRead, RefusesATruncatedFile) {
  CabinetNode c;
  c.put("Title", std::make_unique<TextObject>("Introduction"));
  const std::string text = writeCabinetStream(c, atoms());
  for (size_t cut : {text.size() - 2, text.size() / 2, size_t(10)})
    EXPECT_NE(refusal(text.substr(0, cut)), "") << cut;
}

TEST(CabinetStreamRead, RefusesValuesNoCabinetHolds) {
  EXPECT_NE(refusal(wrap(R"({"A": null})")).find("\"A\": null"), std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"A": {"B": [1]}})")).find("\"A.B\""), std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"Big": 2147483648})")).find("32-bit"), std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"Small": -2147483649})")).find("32-bit"), std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"F": {"atom": 3}})")).find("atom"), std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"F": {"atom": "Type1", "More": 1}})")).find("atom"),
            std::string::npos);
  EXPECT_NE(refusal(wrap(R"({"": 1})")).find("key"), std::string::npos);
  // Numbers past the range of doubles are refused with the key they stand under.
  for (const char *huge : {"1e400", "-1e400"})
    EXPECT_NE(
        refusal(wrap(std::string(R"({"Level0": {"Zoom": )") + huge + "}}")).find("\"Level0.Zoom\""),
        std::string::npos)
        << huge;
  EXPECT_NE(refusal(wrap(R"({"A": 1, "A": 2})")).find("twice"), std::string::npos);
  EXPECT_NE(refusal(wrap("{\"A\": \"\xFF\"}")), ""); // text that is not UTF-8
}

TEST(CabinetStreamRead, RefusesNestingDeeperThanSixtyFour) {
  auto nested = [](size_t depth) {
    std::string s;
    for (size_t i = 0; i < depth; ++i)
      s += "{\"N\": ";
    s += "{}";
    for (size_t i = 0; i < depth; ++i)
      s += "}";
    return wrap(s);
  };
  EXPECT_EQ(refusal(nested(kMaxCabinetDepth - 1)), ""); // 64 Cabinets in all
  EXPECT_NE(refusal(nested(kMaxCabinetDepth)).find("nested deeper"), std::string::npos);
  // Far deeper input is stopped while parsing, before it can cost anything.
  EXPECT_NE(refusal(nested(100000)).find("nested deeper"), std::string::npos);
}

TEST(CabinetStreamRead, RefusesMoreThanSixteenMebibytes) {
  std::string big = wrap(R"({"Pad": ")" + std::string(kMaxCabinetStreamBytes, 'x') + "\"}");
  try {
    readCabinetStream(big, atoms());
    FAIL();
  } catch (const HostError &e) {
    EXPECT_EQ(e.code(), ErrorCode::FileTooLarge);
  }
}

TEST(CabinetStreamRead, ManyKeysKeepTheirOrderAndEachIsFound) {
  // A Cabinet with a hundred thousand keys reads in time in proportion to its size, in order.
  std::string text = "{";
  for (int i = 0; i < 100000; ++i)
    text += (i ? ", \"K" : "\"K") + std::to_string(99999 - i) + "\": " + std::to_string(i);
  text += "}";
  auto back = readCabinetStream(wrap(text), atoms());
  ASSERT_EQ(back->size(), 100000u);
  EXPECT_EQ(back->entries().front().key, "K99999");
  EXPECT_EQ(back->entries().back().key, "K0");
  EXPECT_EQ(valueOf<int32_t>(*back, "K12345"), 99999 - 12345);
  back->remove("K5");
  EXPECT_EQ(back->find("K5"), nullptr);
  EXPECT_EQ(valueOf<int32_t>(*back, "K4"), 99995);
  EXPECT_EQ(refusal(wrap(text.substr(0, text.size() - 1) + ", \"K7\": 1}")).find("twice") !=
                std::string::npos,
            true);
}

} // namespace
} // namespace sorvane::host
