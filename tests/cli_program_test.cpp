// rostrel-cli.exe under Wine: the Windows build lists, sets and checks a
// roster as the native one does.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/program_path.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "roster/wide_text.h"

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

// Under a folder and a name of Cyrillic and CJK characters, given as wide text
// on the command line, with a player named in accented letters; the output,
// going to a file, is in the code page.
TEST(CliProgram, WideCharacterPathsAndAccentedNames) {
  test::TempDir dir;
  const std::filesystem::path folder = dir.path() / L"\u0421\u0435\u0439\u0432\u044b \u540d\u7c3f";
  const std::filesystem::path roster = folder / L"\u0420\u043e\u0441\u0442\u0435\u0440.ROS";
  std::filesystem::create_directory(folder);
  test::RosterBuilder builder;
  builder.Add(u"Jos\u00e9", u"Calder\u00f3n").Add(test::U16("Tim"), test::U16("Duncan"));
  const test::Built built = builder.Build();
  std::ofstream(roster, std::ios::binary).write(reinterpret_cast<const char*>(built.bytes.data()),
                                                 static_cast<std::streamsize>(built.bytes.size()));
  const std::wstring out = (dir.path() / L"out.txt").wstring();
  auto run = [&](const std::wstring& arguments, std::string& text) {
    const std::wstring command = L"\"\"" + WideFromUtf8(Program()) + L"\" " + arguments + L" >\"" + out + L"\" 2>&1\"";
    const int code = _wsystem(command.c_str());
    std::ifstream in(std::filesystem::path(out), std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
    return code;
  };
  const std::wstring file = L"\"" + roster.wstring() + L"\"";
  std::string text;
  ASSERT_EQ(run(L"list " + file, text), 0) << text;
  EXPECT_NE(text.find(CodePageFromWide(L"Jos\u00e9")), std::string::npos) << text;
  ASSERT_EQ(run(L"set " + file + L" \"jos\u00e9 calder\u00f3n\" Speed=77", text), 0) << text;
  std::ifstream in(roster, std::ios::binary);
  const test::Bytes after((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(after.size(), built.bytes.size());
  EXPECT_EQ(after[built.Offset(0, 455)], 77);
  EXPECT_TRUE(test::ChecksumIsValid(after));
  EXPECT_FALSE(std::filesystem::exists(roster.wstring() + L".journal"));
}

}  // namespace
}  // namespace rostrel
