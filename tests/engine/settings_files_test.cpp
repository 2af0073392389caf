#include "plugin/engine/settings_files.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "host/runtime/view_services.h"
#include "sdk/imported_tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

class SettingsFiles : public test::HostTest {
protected:
  BookmarkBuilder sample() {
    BookmarkBuilder b;
    b.levels.resize(3);
    b.levels[0].textStyleRule.fontDesc.fontSize = 18;
    b.levels[2].textMatchRule.query.pattern = "^Note";
    b.stopWords = {"Contents", "Index"};
    b.ignoreStopWords = true;
    b.skipDupBookmarks = false;
    return b;
  }
  test::TempDir dir;
};

TEST_F(SettingsFiles, SaveThenLoadGivesEqualSettings) {
  const std::string path = dir.file("manual.svb");
  ASSERT_TRUE(saveSettingsFile(sample(), path));
  BookmarkBuilder back;
  ASSERT_EQ(loadSettingsFile(back, path), LoadResult::Loaded);
  EXPECT_EQ(back.levels, sample().levels);
  EXPECT_EQ(back.stopWords, sample().stopWords);
  EXPECT_TRUE(back.ignoreStopWords);
  EXPECT_FALSE(back.skipDupBookmarks);
  EXPECT_NE(test::readFile(path).find("\"format\": \"sorvane-cabinet\""), std::string::npos);
}

TEST_F(SettingsFiles, ATextFileIsUnreadableAndChangesNothing) {
  test::writeFile(dir.file("notes.svb"), "My notes about headings\n");
  BookmarkBuilder b = sample();
  EXPECT_EQ(loadSettingsFile(b, dir.file("notes.svb")), LoadResult::UnreadableFile);
  EXPECT_EQ(b.levels.size(), 3u);
  EXPECT_EQ(loadSettingsFile(b, dir.file("missing.svb")), LoadResult::UnreadableFile);
}

TEST_F(SettingsFiles, ACabinetFileWithoutBuildSettingsResetsThem) {
  const std::string defaults = dir.file("sorvane.cfs");
  saveDefaults(defaults, kSortingKey, [](CabinetHandle c) {
    CabinetHandle sorting = hostTables().asExtra->cabinetNew();
    hostTables().asExtra->cabinetPutInt(sorting, "Level", 1);
    hostTables().asExtra->cabinetPutCabinet(c, kSortingKey, sorting);
  });
  BookmarkBuilder b = sample();
  EXPECT_EQ(loadSettingsFile(b, defaults), LoadResult::NoUsableEntry);
  EXPECT_TRUE(b.levels.empty());
  EXPECT_TRUE(b.skipDupBookmarks);
}

TEST_F(SettingsFiles, SavingIntoAFolderThatCannotTakeItFails) {
  EXPECT_FALSE(saveSettingsFile(sample(), dir.file("no/such/folder/x.svb")));
  EXPECT_FALSE(saveSettingsFile(sample(), dir.path().string()));
}

TEST_F(SettingsFiles, EachDialogKeepsItsOwnEntryInTheDefaultsFile) {
  const std::string defaults = dir.file("sorvane.cfs");
  const BookmarkBuilder settings = sample();
  saveDefaults(defaults, kDefaultsKey,
               [&](CabinetHandle c) { settings.writeNamed(kDefaultsKey, c); });
  saveDefaults(defaults, kSortingKey, [](CabinetHandle c) {
    hostTables().asExtra->cabinetPutCabinet(c, kSortingKey, hostTables().asExtra->cabinetNew());
  });
  BookmarkBuilder back;
  bool sawSorting = false;
  loadDefaults(defaults, [&](CabinetHandle c) {
    back.readNamed(kDefaultsKey, c);
    sawSorting = hostTables().asExtra->cabinetKnown(c, kSortingKey);
  });
  EXPECT_EQ(back.levels.size(), 3u);
  EXPECT_TRUE(sawSorting);
  bool called = false;
  loadDefaults(dir.file("missing.cfs"), [&](CabinetHandle) { called = true; });
  EXPECT_FALSE(called);
}

// The dialogs' choices live in the user's profile folder; a file kept beside the plug-in by an
// earlier version moves there, and without a profile folder the old place stays in use.
TEST_F(SettingsFiles, RememberedChoicesLiveInTheProfileFolder) {
  const std::string former = dir.file("plug_ins/sorvane.cfs");
  std::filesystem::create_directories(dir.file("plug_ins"));
  std::filesystem::create_directories(dir.file("profile"));
  const BookmarkBuilder settings = sample();
  ASSERT_TRUE(saveDefaults(former, kDefaultsKey,
                           [&](CabinetHandle c) { settings.writeNamed(kDefaultsKey, c); }));
  EXPECT_EQ(defaultsLocation("", "sorvane.cfs", former), former);
  const std::string path = defaultsLocation(dir.file("profile"), "sorvane.cfs", former);
  EXPECT_EQ(path, dir.file("profile") + "/sorvane.cfs");
  BookmarkBuilder back;
  loadDefaults(path, [&](CabinetHandle c) { back.readNamed(kDefaultsKey, c); });
  EXPECT_EQ(back.levels.size(), 3u); // what was remembered is still there
  // The profile's own file wins over the former one from then on.
  ASSERT_TRUE(saveDefaults(
      path, kDefaultsKey, [&](CabinetHandle c) { BookmarkBuilder().writeNamed(kDefaultsKey, c); }));
  EXPECT_EQ(defaultsLocation(dir.file("profile"), "sorvane.cfs", former), path);
  loadDefaults(path, [&](CabinetHandle c) { back.readNamed(kDefaultsKey, c); });
  EXPECT_TRUE(back.levels.empty());
}

TEST_F(SettingsFiles, ChoicesThatCannotBeRememberedAreToldOnce) {
  std::vector<std::string> notes;
  host.tellNotesTo([&](std::string_view n) { notes.emplace_back(n); });
  const auto write = [](CabinetHandle c) { BookmarkBuilder().writeNamed(kDefaultsKey, c); };
  EXPECT_FALSE(saveDefaults(dir.file("no/such/folder/sorvane.cfs"), kDefaultsKey, write));
  rememberDefaults(dir.file("no/such/folder/sorvane.cfs"), kDefaultsKey, write);
  rememberDefaults(dir.file("no/such/folder/sorvane.cfs"), kSortingKey, write);
  host.tellNotesTo(nullptr);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("cannot remember the choices"), std::string::npos) << notes[0];
}

} // namespace
} // namespace sorvane
