// rostrel-cli.exe under Wine: the Windows build lists, sets and checks a
// roster as the native one does.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/program_path.h"

#include <fstream>
#include <sstream>

#include "tests/roster_builder.h"

namespace rostrel {
namespace {

std::string Program() { return test::BuiltProgram("rostrel-cli.exe"); }

// Runs the program with arguments; its exit code, and its output in out.
int RunCli(const std::string& arguments, std::string& out, const test::TempDir& dir) {
  const std::string file = dir.File("out.txt");
  // cmd.exe drops the outer pair of quotes of a command that starts with one.
  const std::string command = "\"\"" + Program() + "\" " + arguments + " >\"" + file + "\" 2>&1\"";
  const int code = std::system(command.c_str());
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  out = text.str();
  return code;
}

TEST(CliProgram, ListsSetsAndChecksUnderWindows) {
  test::TempDir dir;
  test::RosterBuilder builder;
  builder.Add(test::U16("Tony"), test::U16("Parker")).Add(test::U16("Tim"), test::U16("Duncan"));
  builder.Record(1)[455] = 61;
  const test::Built built = builder.Build();
  const std::string roster = dir.File("Roster.ROS");
  test::WriteFileBytes(roster, built.bytes);
  std::string out;
  ASSERT_EQ(RunCli("list \"" + roster + "\" --format csv", out, dir), 0) << out;
  EXPECT_NE(out.find("2," + std::to_string(built.Position(1)) + ",Tim,Duncan"), std::string::npos) << out;
  ASSERT_EQ(RunCli("set \"" + roster + "\" \"tim duncan\" Speed=77", out, dir), 0) << out;
  const test::Bytes after = test::ReadFileBytes(roster);
  EXPECT_EQ(after[built.Offset(1, 455)], 77);
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_EQ(RunCli("check \"" + roster + "\"", out, dir), 0) << out;
  EXPECT_EQ(RunCli("set \"" + roster + "\" 1 Speed=fast", out, dir), 1) << out;
  EXPECT_EQ(RunCli("list", out, dir), 2) << out;
}

}  // namespace
}  // namespace rostrel
