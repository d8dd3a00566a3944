#include <gtest/gtest.h>

#include <filesystem>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "roster/roster_file.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(PathRules, ExtensionDecidesHeaderOffset) {
  EXPECT_EQ(HeaderOffsetFor("C:\\x\\Roster.ROS"), 0u);
  EXPECT_EQ(HeaderOffsetFor("C:\\x\\roster.ros"), 0u);
  EXPECT_EQ(HeaderOffsetFor("C:\\x\\Save.FxG"), 65088u);
  EXPECT_FALSE(HeaderOffsetFor("C:\\x\\Roster.rosx"));
  EXPECT_FALSE(HeaderOffsetFor("C:\\x.ros\\Roster"));
  EXPECT_FALSE(HeaderOffsetFor("C:\\x\\Roster"));
  EXPECT_FALSE(HeaderOffsetFor(""));
  EXPECT_EQ(ExtensionOf("C:\\x\\Roster"), "c:\\x\\roster");  // no ".": the whole path
}

TEST(PathRules, FileNameIsTextAfterLastBackslash) {
  EXPECT_EQ(FileNameOf("C:\\x\\Roster.ROS"), "Roster.ROS");
  EXPECT_EQ(FileNameOf("Roster.ROS"), "Roster.ROS");
  EXPECT_EQ(FileNameOf("C:\\x\\"), "");
  const std::string long_path = "C:\\" + std::string(241, 'd') + "\\Roster.ROS";
  ASSERT_EQ(long_path.size(), 255u);
  EXPECT_EQ(FileNameOf(long_path), "Roster.ROS");
}

TEST(PathRules, NormalizePath) {
  EXPECT_EQ(NormalizePath("  \"C:/x/Roster.ROS\"  "), "C:\\x\\Roster.ROS");
  EXPECT_EQ(NormalizePath("C:\\x\\folder\\"), "C:\\x\\folder");
  EXPECT_EQ(NormalizePath("\\\\server\\share\\a.ros"), "server\\share\\a.ros");
  EXPECT_EQ(NormalizePath(" \" \t"), "");
  EXPECT_EQ(TrimTypedPath("\t\" a b \"  "), "a b");
}

TEST(FileSize, FromDirectoryEntry) {
  TempDir dir;
  const std::string path = dir.File("sized.ros");
  WriteFileBytes(path, Bytes(1234, 7));
  EXPECT_EQ(GetFileSizeByName(path), 1234u);
  EXPECT_EQ(GetFileSizeByName("  \"" + path + "\" "), 1234u);
  EXPECT_FALSE(GetFileSizeByName(dir.path().string()));  // a folder
  EXPECT_FALSE(GetFileSizeByName(dir.File("missing.ros")));
  EXPECT_FALSE(GetFileSizeByName("   "));
}

TEST(RosterViewTest, MapsWholeFileWritableAndReleasesOnce) {
  TempDir dir;
  const std::string path = dir.File("a.ros");
  WriteFileBytes(path, Bytes{1, 2, 3, 4, 5, 6});
  {
    RosterView view;
    EXPECT_FALSE(IsOpen(view));
    ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
    EXPECT_TRUE(IsOpen(view));
    EXPECT_EQ(view.size, 6u);
    EXPECT_EQ(view.base[5], 6);
    EXPECT_EQ(OpenViewCount(), 1);

    // Reading the same file again releases the first view before mapping anew.
    ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
    EXPECT_EQ(OpenViewCount(), 1);
    view.base[0] = 0x41;
    EXPECT_TRUE(FlushRosterView(view));

    CloseRosterView(view);
    EXPECT_FALSE(IsOpen(view));
    EXPECT_EQ(view.size, 0u);
    EXPECT_EQ(OpenViewCount(), 0);
    CloseRosterView(view);  // a second close releases nothing
    EXPECT_EQ(OpenViewCount(), 0);
    EXPECT_FALSE(FlushRosterView(view));

    ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
  }  // the destructor releases an open view
  EXPECT_EQ(OpenViewCount(), 0);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{0x41, 2, 3, 4, 5, 6}));
}

TEST(RosterViewTest, RefusedFilesLeaveNoViewAndNoChange) {
  TempDir dir;
  RosterView view;
  EXPECT_EQ(OpenRosterView(view, dir.File("missing.ros")), OpenStatus::NotFound);
  EXPECT_EQ(OpenRosterView(view, dir.path().string()), OpenStatus::NotFound);
  const std::string empty = dir.File("empty.ros");
  WriteFileBytes(empty, {});
  EXPECT_EQ(OpenRosterView(view, empty), OpenStatus::Empty);
  EXPECT_FALSE(IsOpen(view));
  EXPECT_EQ(OpenViewCount(), 0);
  EXPECT_TRUE(ReadFileBytes(empty).empty());
  EXPECT_STRNE(OpenStatusText(OpenStatus::NotWritable), "");
}

TEST(RosterViewTest, FailedOpenReleasesThePreviousFile) {
  TempDir dir;
  const std::string good = dir.File("good.ros");
  WriteFileBytes(good, Bytes(8, 1));
  RosterView view;
  ASSERT_EQ(OpenRosterView(view, good), OpenStatus::Ok);
  EXPECT_EQ(OpenRosterView(view, dir.File("missing.ros")), OpenStatus::NotFound);
  EXPECT_FALSE(IsOpen(view));
  EXPECT_EQ(OpenViewCount(), 0);
}

TEST(RosterViewTest, ReadOnlyFileIsNotWritable) {
  TempDir dir;
  const std::string path = dir.File("readonly.ros");
  const Bytes bytes{1, 2, 3, 4, 5, 6, 7, 8};
  WriteFileBytes(path, bytes);
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  RosterView view;
  EXPECT_EQ(OpenRosterView(view, path), OpenStatus::NotWritable);
  EXPECT_FALSE(IsOpen(view));
  EXPECT_EQ(OpenViewCount(), 0);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

#ifdef _WIN32
TEST(RosterViewTest, FileLockedWithoutWriteSharingIsNotWritable) {
  TempDir dir;
  const std::string path = dir.File("locked.ros");
  WriteFileBytes(path, Bytes(16, 3));
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  RosterView view;
  EXPECT_EQ(OpenRosterView(view, path), OpenStatus::NotWritable);
  EXPECT_FALSE(IsOpen(view));
  CloseHandle(other);
  EXPECT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
}
#endif

}  // namespace
}  // namespace rostrel
