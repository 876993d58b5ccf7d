// The electrical dialogue, report storage and the electrical report, through the built program.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

// ---- Storage ------------------------------------------------------------------------------

TEST(ElectricalReport, WorkedExampleStoredIsIdenticalOnConsoleAndInTheFile) {
  Session s(answers({"3000", "900", "1", "0.1", "1", "5", "50", "1", "worked.txt", "3"}));
  EXPECT_EQ(s.r.status, 0);
  EXPECT_EQ(s.r.err, "");
  const std::string report = workedExampleReport() + storedLine(name20("worked.txt"));
  // On the console the block follows the open question; the report's first line end closes the
  // filename prompt.
  EXPECT_EQ(s.out, banner() + introduction() + P_F0 + P_BW + percent("  30.00") + RESPONSE + RIPPLE + METHOD + P_N +
                       P_Z0 + STORE_Q + FILENAME_BLOCK + P_FILENAME + report + FIRST_MENU);
  EXPECT_EQ(s.file("worked.txt"), report);
}

TEST(ElectricalReport, StorageAnswers) {
  // 1, 1.0, 1.4 and 0.5 round to 1 and mean yes; everything else means no.
  for (const char* yes : {"1", "1.0", "1.4", "0.5", " 1,2"}) {
    Session s(answers({"", "", "", "", "", "", "", yes, "", "3"}));
    EXPECT_EQ(s.file("ELECTRICAL.TXT"), workedExampleReport() + storedLine(name20("ELECTRICAL.TXT"))) << yes;
  }
  for (const char* no : {"0", "2", "1.5", "-1", "", "nan"}) {
    Session s(answers({"", "", "", "", "", "", "", no, "3"}));
    EXPECT_EQ(s.r.status, 0) << no;
    EXPECT_FALSE(fs::exists(s.f.dir / "ELECTRICAL.TXT")) << no;
    EXPECT_FALSE(s.has("Output Data stored")) << no;
  }
}

TEST(ElectricalReport, NamesLongerThanTwentyAndLeadingBlanks) {
  Session s(answers({"", "", "", "", "", "", "", "1", "abcdefghijklmnopqrstuvwxyz.txt", "2", "", "", "", "", "",
                     "", "", "1", "  lead.txt", "3"}));
  EXPECT_TRUE(fs::exists(s.f.dir / "abcdefghijklmnopqrst"));
  EXPECT_TRUE(fs::exists(s.f.dir / "  lead.txt"));
  EXPECT_TRUE(s.has(storedLine("abcdefghijklmnopqrst")));
  EXPECT_TRUE(s.has(storedLine(name20("  lead.txt"))));
}

TEST(ElectricalReport, ALongerExistingFileIsReplaced) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  writeFile(f.dir / "old.txt", std::string(20000, 'x') + "\n");
  run(f, answers({"", "", "", "", "", "", "", "1", "old.txt", "3"}));
  EXPECT_EQ(maskStamp(readFile(f.dir / "old.txt")), workedExampleReport() + storedLine(name20("old.txt")));
}

TEST(ElectricalReport, TwoDesignsInTwoFilesAndTheSameNameAgain) {
  // Design 1 (N 3) into a.txt, design 2 (N 4) into b.txt, design 3 (N 2) into a.txt again: a.txt
  // is replaced and holds exactly the third report; b.txt keeps the second.
  Session s(answers({"", "", "", "", "", "3", "", "1", "a.txt", "2",   //
                     "", "", "", "", "", "4", "", "1", "b.txt", "2",   //
                     "", "", "", "", "", "2", "", "1", "a.txt", "3"}));
  EXPECT_EQ(s.r.status, 0);
  const std::string a = s.file("a.txt");
  const std::string b = s.file("b.txt");
  EXPECT_NE(a.find("# of Poles  =  2"), std::string::npos);
  EXPECT_EQ(a.find("# of Poles  =  3"), std::string::npos);
  EXPECT_NE(b.find("# of Poles  =  4"), std::string::npos);
  const std::string end = storedLine(name20("a.txt"));
  EXPECT_EQ(a.substr(a.size() - end.size()), end);
  EXPECT_EQ(a.find(end), a.size() - end.size()) << "exactly one report";
  EXPECT_EQ(a.find("\r\n"), 0u);
}

