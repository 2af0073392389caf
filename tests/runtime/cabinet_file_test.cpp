// Cabinet files through the host's path, file and stream services, as the plug-in uses them.
#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

#include "host/runtime/acro_support.h"
#include "host/runtime/object_store.h"
#include "sdk/host_error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

class CabinetFile : public test::HostTest {
protected:
  AcroSupportTable &files() { return host.provider().acroSupport(); }

  // Writes `c` to `path` as a plug-in does; the error code of the first step that failed.
  ErrorCode save(CabinetHandle c, const std::string &path) {
    PathHandle p = files().pathFromPlatformPath(path);
    FileHandle f;
    ErrorCode rc = files().fileOpen(p, FileMode::Write | FileMode::Create, &f);
    if (rc == ErrorCode::None) {
      StreamHandle s = files().streamOpenOnFile(f, StreamMode::Write);
      try {
        cab().cabinetWriteToStream(c, s);
      } catch (const HostError &e) {
        rc = e.code();
      }
      files().streamClose(s);
      const ErrorCode closed = files().fileClose(f);
      if (rc == ErrorCode::None)
        rc = closed;
    }
    files().pathRelease(p);
    return rc;
  }

  // Reads a Cabinet from `path`; null with `error` set when that fails.
  CabinetHandle load(const std::string &path, std::string *error = nullptr) {
    PathHandle p = files().pathFromPlatformPath(path);
    FileHandle f;
    CabinetHandle result;
    const ErrorCode rc = files().fileOpen(p, FileMode::Read, &f);
    if (rc != ErrorCode::None) {
      if (error)
        *error = errorCodeText(rc);
    } else {
      StreamHandle s = files().streamOpenOnFile(f, StreamMode::Read);
      try {
        result = cab().cabinetReadFromStream(s);
      } catch (const HostError &e) {
        if (error)
          *error = e.text();
      }
      files().streamClose(s);
      files().fileClose(f);
    }
    files().pathRelease(p);
    return result;
  }

  test::TempDir dir;
};

TEST_F(CabinetFile, SavesAndLoadsEveryStoredType) {
  cab().cabinetPutBool(root, "B", true);
  cab().cabinetPutInt(root, "I", -7);
  cab().cabinetPutDouble(root, "D", 0.1);
  cab().cabinetPutAtom(root, "A", host.provider().core().atomFromString("Helvetica"));
  cab().cabinetPutText(root, "T",
                       cab().textFromEncoded("\xC3\x9C"
                                             "bersicht",
                                             HostEncoding::Utf8));
  CabinetHandle child = cab().cabinetNew();
  cab().cabinetPutInt(child, "X", 1);
  cab().cabinetPutCabinet(root, "C", child);
  const std::string path = dir.file("settings.svb");
  ASSERT_EQ(save(root, path), ErrorCode::None);

  CabinetHandle back = load(path);
  ASSERT_TRUE(back);
  EXPECT_TRUE(cab().cabinetGetBool(back, "B", false));
  EXPECT_EQ(cab().cabinetGetInt(back, "I", 0), -7);
  EXPECT_EQ(cab().cabinetGetDouble(back, "D", 0), 0.1);
  EXPECT_EQ(host.provider().core().atomGetString(cab().cabinetGetAtom(back, "A", Atom::Null)),
            "Helvetica");
  EXPECT_EQ(cab().textGetEncoded(cab().cabinetGetText(back, "T"), HostEncoding::Utf8), "\xC3\x9C"
                                                                                       "bersicht");
  EXPECT_EQ(cab().cabinetGetInt(cab().cabinetGetCabinet(back, "C"), "X", 0), 1);
  EXPECT_EQ(cab().cabinetKeys(back), (std::vector<std::string>{"B", "I", "D", "A", "T", "C"}));
  cab().cabinetDestroy(back);
  EXPECT_EQ(host.provider().acroSupport().openObjects(), 0u);
}

TEST_F(CabinetFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const std::string path = dir.file("settings.svb");
  cab().cabinetPutInt(root, "Version", 1);
  ASSERT_EQ(save(root, path), ErrorCode::None);
  const std::string before = test::readFile(path);

  cab().cabinetPutDouble(root, "Zoom", std::nan(""));
  EXPECT_EQ(save(root, path), ErrorCode::BadParameter);
  EXPECT_EQ(test::readFile(path), before);
  size_t files = 0;
  for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(CabinetFile, KeepsTheTargetsPermissions) {
  const std::string path = dir.file("shared.svb");
  test::writeFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(save(root, path), ErrorCode::None);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(CabinetFile, OpenReportsMissingFilesAndUnwritableFolders) {
  std::string error;
  EXPECT_FALSE(load(dir.file("missing.svb"), &error));
  EXPECT_EQ(error, errorCodeText(ErrorCode::FileNotFound));
  EXPECT_EQ(save(root, dir.file("no/such/folder.svb")), ErrorCode::FileNotFound);
  EXPECT_EQ(save(root, dir.path().string()), ErrorCode::FileAccess); // a folder

  if (::geteuid() != 0) { // root writes anywhere
    const auto locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0500);
    EXPECT_EQ(save(root, (locked / "x.svb").string()), ErrorCode::FileAccess);
  }
  EXPECT_EQ(host.provider().acroSupport().openObjects(), 0u);
}

TEST_F(CabinetFile, LoadingATextFileCreatesNothingAndSaysWhy) {
  const std::string path = dir.file("notes.svb");
  test::writeFile(path, "These are my notes.\n");
  const size_t before = host::ObjectStore::instance().ownedObjects();
  std::string error;
  EXPECT_FALSE(load(path, &error));
  EXPECT_EQ(host::ObjectStore::instance().ownedObjects(), before);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("not valid JSON"), std::string::npos) << error;
}

TEST_F(CabinetFile, StreamsOnlyGoTheWayTheFileWasOpened) {
  const std::string path = dir.file("x.svb");
  ASSERT_EQ(save(root, path), ErrorCode::None);
  PathHandle p = files().pathFromPlatformPath(path);
  FileHandle f;
  ASSERT_EQ(files().fileOpen(p, FileMode::Read, &f), ErrorCode::None);
  EXPECT_FALSE(files().streamOpenOnFile(f, StreamMode::Write));
  files().fileClose(f);
  files().pathRelease(p);
  EXPECT_THROW(files().pathFromPlatformPath(""), HostError);
}

} // namespace
} // namespace sorvane
