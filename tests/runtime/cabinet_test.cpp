// Cabinet semantics as a plug-in sees them through the host's table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/base/atom_table.h"
#include "host/runtime/object_store.h"
#include "sdk/host_error.h"
#include "sdk/owned_cabinet.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

using CabinetBasics = test::HostTest;
using CabinetOwnership = test::HostTest;
using CabinetCopyAndMerge = test::HostTest;

ErrorCode errorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const HostError &e) {
    return e.code();
  }
  return ErrorCode::None;
}

TEST_F(CabinetBasics, EveryTypeReadsBackAsPut) {
  const Atom atom = host::AtomTable::instance().intern("Type1");
  int marker = 0;
  cab().cabinetPutBool(root, "B", true);
  cab().cabinetPutInt(root, "I", -42);
  cab().cabinetPutDouble(root, "D", 0.1);
  cab().cabinetPutAtom(root, "A", atom);
  cab().cabinetPutPointer(root, "P", &marker);
  cab().cabinetPutText(root, "T",
                       cab().textFromEncoded("Stra\xC3\x9F"
                                             "e",
                                             HostEncoding::Utf8));
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutInt(child, "X", 7);
  cab().cabinetPutCabinet(root, "C", child);

  EXPECT_TRUE(cab().cabinetGetBool(root, "B", false));
  EXPECT_EQ(cab().cabinetGetInt(root, "I", 0), -42);
  EXPECT_EQ(cab().cabinetGetDouble(root, "D", 0), 0.1);
  EXPECT_EQ(cab().cabinetGetAtom(root, "A", Atom::Null), atom);
  EXPECT_EQ(cab().cabinetGetPointer(root, "P"), &marker);
  EXPECT_EQ(cab().textGetEncoded(cab().cabinetGetText(root, "T"), HostEncoding::Utf8),
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(cab().cabinetGetInt(cab().cabinetGetCabinet(root, "C"), "X", 0), 7);

  EXPECT_EQ(cab().cabinetGetType(root, "B"), CabinetValueType::Bool);
  EXPECT_EQ(cab().cabinetGetType(root, "I"), CabinetValueType::Int);
  EXPECT_EQ(cab().cabinetGetType(root, "D"), CabinetValueType::Double);
  EXPECT_EQ(cab().cabinetGetType(root, "A"), CabinetValueType::Atom);
  EXPECT_EQ(cab().cabinetGetType(root, "P"), CabinetValueType::Pointer);
  EXPECT_EQ(cab().cabinetGetType(root, "T"), CabinetValueType::Text);
  EXPECT_EQ(cab().cabinetGetType(root, "C"), CabinetValueType::Cabinet);
  EXPECT_EQ(cab().cabinetGetType(root, "missing"), CabinetValueType::None);
}

TEST_F(CabinetBasics, MissingKeysAndOtherTypesGiveTheDefault) {
  cab().cabinetPutBool(root, "Flag", true);
  cab().cabinetPutDouble(root, "Size", 12.5);
  EXPECT_EQ(cab().cabinetGetInt(root, "Nothing", 17), 17);
  EXPECT_EQ(cab().cabinetGetInt(root, "Flag", 17), 17);
  EXPECT_EQ(cab().cabinetGetInt(root, "Size", 17), 17); // a double is not an integer
  EXPECT_FALSE(cab().cabinetGetBool(root, "Size", false));
  EXPECT_EQ(cab().cabinetGetAtom(root, "Flag", Atom::Null), Atom::Null);
  EXPECT_FALSE(cab().cabinetGetText(root, "Flag"));
  EXPECT_FALSE(cab().cabinetGetCabinet(root, "Flag"));
  EXPECT_EQ(cab().cabinetGetPointer(root, "Flag"), nullptr);
}

TEST_F(CabinetBasics, AnIntegerIsReadWhereADoubleIsAsked) {
  cab().cabinetPutInt(root, "Zoom", 2);
  EXPECT_EQ(cab().cabinetGetDouble(root, "Zoom", 0.0), 2.0);
}

TEST_F(CabinetBasics, PutReplacesInPlaceAndKeepsKeyOrder) {
  cab().cabinetPutInt(root, "Zeta", 1);
  cab().cabinetPutInt(root, "Alpha", 2);
  cab().cabinetPutInt(root, "Mid", 3);
  cab().cabinetPutBool(root, "Zeta", false); // another type under the same key
  EXPECT_EQ(cab().cabinetKeys(root), (std::vector<std::string>{"Zeta", "Alpha", "Mid"}));
  EXPECT_EQ(cab().cabinetNumKeys(root), 3);
  EXPECT_EQ(cab().cabinetGetType(root, "Zeta"), CabinetValueType::Bool);
  cab().cabinetRemove(root, "Alpha");
  cab().cabinetRemove(root, "NotThere");
  EXPECT_EQ(cab().cabinetKeys(root), (std::vector<std::string>{"Zeta", "Mid"}));
}

TEST_F(CabinetBasics, RefusesKeysTheStreamFormCannotHold) {
  for (std::string key : {std::string(), std::string("atom"), std::string("Gr\xC3\xBC\xC3\x9F"),
                          std::string("tab\tkey"), std::string(256, 'k')}) {
    EXPECT_EQ(errorOf([&] { cab().cabinetPutInt(root, key, 1); }), ErrorCode::BadParameter) << key;
  }
  EXPECT_EQ(cab().cabinetNumKeys(root), 0);
  cab().cabinetPutInt(root, std::string(255, 'k'), 1);
  cab().cabinetPutInt(root, "Atom", 1); // only the lower-case word is reserved
  EXPECT_EQ(cab().cabinetNumKeys(root), 2);
}

TEST_F(CabinetBasics, MakeEmptyRemovesEverything) {
  cab().cabinetPutInt(root, "A", 1);
  cab().cabinetPutCabinet(root, "C", cab().cabinetNew());
  cab().cabinetMakeEmpty(root);
  EXPECT_EQ(cab().cabinetNumKeys(root), 0);
}

TEST_F(CabinetBasics, RefusesAtomsTheHostNeverGave) {
  EXPECT_EQ(errorOf([&] { cab().cabinetPutAtom(root, "A", Atom::Null); }), ErrorCode::BadParameter);
}

TEST_F(CabinetOwnership, APutCabinetBelongsToItsParent) {
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutCabinet(root, "Child", child);
  // The handle still reaches the Cabinet inside the parent...
  cab().cabinetPutInt(child, "Late", 5);
  EXPECT_EQ(cab().cabinetGetInt(cab().cabinetGetCabinet(root, "Child"), "Late", 0), 5);
  EXPECT_EQ(cab().cabinetGetCabinet(root, "Child"), child);
  // ...but the caller may no longer destroy it or put it elsewhere.
  EXPECT_EQ(errorOf([&] { cab().cabinetDestroy(child); }), ErrorCode::NotOwner);
  CabinetHandle other = cab().cabinetNew();
  EXPECT_EQ(errorOf([&] { cab().cabinetPutCabinet(other, "Again", child); }), ErrorCode::NotOwner);
  EXPECT_EQ(cab().cabinetNumKeys(other), 0);
  cab().cabinetDestroy(other);
}

TEST_F(CabinetOwnership, DestroyingTheParentEndsTheHandlesOfWhatItHeld) {
  CabinetHandle parent = cab().cabinetNew();
  CabinetHandle child = cab().cabinetNew();
  CabinetHandle grandchild = cab().cabinetNew();
  TextHandle text = cab().textFromEncoded("x", HostEncoding::Utf8);
  cab().cabinetPutText(grandchild, "T", text);
  cab().cabinetPutCabinet(child, "G", grandchild);
  cab().cabinetPutCabinet(parent, "C", child);
  cab().cabinetDestroy(parent);
  EXPECT_EQ(errorOf([&] { cab().cabinetNumKeys(child); }), ErrorCode::InvalidHandle);
  EXPECT_EQ(errorOf([&] { cab().cabinetNumKeys(grandchild); }), ErrorCode::InvalidHandle);
  EXPECT_EQ(errorOf([&] { cab().textGetEncoded(text, HostEncoding::Utf8); }),
            ErrorCode::InvalidHandle);
  EXPECT_EQ(errorOf([&] { cab().cabinetDestroy(parent); }), ErrorCode::InvalidHandle);
}

TEST_F(CabinetOwnership, ReplacingOrRemovingAValueEndsItsHandle) {
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutCabinet(root, "K", child);
  cab().cabinetPutInt(root, "K", 1);
  EXPECT_EQ(errorOf([&] { cab().cabinetNumKeys(child); }), ErrorCode::InvalidHandle);

  TextHandle text = cab().textNew();
  cab().cabinetPutText(root, "T", text);
  cab().cabinetRemove(root, "T");
  EXPECT_EQ(errorOf([&] { cab().textGetUnicode(text); }), ErrorCode::InvalidHandle);
}

TEST_F(CabinetOwnership, ACabinetCannotHoldItselfOrItsAncestor) {
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutCabinet(root, "Child", child);
  EXPECT_EQ(errorOf([&] { cab().cabinetPutCabinet(root, "Self", root); }), ErrorCode::BadParameter);
  EXPECT_NE(errorOf([&] { cab().cabinetPutCabinet(child, "Up", root); }), ErrorCode::None);
  EXPECT_EQ(cab().cabinetNumKeys(root), 1);
  EXPECT_EQ(cab().cabinetNumKeys(child), 0);
}

TEST_F(CabinetOwnership, ATextObjectBelongsToTheCabinetItWasPutInto) {
  TextHandle text = cab().textFromEncoded("Contents", HostEncoding::Utf8);
  cab().cabinetPutText(root, "T", text);
  EXPECT_EQ(errorOf([&] { cab().textDestroy(text); }), ErrorCode::NotOwner);
  EXPECT_EQ(errorOf([&] { cab().cabinetPutText(root, "U", text); }), ErrorCode::NotOwner);
  EXPECT_EQ(cab().cabinetGetText(root, "T"), text);
}

TEST_F(CabinetOwnership, ABadKeyLeavesTheObjectWithTheCaller) {
  TextHandle text = cab().textNew();
  EXPECT_EQ(errorOf([&] { cab().cabinetPutText(root, "", text); }), ErrorCode::BadParameter);
  cab().textDestroy(text); // still the caller's
  CabinetHandle child = cab().cabinetNew();
  EXPECT_EQ(errorOf([&] { cab().cabinetPutCabinet(root, "atom", child); }),
            ErrorCode::BadParameter);
  cab().cabinetDestroy(child);
}

TEST_F(CabinetCopyAndMerge, DupIsDeep) {
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutInt(child, "X", 1);
  cab().cabinetPutCabinet(root, "C", child);
  cab().cabinetPutText(root, "T", cab().textFromEncoded("a", HostEncoding::Utf8));
  CabinetHandle copy = cab().cabinetDup(root);
  cab().cabinetPutInt(child, "X", 2);
  cab().textSetEncoded(cab().cabinetGetText(root, "T"), "b", HostEncoding::Utf8);
  EXPECT_EQ(cab().cabinetGetInt(cab().cabinetGetCabinet(copy, "C"), "X", 0), 1);
  EXPECT_EQ(cab().textGetEncoded(cab().cabinetGetText(copy, "T"), HostEncoding::Utf8), "a");
  cab().cabinetDestroy(copy);
}

TEST_F(CabinetCopyAndMerge, ReplaceAllEmptiesTheTargetFirst) {
  cab().cabinetPutInt(root, "Old", 1);
  cab().cabinetPutInt(root, "Shared", 1);
  CabinetHandle src = cab().cabinetNew();
  cab().cabinetPutInt(src, "Shared", 2);
  cab().cabinetPutInt(src, "New", 3);
  cab().cabinetMerge(root, src, CabinetMergeMode::ReplaceAll);
  EXPECT_EQ(cab().cabinetKeys(root), (std::vector<std::string>{"Shared", "New"}));
  EXPECT_EQ(cab().cabinetGetInt(root, "Shared", 0), 2);
  EXPECT_EQ(cab().cabinetNumKeys(src), 2); // the source is untouched
  cab().cabinetDestroy(src);
}

TEST_F(CabinetCopyAndMerge, AddMissingKeepsWhatTheTargetHas) {
  cab().cabinetPutInt(root, "Shared", 1);
  CabinetHandle src = cab().cabinetNew();
  cab().cabinetPutInt(src, "Shared", 2);
  CabinetHandle nested = cab().cabinetNew();
  cab().cabinetPutBool(nested, "Deep", true);
  cab().cabinetPutCabinet(src, "Nested", nested);
  cab().cabinetMerge(root, src, CabinetMergeMode::AddMissing);
  EXPECT_EQ(cab().cabinetGetInt(root, "Shared", 0), 1);
  CabinetHandle added = cab().cabinetGetCabinet(root, "Nested");
  ASSERT_TRUE(added);
  EXPECT_NE(added, nested); // a copy, not the source's own Cabinet
  cab().cabinetDestroy(src);
  EXPECT_TRUE(cab().cabinetGetBool(added, "Deep", false));
}

TEST_F(CabinetCopyAndMerge, MergingACabinetThatLivesInsideTheTargetIsSafe) {
  CabinetHandle inner = cab().cabinetNew();
  cab().cabinetPutInt(inner, "X", 9);
  cab().cabinetPutCabinet(root, "Inner", inner);
  cab().cabinetPutInt(root, "Other", 1);
  cab().cabinetMerge(root, inner, CabinetMergeMode::ReplaceAll);
  EXPECT_EQ(cab().cabinetKeys(root), (std::vector<std::string>{"X"}));
  EXPECT_EQ(cab().cabinetGetInt(root, "X", 0), 9);
  cab().cabinetMerge(root, root, CabinetMergeMode::ReplaceAll);
  EXPECT_EQ(cab().cabinetGetInt(root, "X", 0), 9);
}

TEST_F(CabinetCopyAndMerge, OtherModesAreRefused) {
  CabinetHandle src = cab().cabinetNew();
  cab().cabinetPutInt(src, "X", 1);
  EXPECT_EQ(errorOf([&] { cab().cabinetMerge(root, src, static_cast<CabinetMergeMode>(5)); }),
            ErrorCode::BadParameter);
  EXPECT_EQ(cab().cabinetNumKeys(root), 0);
  cab().cabinetDestroy(src);
}

TEST(TextObjects, ConvertBetweenTheCodePageAndUnicode) {
  test::TestHost host;
  ASExtraTable &x = host.asExtra();
  TextHandle t = x.textNew();
  x.textSetUnicode(t, u"Gr\u00FC\u00DFe \U0001F4D6");
  EXPECT_EQ(x.textGetEncoded(t, HostEncoding::Utf8), "Gr\xC3\xBC\xC3\x9F"
                                                     "e \xF0\x9F\x93\x96");
  x.textSetEncoded(t, "bad \xFF byte", HostEncoding::Utf8);
  EXPECT_EQ(x.textGetUnicode(t), u"bad \uFFFD byte");
  x.textDestroy(t);
}

TEST_F(CabinetOwnership, AnOwnedCabinetGoesWithItsOwnerUnlessReleasedOrMoved) {
  ASExtraTable &x = cab();
  const auto live = [] { return host::ObjectStore::instance().ownedObjects(); };
  const size_t before = live();
  {
    const OwnedCabinet scoped(x, x.cabinetNew());
    EXPECT_EQ(live(), before + 1);
  }
  EXPECT_EQ(live(), before) << "destroyed at the end of its scope";
  try {
    const OwnedCabinet thrown(x, x.cabinetNew());
    throw HostError(ErrorCode::Generic, "on the way out");
  } catch (const HostError &) {
  }
  EXPECT_EQ(live(), before) << "destroyed when an error leaves its scope";

  OwnedCabinet first(x, x.cabinetNew());
  OwnedCabinet second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_TRUE(second);
  EXPECT_EQ(live(), before + 1) << "moved, not copied";
  second = OwnedCabinet(x, x.cabinetNew()); // the one it held goes
  EXPECT_EQ(live(), before + 1);

  // Put into another Cabinet and released, it is that Cabinet's.
  OwnedCabinet child(x, x.cabinetNew());
  x.cabinetPutCabinet(root, "child", child.release());
  EXPECT_TRUE(x.cabinetGetCabinet(root, "child"));
  // Put in without releasing: the owner's destroy is refused and nothing breaks.
  {
    OwnedCabinet putButKept(x, x.cabinetNew());
    x.cabinetPutCabinet(root, "kept", putButKept.get());
  }
  EXPECT_TRUE(x.cabinetGetCabinet(root, "kept"));
  second.reset();
  EXPECT_FALSE(second);
}

} // namespace
} // namespace sorvane