TEST(ElectricalReport, TheDefaultsFileIsNeverReplaced) {
  const std::string refusal = lines({blanks(11) + "Quendrix.DEF holds the default data; enter another FILENAME."});
  Session s(answers({"", "", "", "", "", "", "", "1", "Quendrix.DEF", "./Quendrix.DEF", "", "3"}));
  EXPECT_EQ(s.r.status, 0);
  EXPECT_EQ(readFile(s.f.dir / "Quendrix.DEF"), shippedDefaults());
  // Each refusal closes the filename prompt's line and asks again; the blank answer then gives
  // the default name.
  EXPECT_TRUE(s.has(STORE_Q + FILENAME_BLOCK + P_FILENAME + refusal + P_FILENAME + refusal + P_FILENAME + "\r\n" +
                    RULE72));
  EXPECT_EQ(s.file("ELECTRICAL.TXT"), workedExampleReport() + storedLine(name20("ELECTRICAL.TXT")));

  // A default name that is the defaults file itself is refused the same way.
  auto def = shippedDefaults();
  def.replace(def.find("ELECTRICAL.TXT"), 14, "Quendrix.DEF  ");
  Session t(answers({"", "", "", "", "", "", "", "1", "", "", "e.txt", "3"}), def);
  EXPECT_EQ(readFile(t.f.dir / "Quendrix.DEF"), def);
  EXPECT_TRUE(t.has(P_FILENAME + refusal + P_FILENAME + refusal + P_FILENAME + "\r\n"));
  EXPECT_TRUE(fs::exists(t.f.dir / "e.txt"));
}

