// rostrel-cli run as a user runs it, for the tests: arguments in; stdout,
// stderr, exit code and the file's bytes out; a roster of four players.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "player/csv.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::RosterBuilder;
using test::U16;

struct Outcome {
  int code;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    RosterBuilder builder;
    builder.Add(U16("Tony"), U16("Parker")).Add(U16("Tim"), U16("Duncan")).Add(U16("Tim"), U16("Duncan")).Add(U16("Manu"), U16("Ginobili"));
    for (std::size_t i = 0; i < 4; ++i) builder.Record(i)[455] = static_cast<std::uint8_t>(60 + i);  // Speed
    built_ = builder.Build();
    path_ = dir_.File("Roster.ROS");
    test::WriteFileBytes(path_, built_.bytes);
  }
  Outcome Run(const std::string& arguments, const std::string& environment = "") {
    const std::string out = dir_.File("out.txt"), err = dir_.File("err.txt");
    const std::string command = environment + std::string(ROSTREL_CLI) + " " + arguments + " >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }
  std::string Q(const std::string& path) const { return "'" + path + "'"; }

  test::TempDir dir_;
  test::Built built_;
  std::string path_;
};

}  // namespace
}  // namespace rostrel
