// The program as a whole: start-up, the defaults file, the menus and the run-time error stop.
#include <gtest/gtest.h>

#include <vector>

#include "harness.h"

namespace e2e {
namespace {

// Everything up to the first menu for an all-blank electrical dialogue and no storage.
std::string defaultDesign() {
  return banner() + introduction() + defaultElectricalDialogue() + STORE_Q + workedExampleReport() + FIRST_MENU;
}

std::string errorTail(const std::string& message) { return "Quendrix run-time error: " + message + "\n"; }

// Standard error holds exactly two lines: the locus and the message.
void expectStop(const Result& r, const std::string& locusTail, const std::string& message) {
  EXPECT_EQ(r.status, 2);
  const std::size_t nl = r.err.find('\n');
  ASSERT_NE(nl, std::string::npos) << r.err;
  const std::string locus = r.err.substr(0, nl);
  EXPECT_TRUE(std::regex_match(locus, std::regex(R"(At line [0-9]+ of file [a-z_]+\.cpp)" + locusTail)))
      << locus;
  EXPECT_EQ(r.err.substr(nl + 1), errorTail(message));
}

TEST(Driver, AllDefaultDesignThenBlankMenuAnswerEndsTheRun) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  const Result r = run(f, answers({"", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(maskStamp(r.out), defaultDesign());  // the last prompt's line is left open
}

TEST(Driver, MenuChoicesThatEndTheRun) {
  // Anything but 1 and 2 at the first menu ends the run normally, with no further output.
  for (const char* choice : {"3", "0", "-1", "12", "123", "99", " 4"}) {
    Folder f;
    writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
    const Result r = run(f, answers({"", "", "", "", "", "", "", "", choice}));
    EXPECT_EQ(r.status, 0) << choice;
    EXPECT_EQ(maskStamp(r.out), defaultDesign()) << choice;
  }
}

TEST(Driver, NewDesignStartsAgainFromTheDefaultsFile) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  // First design: 2400 MHz, 1000 MHz, Butterworth, N 3, 75 ohms; then a new design with blanks.
  const Result r = run(f, answers({"2400", "1000", "2", "", "3", "75", "", "2", "", "", "", "", "", "", "", "", "",
                                   "3"}));
  EXPECT_EQ(r.status, 0);
  const std::string out = maskStamp(r.out);
  // The banner after the menu: its first line end closes the prompt's line.
  const std::string again = FIRST_MENU + banner() + introduction() + defaultElectricalDialogue() + STORE_Q +
                            workedExampleReport() + FIRST_MENU;
  ASSERT_GE(out.size(), again.size());
  EXPECT_EQ(out.substr(out.size() - again.size()), again);
  EXPECT_EQ(out.find(banner()), 0u);
}

TEST(Driver, BadMenuAnswerStopsWithTheIntegerReadMessage) {
  for (const char* bad : {"1.", "x", "+"}) {
    Folder f;
    writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
    const Result r = run(f, answers({"", "", "", "", "", "", "", "", bad}));
    expectStop(r, R"( \(unit = 5, file = 'stdin'\))", "Bad value during integer read");
    EXPECT_EQ(maskStamp(r.out), defaultDesign()) << "output already written stays written";
  }
}

TEST(Driver, EndOfInputAndBadNumbersAtPrompts) {
  struct Case {
    std::string input;
    std::string message;
    std::string outputEnd;
  };
  const Case cases[] = {
      {"", "End of file", P_F0},
      {"abc\n", "Bad value during floating point read", P_F0},
      {"1500 MHz\n", "Bad value during floating point read", P_F0},
      {"\n\n", "End of file", RESPONSE},
      {"\n\n\n\n\n\n\n\n", "End of file", FIRST_MENU},
  };
  for (const Case& c : cases) {
    Folder f;
    writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
    const Result r = run(f, c.input);
    expectStop(r, R"( \(unit = 5, file = 'stdin'\))", c.message);
    ASSERT_GE(r.out.size(), c.outputEnd.size());
    EXPECT_EQ(r.out.substr(r.out.size() - c.outputEnd.size()), c.outputEnd) << c.input;
  }
}

TEST(Driver, CrLfAnswersAndALastLineWithoutLineEnd) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  const Result r = run(f, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n3");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskStamp(r.out), defaultDesign());
}

TEST(Driver, MissingDefaultsFileStopsBeforeTheBanner) {
  Folder f;
  const Result r = run(f, "\n");
  expectStop(r, R"( \(unit = 2\))", "File 'Quendrix.DEF' does not exist");
  EXPECT_EQ(r.out, "");
}

TEST(Driver, DefaultsFileThatIsADirectory) {
  Folder f;
  fs::create_directory(f.dir / "Quendrix.DEF");
  const Result r = run(f, "\n");
  expectStop(r, R"( \(unit = 2\))", "'Quendrix.DEF' is a directory");
  EXPECT_EQ(r.out, "");
}

// ---- The defaults file --------------------------------------------------------------------

std::vector<std::string> shippedLines() {
  std::vector<std::string> ls;
  std::istringstream in(shippedDefaults());
  for (std::string l; std::getline(in, l);) ls.push_back(l);
  return ls;
}

std::string join(const std::vector<std::string>& ls, std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count && i < ls.size(); ++i) s += ls[i] + "\n";
  return s;
}

const char* const LABELS[18] = {"1st line.",           "Fo.",
                                "Bandwidth.",          "Response Type.",
                                "Ripple.",             "Skirt Frequency.",
                                "Skirt Attenuation.",  "# of Sections, N.",
                                "System Impedance: Zo", "ustrip or Stripline.",
                                "Microstrip`s H.",     "Microstrip`s Er.",
                                "Microstrip`s T.",     "Stripline`s B.",
                                "Stripline`s Er.",     "Stripline`s T.",
                                "Elec Store Filename.", "Dimen Store Filename"};

std::string label20(const char* l) {
  std::string s(l);
  s.resize(20, ' ');
  return s;
}

std::string endMessage(const char* label) {
  return lines({blanks(6) + "`End of file in Quendrix`s default data file (Quendrix.DEF).",
                blanks(6) + "Entry missing for variable: " + label20(label),
                blanks(6) + "Fix entry for this variable in Quendrix.DEF and try again."});
}
std::string errorMessage(const char* label) {
  return lines({blanks(6) + "Error exists in Quendrix`s default data file (Quendrix.DEF).",
                blanks(6) + "Fix entry for variable " + label20(label) + " and try again."});
}

Result runWithDefaults(const std::string& def, const std::string& input = "") {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", def);
  return run(f, input);
}

TEST(DefaultsFile, EveryMissingLineIsNamed) {
  const auto ls = shippedLines();
  ASSERT_EQ(ls.size(), 18u);
  for (std::size_t line = 0; line < 18; ++line) {
    const Result r = runWithDefaults(join(ls, line));
    EXPECT_EQ(r.status, 0) << line;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, endMessage(LABELS[line])) << "file ends before line " << line + 1;
  }
}

TEST(DefaultsFile, EveryBadNumberIsNamed) {
  const auto ls = shippedLines();
  for (std::size_t line = 1; line < 16; ++line) {
    auto bad = ls;
    bad[line] = "3000 MHz";  // letters inside the first 13 columns
    const Result r = runWithDefaults(join(bad, 18));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, errorMessage(LABELS[line])) << "line " << line + 1;
  }
}

