// rostrel-cli run as a user runs it: arguments in; stdout, stderr, exit code
// and the file's bytes out.
#include "player/memory_pages.h"
#include "player/player_cycle.h"
#include "roster/journal.h"
#include "tests/cli_run.h"

namespace rostrel {
namespace {

TEST_F(Cli, ListsAndShowsPlayers) {
  Outcome list = Run("list " + Q(path_) + " --format csv");
  EXPECT_EQ(list.code, 0);
  EXPECT_EQ(list.out, "row,position,first,last\r\n1," + std::to_string(built_.Position(0)) +
                          ",Tony,Parker\r\n2," + std::to_string(built_.Position(1)) + ",Tim,Duncan\r\n3," +
                          std::to_string(built_.Position(2)) + ",Tim,Duncan\r\n4," + std::to_string(built_.Position(3)) +
                          ",Manu,Ginobili\r\n");
  EXPECT_NE(Run("list " + Q(path_) + " --format json").out.find("\"last\": \"Ginobili\""), std::string::npos);

  // Any field as a column, sorted down by it, the players a filter picks.
  const std::string P[] = {"", std::to_string(built_.Position(1)), std::to_string(built_.Position(2)),
                           std::to_string(built_.Position(3))};
  const Outcome picked = Run("list " + Q(path_) + " --format csv --columns Speed,Hand --sort -speed --filter 'Speed>=61 I'");
  EXPECT_EQ(picked.out, "row,position,first,last,Speed,Hand\r\n4," + P[3] + ",Manu,Ginobili,63,Left\r\n3," + P[2] +
                            ",Tim,Duncan,62,Left\r\n2," + P[1] + ",Tim,Duncan,61,Left\r\n") << picked.err;
  EXPECT_NE(Run("list " + Q(path_) + " --columns Speed --filter Speed=60").out.find("Parker               60"),
            std::string::npos);
  for (const char* bad : {"--filter 'Sped>3'", "--columns Sped", "--sort Sped", "--filter 'Speed<fast'"}) {
    const Outcome refused = Run("list " + Q(path_) + " " + bad);
    EXPECT_EQ(refused.code, 2) << bad;
    EXPECT_NE(refused.err.find("Sp"), std::string::npos) << refused.err;
  }
  EXPECT_EQ(Run("list " + Q(path_) + " --filter '\xC5\x81'").code, 2);  // no name holds U+0141
  const std::string one = dir_.File("one.csv");
  ASSERT_EQ(Run("export " + Q(path_) + " --plain --csv " + Q(one) + " --filter 'parker'").code, 0);
  const std::string exported = Slurp(one);
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 2);
  EXPECT_NE(exported.find(",Tony,Parker,"), std::string::npos);

  const Outcome by_name = Run("show " + Q(path_) + " 'manu GINOBILI'");
  EXPECT_EQ(by_name.code, 0);
  EXPECT_NE(by_name.out.find("Speed                63"), std::string::npos) << by_name.out;
  EXPECT_EQ(Run("show " + Q(path_) + " @" + std::to_string(built_.Position(3))).out, by_name.out);
  EXPECT_EQ(Run("show " + Q(path_) + " 4").out, by_name.out);

  const Outcome ambiguous = Run("show " + Q(path_) + " 'Tim Duncan'");
  EXPECT_EQ(ambiguous.code, 1);
  EXPECT_NE(ambiguous.err.find("ambiguous: row 2"), std::string::npos) << ambiguous.err;
  EXPECT_NE(ambiguous.err.find("row 3"), std::string::npos);
  EXPECT_EQ(Run("show " + Q(path_) + " 9").code, 1);
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);
}