TEST(ElectricalReport, AFileThatCannotBeCreatedStopsTheRun) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  fs::create_directory(f.dir / "adir");
  // The first design's report is stored; the second design names a folder.
  const Result r = run(f, answers({"", "", "", "", "", "", "", "1", "first.txt", "2", "", "", "", "", "", "", "",
                                   "1", "adir", "3"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(std::regex_search(r.err, std::regex(R"(^At line [0-9]+ of file [a-z_]+\.cpp \(unit = 2\)\n)")))
      << r.err;
  EXPECT_NE(r.err.find("Quendrix run-time error: 'adir' is a directory\n"), std::string::npos);
  EXPECT_EQ(maskStamp(readFile(f.dir / "first.txt")), workedExampleReport() + storedLine(name20("first.txt")));

  const Result m = run(f, answers({"", "", "", "", "", "", "", "1", "nofolder/x.txt", "3"}));
  EXPECT_EQ(m.status, 2);
  EXPECT_NE(m.err.find("Cannot open file 'nofolder/x.txt'"), std::string::npos) << m.err;
}

// ---- The report ---------------------------------------------------------------------------

TEST(ElectricalReport, TwoSectionsOneFullRowThenTheLastRow) {
  Session s(answers({"", "", "", "", "", "2", "", "", "3"}));
  EXPECT_TRUE(s.has(lines({RULE72, "        1      22.401   21.942    44.803   43.884   1 2     30.369    40.554",
                           "        2      22.401   21.942    44.803   43.884", "",
                           "       Required Load Impedance = 67.77 Ohms.", RULE72})));
}

TEST(ElectricalReport, RowsNineAndTenShowTheirLineNumbersSideBySide) {
  Session s(answers({"", "", "", "", "", "11", "", "", "3"}));
  // 7X,I2, then four impedances in 40 columns, 2X,I2,I2, then two impedances in 21 columns.
  EXPECT_TRUE(std::regex_search(s.out, std::regex(R"(\r\n        9[ .0-9]{40}   910[ .0-9]{21}\r\n)")));
  EXPECT_TRUE(std::regex_search(s.out, std::regex(R"(\r\n       10[ .0-9]{40}  1011[ .0-9]{21}\r\n)")));
  EXPECT_TRUE(std::regex_search(s.out, std::regex(R"(\r\n       11[ .0-9]{40}\r\n\r\n)")));
}

TEST(ElectricalReport, ButterworthShowsItsNameAndThreeDecibels) {
  // Butterworth, N 5: the ripple question is skipped and the report states 3 dB.
  Session s(answers({"", "", "2", "", "", "", "", "3"}));
  EXPECT_TRUE(s.has(P_F0 + P_BW + percent("  30.00") + RESPONSE + METHOD + P_N + P_Z0));
  EXPECT_TRUE(s.has(electricalHeader(" 2550.000", "Butterworth ", " 3000.000", " 5", " 3450.000", "3.000",
                                     "  900.000", " 50.00")));
  // Matthaei 27.11, 13.08, 12.64; lines 57.21, 72.77. Cristal 27.63, 17.48, 16.21; lines 65.41, 92.50.
  EXPECT_TRUE(s.has("\r\n        1      27.106   27.626    54.212   55.253   1 2     57.206    65.408\r\n"));
  EXPECT_TRUE(s.has("\r\n        3      12.644   16.211    25.287   32.423   3 4     72.767    92.501\r\n"));
  EXPECT_TRUE(s.has("       Required Load Impedance = 50.00 Ohms.\r\n"));
}

TEST(ElectricalReport, DerivedFromDoublePrecisionIntermediates) {
  // 2400 MHz and 1000 MHz: theta1 and the band edges are each rounded once; the Matthaei end
  // stub prints 21.513.
  Session s(answers({"2400", "1000", "", "", "", "", "", "", "3"}));
  EXPECT_TRUE(s.has(percent("  41.67")));
  EXPECT_TRUE(s.has("        1      21.513   19.457    43.025   38.913   1 2     38.659    61.831\r\n"));
}

// ---- The dialogue -------------------------------------------------------------------------

TEST(ElectricalDialogue, AnswersAndTheirDefaults) {
  struct Case {
    const char* what;
    std::vector<std::string> answers;  // the whole electrical dialogue
    std::string expected;              // a text the conversation then shows
  };
  const Case cases[] = {
      {"negative centre frequency", {"-5", "", "", "", "", "", ""}, "Fo   =  3000.000 MHz"},
      {"zero bandwidth", {"", "0", "", "", "", "", ""}, "BW   =   900.000 MHz"},
      {"odd forms: 1 500", {"1 500", "1.5E2", "", "", "", "", ""}, "Fo   =  1500.000 MHz"},
      {"odd forms: 1.5E2", {"1 500", "1.5E2", "", "", "", "", ""}, percent("  10.00")},
      {"comma ends the field", {"", "12,5", "", "", "", "", ""}, "BW   =    12.000 MHz"},
      {"a bandwidth of twice f0", {"1000", "2000", "", "", "", "", ""}, "Flow =     0.000 MHz"},
      {"response 1.5 is Butterworth", {"", "", "1.5", "", "", ""}, "Response    = Butterworth "},
      {"response 3 keeps the default", {"", "", "3", "", "", "", ""}, "Response    = Tchebyscheff"},
      {"response 0 keeps the default", {"", "", "0", "", "", "", ""}, "Response    = Tchebyscheff"},
      {"ripple -0.1 keeps the default", {"", "", "", "-0.1", "", "", ""}, "Ripple (Am) = 0.100 dB"},
      {"ripple 0.5", {"", "", "", "0.5", "", "", ""}, "Ripple (Am) = 0.500 dB"},
      {"method 0 means N entered", {"", "", "", "", "0", "3", ""}, "# of Poles  =  3"},
      {"method -1 means N entered", {"", "", "", "", "-1", "3", ""}, "# of Poles  =  3"},
      {"method 5 means derived", {"", "", "", "", "5", "", "", ""}, sectionsNeeded(" 10", "  41.7")},
      {"skirt inside the band keeps 3600", {"", "", "", "", "2", "3000", "", ""}, sectionsNeeded(" 10", "  41.7")},
      {"skirt on the band edge keeps 3600", {"", "", "", "", "2", "3450", "", ""}, sectionsNeeded(" 10", "  41.7")},
      {"skirt below the band", {"", "", "", "", "2", "2000", "", ""}, sectionsNeeded("  5", "  48.7")},
      {"attenuation -40 is 40", {"", "", "", "", "2", "", "-40", ""}, sectionsNeeded(" 10", "  41.7")},
      {"N 1 keeps the default", {"", "", "", "", "", "1", ""}, "# of Poles  =  5"},
      {"N 1.4 keeps the default", {"", "", "", "", "", "1.4", ""}, "# of Poles  =  5"},
      {"N 1.5 is 2", {"", "", "", "", "", "1.5", ""}, "# of Poles  =  2"},
      {"N 07", {"", "", "", "", "", "07", ""}, "# of Poles  =  7"},
      {"N 40 is accepted", {"", "", "", "", "", "40", ""}, "# of Poles  = 40"},
      {"impedance 0 keeps the default", {"", "", "", "", "", "", "0"}, "Zo of System=  50.00 Ohms"},
      {"impedance 75", {"", "", "", "", "", "", "75"}, "Zo of System=  75.00 Ohms"},
  };
  for (const Case& c : cases) {
    std::string input;
    for (const std::string& a : c.answers) input += a + "\n";
    input += "\n3\n";  // no storage, then exit
    Session s(input);
    EXPECT_EQ(s.r.status, 0) << c.what << "\n" << s.r.err;
    EXPECT_TRUE(s.has(c.expected)) << c.what;
  }
}

TEST(ElectricalDialogue, ButterworthDerivesNineteenSections) {
  Session s(answers({"", "", "2", "2", "", "", "", "", "3"}));
  EXPECT_TRUE(s.has(RESPONSE + METHOD + P_SKIRT + P_ATTEN + sectionsNeeded(" 19", "  41.3") + P_Z0));
  EXPECT_TRUE(s.has("# of Poles  = 19"));
}

TEST(ElectricalDialogue, PoleLimitAsksTheMethodAgain) {
  Session s(answers({"", "", "", "", "", "41", "", "40", "", "", "3"}));
  EXPECT_EQ(s.r.status, 0);
  EXPECT_TRUE(s.has(METHOD + P_N + POLE_LIMIT + METHOD + P_N + P_Z0));
  EXPECT_TRUE(s.has("# of Poles  = 40"));
  // A derived N above the limit: the two result lines, the same error, and the method again.
  Session d(answers({"", "", "", "", "2", "3451", "100", "", "", "", "", "3"}));
  EXPECT_TRUE(std::regex_search(
      d.out, std::regex("Skirt Attenuation achieved      =[ .0-9]{6} dB\r\n\r\n\r\n {9}ERROR: Number of Poles")));
  EXPECT_TRUE(d.has(POLE_LIMIT + METHOD + P_N + P_Z0));
}

TEST(ElectricalDialogue, AFailedDerivationAsksTheMethodAgain) {
  // 0.01 dB wanted with a 0.05 dB ripple: the attenuation does not exceed the ripple.
  Session s(answers({"", "", "", "0.05", "2", "", "0.01", "1", "", "", "", "3"}));
  EXPECT_EQ(s.r.status, 0);
  const std::string failure =
      lines({blanks(5) + "Error in processing Number of Sections, N. Re-start Quendrix.",
             blanks(5) + "N =  0     A2 =   0.00 dB"}) +
      sectionsNeeded("  0", "   0.0");
  EXPECT_TRUE(s.has(P_SKIRT + P_ATTEN + failure + METHOD + P_N + P_Z0));
  EXPECT_TRUE(s.has("# of Poles  =  5"));
}

TEST(ElectricalDialogue, ARippleThatIsNotPositiveIsAskedAgain) {
  auto def = shippedDefaults();
  def.replace(def.find("0.1   "), 6, "0     ");
  Session s(answers({"", "", "", "", "-1", "0.2", "", "", "", "", "3"}), def);
  const std::string again = lines({blanks(10) + "The Passband Ripple Level must be greater than 0 dB."}) + P_RIPPLE;
  EXPECT_TRUE(s.has(RIPPLE + again + again + METHOD));
  EXPECT_TRUE(s.has("Ripple (Am) = 0.200 dB"));
}

}  // namespace
}  // namespace e2e