TEST(DefaultsFile, RejectedEntries) {
  struct Case {
    int line;  // 1-based
    std::string text;
  };
  const Case cases[] = {
      {2, "0"},       {2, ""},          {2, "-3000"},   {3, "0"},       {4, "2.5"},  {4, "0"},     {4, "nan"},
      {6, "2550"},    {6, "3000"},      {6, "3450"},    {6, "0"},       {6, "-3600"}, {6, "nan"},  {8, "1"},     {8, "1.4"},
      {9, "0"},       {10, "3"},        {11, "0"},      {12, "0.99"},   {13, "-0.001"}, {13, "0.031"}, {14, "-1"},
      {15, "0.5"},    {16, "0.062"},    {17, "   "},    {17, ""},       {18, "                    x"},
  };
  const auto ls = shippedLines();
  for (const Case& c : cases) {
    auto bad = ls;
    bad[static_cast<std::size_t>(c.line - 1)] = c.text;
    const Result r = runWithDefaults(join(bad, 18));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, errorMessage(LABELS[c.line - 1])) << "line " << c.line << " '" << c.text << "'";
  }
}

TEST(DefaultsFile, AcceptedEdgeValuesAndFreeComments) {
  struct Case {
    int line;
    std::string text;
  };
  const Case cases[] = {
      {4, "1.4"},     {5, "-1"},           {6, "2549.9"}, {6, "3450.1"}, {7, "-40"},  {7, "0"},
      {8, "1.5"},     {8, "99"},           {12, "1"},     {13, "0"},     {16, "0.0619"}, {17, "  lead.txt"},
      {17, "a-name-longer-than-twenty.txt"}, {2, "     3000.    trailing comment 1.0"},
  };
  const auto ls = shippedLines();
  for (const Case& c : cases) {
    auto ok = ls;
    ok[static_cast<std::size_t>(c.line - 1)] = c.text;
    ok.push_back("a 19th line is never read: abc");
    const Result r = runWithDefaults(join(ok, 19));
    // Loaded: the banner comes, and the run stops at the end of input at the first prompt.
    EXPECT_EQ(r.status, 2) << "line " << c.line << " '" << c.text << "'";
    EXPECT_EQ(maskStamp(r.out), banner() + introduction() + P_F0) << "line " << c.line << " '" << c.text << "'";
  }
}

TEST(DefaultsFile, LoadedValuesAreTheDefaults) {
  auto ls = shippedLines();
  ls[7] = "1.5";             // N: rounds to 2
  ls[16] = "  lead.txt";     // leading blanks kept
  const Result r = runWithDefaults(join(ls, 18), answers({"", "", "", "", "", "", "", "1", "", "3"}));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("# of Poles  =  2"), std::string::npos);
  EXPECT_NE(r.out.find(storedLine(label20("  lead.txt"))), std::string::npos);
}

TEST(DefaultsFile, CrLfLinesAndALastLineWithoutLineEnd) {
  std::string def;
  const auto ls = shippedLines();
  for (std::size_t i = 0; i < ls.size(); ++i) def += ls[i] + (i + 1 < ls.size() ? "\r\n" : "");
  const Result r = runWithDefaults(def, answers({"", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskStamp(r.out), defaultDesign());
}

}  // namespace
}  // namespace e2e