TEST_F(Cli, SetWritesWhatTheWindowsSaveWrites) {
  const Outcome dry = Run("set " + Q(path_) + " 1 Speed=75 'year 1=12.5' FirstName=Tom --dry-run");
  EXPECT_EQ(dry.code, 0) << dry.err;
  EXPECT_NE(dry.out.find("would set Speed: \"60\" -> \"75\""), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find(" " + std::to_string(built_.Offset(0, 455))), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);  // a dry run writes nothing

  std::filesystem::remove(path_ + ".bak");
  const std::string vitals = " Position=center 'Height=6-11' Number=00 Hand=Right 'Years Pro=3.25' 'Weight=250 Lbs'";
  const Outcome set = Run("set " + Q(path_) + " 1 Speed=75 'year 1=12.5' FirstName=Tom --backup" + vitals);
  EXPECT_EQ(set.code, 0) << set.err;
  EXPECT_EQ(set.out.find("typed"), std::string::npos) << set.out;  // every value as typed
  EXPECT_EQ(ReadFileBytes(path_ + ".bak"), built_.bytes);

  // The same edit through the pages, as the window's Save makes it.
  const std::string other = dir_.File("Window.ROS");
  test::WriteFileBytes(other, built_.bytes);
  RosterView view;
  ASSERT_EQ(OpenRosterView(view, other), OpenStatus::Ok);
  MemoryPages pages;
  LoadedPlayer player;
  ASSERT_TRUE(LoadPlayer(view, built_.Position(0), pages, player));
  pages.Type(kAttributesTab, 119, "75");
  pages.Type(kVitalsTab, vitals::kFirstSalary, "12.5");
  pages.Type(kVitalsTab, vitals::kFirstName, "Tom");
  pages.SetComboIndex(kVitalsTab, vitals::kPlayingPosition, 5);
  pages.Type(kVitalsTab, vitals::kHeight, "6' 11\"");
  pages.Type(kVitalsTab, vitals::kNumber, "00");
  pages.SetComboIndex(kVitalsTab, vitals::kHand, 1);
  pages.Type(kVitalsTab, vitals::kYearsPro, "3.25");
  pages.Type(kVitalsTab, vitals::kWeight, "250");
  ASSERT_TRUE(SavePlayer(view, pages, player).saved);
  CloseRosterView(view);
  EXPECT_EQ(ReadFileBytes(path_), ReadFileBytes(other));

  // A second backup keeps the first; refused values write nothing.
  const Bytes saved = ReadFileBytes(path_);
  EXPECT_EQ(Run("set " + Q(path_) + " 1 Speed=80 --backup").code, 0);
  EXPECT_EQ(ReadFileBytes(path_ + ".bak"), built_.bytes);
  const Bytes after = ReadFileBytes(path_);
  for (const std::string bad : {"Speed=fast", "FirstName=Tomasz", "Age=30", "Nope=1", "Sharp=Round", "'IFF Enabled=2'"}) {
    const Outcome refused = Run("set " + Q(path_) + " 1 Speed=90 " + bad);
    EXPECT_EQ(refused.code, 1) << bad;
    EXPECT_NE(refused.err.find("rostrel-cli: "), std::string::npos) << bad;
    EXPECT_EQ(ReadFileBytes(path_), after) << bad;
  }
  EXPECT_NE(saved, built_.bytes);
}

