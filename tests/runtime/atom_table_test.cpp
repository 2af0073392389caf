#include "host/base/atom_table.h"

#include <gtest/gtest.h>

#include "sdk/host_error.h"
#include "tests/support/test_host.h"

namespace sorvane::host {
namespace {

TEST(AtomTable, EqualNamesGiveEqualAtoms) {
  AtomTable table;
  const Atom a = table.intern("Helvetica-Bold");
  EXPECT_EQ(table.intern(std::string("Helvetica-") + "Bold"), a);
  EXPECT_NE(table.intern("Helvetica"), a);
  EXPECT_EQ(table.name(a), "Helvetica-Bold");
}

TEST(AtomTable, NamesAreCaseSensitiveAndMayHoldAnyBytes) {
  AtomTable table;
  EXPECT_NE(table.intern("Type1"), table.intern("type1"));
  const Atom empty = table.intern("");
  EXPECT_EQ(table.name(empty), "");
  const Atom utf8 = table.intern("ABCDEF+Schriftf\xC3\xA4hig");
  EXPECT_EQ(table.name(utf8), "ABCDEF+Schriftf\xC3\xA4hig");
}

TEST(AtomTable, FindDoesNotIntern) {
  AtomTable table;
  Atom found = Atom::Null;
  EXPECT_FALSE(table.find("GoTo", &found));
  EXPECT_EQ(found, Atom::Null);
  EXPECT_EQ(table.size(), 0u);
  const Atom a = table.intern("GoTo");
  EXPECT_TRUE(table.find("GoTo", &found));
  EXPECT_EQ(found, a);
}

TEST(AtomTable, NamesStayValidWhileTheTableGrows) {
  AtomTable table;
  const std::string_view first = table.name(table.intern("First"));
  for (int i = 0; i < 5000; ++i)
    table.intern("name" + std::to_string(i));
  EXPECT_EQ(first, "First");
}

TEST(AtomTable, UnknownAtomsAreRefused) {
  AtomTable table;
  EXPECT_THROW(table.name(Atom::Null), HostError);
  EXPECT_THROW(table.name(static_cast<Atom>(3)), HostError);
}

TEST(AtomTable, AFullTableRefusesNewNamesButKeepsGivingOldOnes) {
  AtomTable table(2);
  const Atom a = table.intern("a");
  table.intern("b");
  try {
    table.intern("c");
    FAIL();
  } catch (const HostError &e) {
    EXPECT_EQ(e.code(), ErrorCode::LimitReached);
  }
  EXPECT_EQ(table.intern("a"), a);
}

TEST(AtomTable, HoldsEverySixteenBitAtomButNull) {
  AtomTable table;
  for (size_t i = 0; i < AtomTable::kMaxAtoms; ++i)
    table.intern(std::to_string(i));
  EXPECT_EQ(table.size(), 0xFFFFu);
  EXPECT_EQ(table.name(static_cast<Atom>(0xFFFE)), "65534");
  EXPECT_THROW(table.intern("one more"), HostError);
}

TEST(CoreTableAtoms, ComeFromTheProcessTable) {
  test::TestHost host;
  CoreTable &core = host.provider().core();
  const Atom a = core.atomFromString("TAVO:Sorvane");
  EXPECT_EQ(a, AtomTable::instance().intern("TAVO:Sorvane"));
  EXPECT_EQ(core.atomGetString(a), "TAVO:Sorvane");
  Atom b = Atom::Null;
  EXPECT_TRUE(core.atomExistsForString("TAVO:Sorvane", &b));
  EXPECT_EQ(a, b);
}

} // namespace
} // namespace sorvane::host