// set, its dry run and import say what the file holds afterwards, and where
// that is not what was typed; --strict refuses such values and writes nothing.
TEST_F(Cli, ReportsWhatTheFileHoldsAndStrictRefusesTheRest) {
  const Outcome dry = Run("set " + Q(path_) + " 1 'Year 1=abc' Speed=075 --dry-run");
  EXPECT_EQ(dry.code, 0) << dry.err;
  EXPECT_NE(dry.out.find("would set Year 1: \"" ), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("-> \"0.000\" (typed \"abc\")"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("Speed: \"60\" -> \"75\" (typed \"075\")"), std::string::npos) << dry.out;

  const Outcome strict = Run("set " + Q(path_) + " 1 Speed=300 Stamina=50 'Year 1=abc' 'Height=9-2' --strict");
  EXPECT_EQ(strict.code, 1);
  EXPECT_NE(strict.err.find("Height: \"9-2\" would be stored as \"8' 4\"\""), std::string::npos) << strict.err;
  EXPECT_NE(strict.err.find("Speed: \"300\" would be stored as \"44\""), std::string::npos) << strict.err;
  EXPECT_NE(strict.err.find("Year 1: \"abc\" would be stored as \"0.000\""), std::string::npos) << strict.err;
  EXPECT_EQ(strict.err.find("Stamina"), std::string::npos);  // 50 reads back as typed
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);
  EXPECT_EQ(Run("set " + Q(path_) + " 1 Speed=70 --strict").code, 0);
  EXPECT_EQ(ReadFileBytes(path_)[built_.Offset(0, 455)], 70);

  const Outcome set = Run("set " + Q(path_) + " 1 Speed=300");
  EXPECT_EQ(set.code, 0);
  EXPECT_EQ(set.out, "Speed: \"70\" -> \"44\" (typed \"300\")\n");
  EXPECT_EQ(ReadFileBytes(path_)[built_.Offset(0, 455)], 44);

  // An import applies such a cell and names its place; with --strict, nothing is written.
  const std::string csv = dir_.File("players.csv");
  ASSERT_EQ(Run("export " + Q(path_) + " --csv " + Q(csv)).code, 0);
  std::vector<CsvRow> rows;
  CsvError error;
  ASSERT_TRUE(ParseCsv(Slurp(csv), rows, error));
  std::size_t speed = 0;
  while (rows[0].fields[speed] != "Speed") ++speed;
  rows[2].fields[speed] = "257";
  rows[3].fields[speed] = "90";
  std::string text;
  for (const CsvRow& r : rows) text += CsvLine(r.fields);
  std::ofstream(csv, std::ios::binary) << text;
  const Bytes before = ReadFileBytes(path_);
  const std::string place = "line 3, column " + std::to_string(speed + 1) + ": Speed: \"257\" is stored as \"1\"";
  for (const char* refusing : {"", " --strict", " --accept-stored --strict"}) {
    const Outcome refused = Run("import " + Q(path_) + " --csv " + Q(csv) + refusing);
    EXPECT_EQ(refused.code, 1) << refusing;
    EXPECT_NE(refused.err.find(place), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFileBytes(path_), before);
  }
  const Outcome imported = Run("import " + Q(path_) + " --csv " + Q(csv) + " --accept-stored");
  EXPECT_EQ(imported.code, 0);
  EXPECT_NE(imported.out.find("2 players changed\nstored, not as typed: " + place + "\n"), std::string::npos) << imported.out;
  EXPECT_EQ(ReadFileBytes(path_)[built_.Offset(1, 455)], 1);
  EXPECT_EQ(ReadFileBytes(path_)[built_.Offset(2, 455)], 90);
}

// A write the disk refuses fails with exit 1 and leaves its journal; the next
// command completes it. A journal that does not match the file is reported
// by check and stops every write, and both files stay as they are.
TEST_F(Cli, FailedSyncLeavesAJournalThatTheNextCommandCompletes) {
  const std::string refusing_disk =
      std::string("LD_PRELOAD=") + ROSTREL_FAIL_MSYNC + " ASAN_OPTIONS=verify_asan_link_order=0 ";
  const std::string journal = JournalPathFor(path_);
  const Outcome failed = Run("set " + Q(path_) + " 1 Speed=75", refusing_disk);
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.err.find(path_ + ": the player was not saved: The changes could not be put on the disk"),
            std::string::npos) << failed.err;
  EXPECT_TRUE(std::filesystem::exists(journal));

  const Outcome next = Run("show " + Q(path_) + " 1");
  EXPECT_EQ(next.code, 0);
  EXPECT_NE(next.err.find("an interrupted write was completed from " + journal), std::string::npos) << next.err;
  EXPECT_NE(next.out.find("Speed                75"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(journal));
  const Bytes completed = ReadFileBytes(path_);
  EXPECT_TRUE(test::ChecksumIsValid(completed));

  Journal other;
  other.file_size = completed.size();
  other.ranges.push_back({built_.Offset(0, 455), {1}, {2}});  // the file holds 75 there
  const Bytes other_bytes = EncodeJournal(other);
  test::WriteFileBytes(journal, other_bytes);
  const Outcome check = Run("check " + Q(path_) + " --fix");
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("problem: " + journal + " does not match " + path_), std::string::npos) << check.out;
  const Outcome refused = Run("set " + Q(path_) + " 1 Speed=80");
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("does not match"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path_), completed);
  EXPECT_EQ(ReadFileBytes(journal), other_bytes);
}

TEST_F(Cli, CheckReportsAndFixesOnlyTheChecksum) {
  Outcome sound = Run("check " + Q(path_));
  EXPECT_EQ(sound.code, 0);
  EXPECT_NE(sound.out.find("players: 4 listed"), std::string::npos);
  EXPECT_NE(sound.out.find("sound"), std::string::npos);

  Bytes broken = built_.bytes;
  broken[built_.Offset(1, 460)] ^= 0xFF;  // a byte changed behind the checksum's back
  test::PutU32(broken, built_.table + 500 * 3, 0x40000000u);  // a name outside the file
  test::WriteFileBytes(path_, broken);
  const Outcome bad = Run("check " + Q(path_));
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.out.find("(wrong)"), std::string::npos);
  EXPECT_NE(bad.out.find("problem: 1 name references outside the file"), std::string::npos) << bad.out;

  EXPECT_EQ(Run("check " + Q(path_) + " --fix").code, 1);  // the name is still outside
  const Bytes fixed = ReadFileBytes(path_);
  EXPECT_TRUE(test::ChecksumIsValid(fixed));
  EXPECT_TRUE(std::equal(fixed.begin() + 4, fixed.end(), broken.begin() + 4));
}

TEST(Csv, QuotesWhatNeedsQuotingAndReadsItBack) {
  const CsvRecord fields{"plain", "a,b", "say \"hi\"", "two\r\nlines", ""};
  const std::string line = CsvLine(fields);
  EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\r\n");
  std::vector<CsvRow> rows;
  CsvError error;
  ASSERT_TRUE(ParseCsv(line + "x,y\n", rows, error));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].fields, fields);
  EXPECT_EQ(rows[1].line, 3);  // the quoted line break counts
  EXPECT_EQ(rows[1].fields, (CsvRecord{"x", "y"}));
  EXPECT_FALSE(ParseCsv("a,b\nc,\"open", rows, error));
  EXPECT_EQ(error.line, 2);
  EXPECT_EQ(error.column, 2);
  EXPECT_FALSE(ParseCsv("a,b\"c\n", rows, error));
  EXPECT_EQ(error.column, 2);
}

TEST_F(Cli, ExportImportAndDiff) {
  const std::string csv = dir_.File("players.csv");
  ASSERT_EQ(Run("export " + Q(path_) + " --csv " + Q(csv)).code, 0);
  EXPECT_EQ(Run("import " + Q(path_) + " --csv " + Q(csv)).code, 0);
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);  // an unchanged CSV writes nothing at all

  std::vector<CsvRow> rows;
  CsvError error;
  ASSERT_TRUE(ParseCsv(Slurp(csv), rows, error));
  ASSERT_EQ(rows.size(), 5u);
  std::size_t speed = 0;
  for (std::size_t c = 0; c < rows[0].fields.size(); ++c) {
    if (rows[0].fields[c] == "Speed") speed = c;
  }
  ASSERT_NE(speed, 0u);
  EXPECT_EQ(rows[0].fields[0], std::string(kUtf8Mark) + "Record");  // what Excel writes as "CSV UTF-8"
  EXPECT_EQ(Slurp(csv).find('\n'), Slurp(csv).find("\r\n") + 1);
  auto write = [&] {
    std::string text;
    for (const CsvRow& r : rows) text += CsvLine(r.fields);
    std::ofstream(csv, std::ios::binary) << text;
  };
  rows[4].fields[speed] = "88";
  rows[2].fields[speed] = "fast";  // a bad row stops the import before anything is written
  write();
  const Outcome bad = Run("import " + Q(path_) + " --csv " + Q(csv));
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("line 3, column " + std::to_string(speed + 1)), std::string::npos) << bad.err;
  EXPECT_EQ(ReadFileBytes(path_), built_.bytes);

  rows[2].fields[speed] = "61";  // as stored
  write();
  ASSERT_EQ(Run("import " + Q(path_) + " --csv " + Q(csv)).code, 0);
  const Bytes after = ReadFileBytes(path_);
  for (std::size_t i = 4; i < after.size(); ++i) {
    if (i != built_.Offset(3, 455)) {
      EXPECT_EQ(after[i], built_.bytes[i]) << i;
    }
  }
  EXPECT_EQ(after[built_.Offset(3, 455)], 88);
  EXPECT_TRUE(test::ChecksumIsValid(after));

  const std::string original = dir_.File("Original.ROS");
  test::WriteFileBytes(original, built_.bytes);
  const Outcome diff = Run("diff " + Q(original) + " " + Q(path_));
  EXPECT_EQ(diff.code, 0);
  EXPECT_NE(diff.out.find("Manu Ginobili: Speed: \"63\" -> \"88\""), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("1 players differ"), std::string::npos);

  rows[0].fields.push_back("Shoe Size");  // unknown columns are refused
  for (std::size_t r = 1; r < rows.size(); ++r) rows[r].fields.push_back("12");
  write();
  const Outcome unknown = Run("import " + Q(path_) + " --csv " + Q(csv));
  EXPECT_EQ(unknown.code, 1);
  EXPECT_NE(unknown.err.find("line 1, column " + std::to_string(rows[0].fields.size())), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path_), after);
}

TEST_F(Cli, RefusedFilesAndInputsWriteNothing) {
  const std::string csv = dir_.File("in.csv");
  EXPECT_EQ(Run("import " + Q(path_) + " --csv " + Q(dir_.File("missing.csv"))).code, 1);
  for (const auto& [text, place] : {std::pair<std::string, std::string>{"Name,Speed\r\n", "line 1, column 1"},
                                    {"Record,Speed\r\n999,70\r\n", "line 2, column 1"},
                                    {"Record,Speed\r\n" + std::to_string(built_.Position(0)) + ",70,1\r\n", "line 2"},
                                    {"Record,Speed\r\n\"" + std::to_string(built_.Position(0)), "line 2, column 1"}}) {
    std::ofstream(csv, std::ios::binary) << text;
    const Outcome refused = Run("import " + Q(path_) + " --csv " + Q(csv));
    EXPECT_EQ(refused.code, 1) << text;
    EXPECT_NE(refused.err.find(place), std::string::npos) << refused.err;
  }
  // Whatever stands at FILE.bak is never replaced.
  std::filesystem::create_directory(path_ + ".bak");
  std::filesystem::create_directory(path_ + ".bak/inside");
  EXPECT_EQ(Run("set " + Q(path_) + " 1 Speed=99 --backup").code, 0);
  EXPECT_TRUE(std::filesystem::is_directory(path_ + ".bak/inside"));
  EXPECT_NE(ReadFileBytes(path_), built_.bytes);

  // A file too short for a checksum or a header is not sound.
  const std::string tiny = dir_.File("Tiny.ROS");
  test::WriteFileBytes(tiny, {1, 2, 3});
  const Outcome check = Run("check " + Q(tiny));
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("checksum: none"), std::string::npos);
  EXPECT_EQ(Run("check " + Q(tiny) + " --fix").code, 1);
  EXPECT_EQ(ReadFileBytes(tiny), (Bytes{1, 2, 3}));
}

// Every write keeps an entry beside the roster unless told not to; history
// lists them, undo and redo take them back and apply them again, a dry run
// writes nothing, and nothing to do is an error.
TEST_F(Cli, HistoryUndoAndRedo) {
  const std::string roster = Q(path_);
  ASSERT_EQ(Run("set " + roster + " 1 Speed=75 FirstName=Tom").code, 0);
  const Bytes first = ReadFileBytes(path_);
  ASSERT_EQ(Run("set " + roster + " 4 Speed=70 --no-history").code, 0);
  const Bytes unkept = ReadFileBytes(path_);
  ASSERT_EQ(Run("set " + roster + " 2 Speed=71").code, 0);
  const Outcome listed = Run("history " + roster + " --format csv");
  EXPECT_EQ(listed.code, 0) << listed.err;
  EXPECT_EQ(listed.out.rfind("number,time,what,players,fields,undone\r\n1,20", 0), 0u) << listed.out;
  EXPECT_NE(listed.out.find(" UTC,set,Tom Parker,2,\r\n2,20"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find(" UTC,set,Tim Duncan,1,\r\n"), std::string::npos) << listed.out;
  const Outcome one = Run("history " + roster + " 1");
  EXPECT_NE(one.out.find("@" + std::to_string(built_.Position(0)) + " Tom Parker: FirstName Tony -> Tom\n"),
            std::string::npos)
      << one.out;
  EXPECT_NE(one.out.find(": Speed 60 -> 75\n"), std::string::npos) << one.out;
  EXPECT_NE(Run("history " + roster + " --format json").out.find("\"undone\": false"), std::string::npos);

  const Bytes latest = ReadFileBytes(path_);
  const Outcome dry = Run("undo " + roster + " --to 1 --dry-run");
  EXPECT_EQ(dry.code, 0) << dry.err;
  EXPECT_NE(dry.out.find("would undo 2 to 1: 2 players, 3 fields"), std::string::npos) << dry.out;
  EXPECT_EQ(ReadFileBytes(path_), latest);
  const Outcome undone = Run("undo " + roster);
  EXPECT_EQ(undone.code, 0) << undone.err;
  EXPECT_EQ(ReadFileBytes(path_), unkept);
  EXPECT_NE(Run("history " + roster).out.find(" UTC  set  Tim Duncan  1 field  undone\n3  "), std::string::npos);
  EXPECT_EQ(Run("redo " + roster).code, 0);
  EXPECT_EQ(ReadFileBytes(path_), latest);
  EXPECT_EQ(Run("redo " + roster).code, 1);  // nothing undone
  // The change made without history stays: the undo writes only what its writes wrote.
  EXPECT_EQ(Run("undo " + roster + " --to 1").code, 0);
  Bytes expected = built_.bytes;
  expected[built_.Offset(3, 455)] = 70;
  test::StoreChecksum(expected);
  EXPECT_EQ(ReadFileBytes(path_), expected);
  const Outcome nothing = Run("undo " + roster);
  EXPECT_EQ(nothing.code, 1);
  EXPECT_NE(nothing.err.find("nothing to undo"), std::string::npos) << nothing.err;
  EXPECT_EQ(ReadFileBytes(path_), expected);
  EXPECT_NE(first, expected);

  // A history that cannot be written: the write goes ahead and says so.
  std::filesystem::remove(path_ + ".history");
  std::filesystem::create_directory(path_ + ".history");
  const Outcome unwritable = Run("set " + roster + " 3 Speed=40");
  EXPECT_EQ(unwritable.code, 0);
  EXPECT_NE(unwritable.err.find("has no history entry"), std::string::npos) << unwritable.err;
  EXPECT_EQ(ReadFileBytes(path_)[built_.Offset(2, 455)], 40);
  EXPECT_EQ(Run("undo " + roster).code, 1);
}

TEST_F(Cli, UsageErrorsAndHelp) {
  EXPECT_EQ(Run("").code, 2);
  EXPECT_EQ(Run("list").code, 2);
  EXPECT_EQ(Run("frobnicate " + Q(path_)).code, 2);
  EXPECT_EQ(Run("set " + Q(path_) + " 1 Speed").code, 2);
  for (const char* command : {"list", "show", "set", "check", "export", "import", "diff"}) {
    const Outcome help = Run(std::string(command) + " --help");
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_NE(help.out.find("OPTIONS"), std::string::npos) << command;
  }
  const Outcome wrong = Run("list " + Q(dir_.File("notes.txt")));
  EXPECT_EQ(wrong.code, 1);
  EXPECT_NE(wrong.err.find("notes.txt"), std::string::npos);
  EXPECT_EQ(Run("list " + Q(dir_.File("missing.ROS"))).code, 1);
}

}  // namespace
}  // namespace rostrel
