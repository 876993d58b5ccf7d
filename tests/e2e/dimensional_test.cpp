// The dimensional step through the built program: dialogue, synthesis, report, storage and the
// last operation menu.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

// The all-default electrical design, no storage, then choice 1 at the first menu.
const std::vector<std::string> TO_DIMENSIONS = {"", "", "", "", "", "", "", "", "1"};

std::string script(std::vector<std::string> more) {
  std::string s;
  for (const std::string& a : TO_DIMENSIONS) s += a + "\n";
  for (const std::string& a : more) s += a + "\n";
  return s;
}

// The worked example on the shipped microstrip: H 0.031", Er 2.2, T 0.0014", at 3000 MHz.
// Widths come from the microstrip width search (50 ohms: 0.0932" here against 0.0941" at
// 10 GHz), each length from the effective permittivity of its own strip.
std::string microstripReport() {
  return dimensionalHeader("Tchebyscheff", "0.100", "0.0310", "Microstrip", "0.0014", " 5", " 2.200", " 3000.000",
                           " 50.00", "  900.000") +
         lines({"       1  0.2149  0.6995 0.2368  0.6974 *  1, 2 0.1357  0.7097 0.0693  0.7249",
                "       2  0.4886  0.6841 0.1472  0.7078 *  2, 3 0.1504  0.7073 0.0369  0.7379",
                "       3  0.4829  0.6843 0.1649  0.7053 *  3, 4 0.1504  0.7073 0.0369  0.7379",
                "       4  0.4886  0.6841 0.1472  0.7078 *  4, 5 0.1357  0.7097 0.0693  0.7249",
                "       5  0.2149  0.6995 0.2368  0.6974 * "}) +
         dimensionalClosing("  50.00", " 0.0932");
}

// The same design on the shipped stripline: B 0.062", Er 2.2, T 0.0014". Every length is
// 0.25 * 11811.023 / (3000 * sqrt(2.2)) = 0.6636"; 50 ohms takes 0.0477".
std::string striplineReport() {
  return dimensionalHeader("Tchebyscheff", "0.100", "0.0620", "Stripline ", "0.0014", " 5", " 2.200", " 3000.000",
                           " 50.00", "  900.000") +
         lines({"       1  0.1109  0.6636 0.1221  0.6636 *  1, 2 0.0701  0.6636 0.0348  0.6636",
                "       2  0.2489  0.6636 0.0761  0.6636 *  2, 3 0.0777  0.6636 0.0171  0.6636",
                "       3  0.2461  0.6636 0.0852  0.6636 *  3, 4 0.0777  0.6636 0.0171  0.6636",
                "       4  0.2489  0.6636 0.0761  0.6636 *  4, 5 0.0701  0.6636 0.0348  0.6636",
                "       5  0.1109  0.6636 0.1221  0.6636 * "}) +
         dimensionalClosing("  50.00", " 0.0477");
}

TEST(DimensionalReport, MicrostripFromTheDefaultsStoredIdentically) {
  Session s(script({"", "", "", "", "1", "dim.txt", "4"}));
  EXPECT_EQ(s.r.status, 0);
  EXPECT_EQ(s.r.err, "");
  const std::string report = microstripReport() + storedLine(name20("dim.txt"));
  const std::string expected = FIRST_MENU + DIM_CHOICE + P_H + P_ER + P_T + STORE_Q + FILENAME_BLOCK + P_FILENAME +
                               report + LAST_MENU;
  ASSERT_GE(s.out.size(), expected.size());
  EXPECT_EQ(s.out.substr(s.out.size() - expected.size()), expected);
  EXPECT_EQ(s.file("dim.txt"), report);
}

TEST(DimensionalReport, StriplineFromTheDefaultsStoredIdentically) {
  Session s(script({"2", "", "", "", "1", "", "4"}));
  EXPECT_EQ(s.r.status, 0);
  const std::string report = striplineReport() + storedLine(name20("DIMENSIONAL.TXT"));
  EXPECT_TRUE(s.has(FIRST_MENU + DIM_CHOICE + P_B + P_ER + P_T + STORE_Q + FILENAME_BLOCK + P_FILENAME + report +
                    LAST_MENU));
  EXPECT_EQ(s.file("DIMENSIONAL.TXT"), report);
}

TEST(DimensionalReport, ConstructionChoicesAndDefaults) {
  struct Case {
    std::string answers;   // type, height, Er, T
    std::string heading;   // line 13 and 14 of the header
  };
  const Case cases[] = {
      {"1.4,,,", "H  = 0.0310 \"            Construction = Microstrip"},
      {"1.5,,,", "H  = 0.0620 \"            Construction = Stripline "},
      {"2.5,,,", "Construction = Microstrip"},  // rounds to 3: the default construction
      {"-1,,,", "Construction = Microstrip"},
      {"1,0,0.99999,0", "H  = 0.0310 \"            Construction = Microstrip"},  // all keep the defaults
      {"1,0.05,1,0.1", "T  = 0.1000 \"            # of Sections=  5"},            // T above H is taken
      {"1,-2,0.5,-1", "T  = 0.0014 \""},
      {"2,0.125,10.2,0.0007", "H  = 0.1250 \"            Construction = Stripline "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> more;
    std::stringstream ss(c.answers);
    for (std::string a; std::getline(ss, a, ',');) more.push_back(a);
    while (more.size() < 4) more.push_back("");
    more.push_back("");   // no storage
    more.push_back("4");  // exit
    Session s(script(more));
    EXPECT_EQ(s.r.status, 0) << c.answers;
    EXPECT_TRUE(s.has(c.heading)) << c.answers;
  }
  // Er entered as exactly 1 is taken: every microstrip length is then the free-space quarter wave.
  Session air(script({"1", "", "1", "", "", "4"}));
  EXPECT_TRUE(air.has("Er =  1.000"));
  EXPECT_TRUE(std::regex_search(air.out, std::regex(R"(\r\n       1 [ .0-9]{7}  0\.9843[ .0-9]{7}  0\.9843 \*)")));
}

TEST(DimensionalReport, StriplineDefaultFromTheFileAndMicrostripOnRequest) {
  auto def = shippedDefaults();
  def.replace(def.find("1.            Construction"), 2, "2.");
  Session blank(script({"", "", "", "", "", "4"}), def);
  EXPECT_TRUE(blank.has(DIM_CHOICE + P_B + P_ER + P_T));
  Session one(script({"1", "", "", "", "", "4"}), def);
  EXPECT_TRUE(one.has(DIM_CHOICE + P_H + P_ER + P_T));
}

TEST(DimensionalReport, TwoSectionsEndAfterTheStar) {
  Session s(answers({"", "", "", "", "", "2", "", "", "1", "", "", "", "", "", "4"}));
  EXPECT_TRUE(s.has(lines({RULE71, "       1  0.1099  0.7145 0.1133  0.7138 *  1, 2 0.1878  0.7024 0.1269  0.7112",
                           "       2  0.1099  0.7145 0.1133  0.7138 * "}) +
                    dimensionalClosing("  50.00", " 0.0932")));
}

TEST(DimensionalReport, AnUnrealizableWidthInTheMiddleOfTheTable) {
  // 150 ohms on Er 9.8, H 0.025": the Cristal lines 2,3 and 3,4 need 254 ohms, beyond what this
  // substrate can realize (about 227 ohms). The message stands on the console just before the
  // row it concerns; the table goes on, and the file holds no message.
  Session s(answers({"", "", "", "", "", "", "150", "", "1", "1", "0.025", "9.8", "0.0002", "1", "u.txt", "4"}));
  EXPECT_EQ(s.r.status, 0);
  const std::size_t row1 = s.out.find("\r\n       1  ");
  const std::size_t msg = s.out.find(UNREALIZABLE, row1);
  const std::size_t row2 = s.out.find("\r\n       2  ", row1);
  ASSERT_NE(msg, std::string::npos);
  EXPECT_EQ(msg + UNREALIZABLE.size() - 2, row2) << "message right before row 2";
  EXPECT_NE(s.out.find(UNREALIZABLE + "       3  "), std::string::npos);
  EXPECT_TRUE(s.has(lines({"       5  0.0064  0.3987 0.0082  0.3965 * "})));
  const std::string file = s.file("u.txt");
  EXPECT_EQ(file.find("unrealizable"), std::string::npos);
  EXPECT_NE(file.find("\r\n       2  "), std::string::npos);
  EXPECT_NE(file.find(storedLine(name20("u.txt"))), std::string::npos);
}

TEST(DimensionalReport, StriplineReRunsTakeTheImpedancesReached) {
  // 150 ohms on the thick stripline: the system line reaches 150.03 ohms, and a re-run asks for
  // that, reporting it as its Zo.
  Session s(answers({"", "", "", "", "", "", "150", "", "1", "2", "", "", "", "", "3", "2", "", "", "", "", "3", "2",
                     "", "", "", "", "4"}));
  EXPECT_EQ(s.r.status, 0);
  std::vector<std::string> zo, forZo;
  const std::regex header(R"(\r\n              Zo = ([ .0-9]{6}) Ohms)");
  const std::regex closing(R"(For a Zo = ([ .0-9]{7}) Ohms)");
  for (auto it = std::sregex_iterator(s.out.begin(), s.out.end(), header); it != std::sregex_iterator(); ++it)
    zo.push_back((*it)[1]);
  for (auto it = std::sregex_iterator(s.out.begin(), s.out.end(), closing); it != std::sregex_iterator(); ++it)
    forZo.push_back((*it)[1]);
  EXPECT_EQ(zo, (std::vector<std::string>{"150.00", "150.03", "150.05"}));
  EXPECT_EQ(forZo, (std::vector<std::string>{" 150.03", " 150.05", " 150.08"}));
}

TEST(DimensionalReport, ReRunsStartFromTheDefaultsFileAgain) {
  // A microstrip first pass leaves the design's impedances as they are.
  Session s(script({"1", "0.1", "4", "0.001", "", "3", "", "", "", "", "", "4"}));
  EXPECT_EQ(s.r.status, 0);
  // The second pass with blank answers is the file's microstrip design again.
  EXPECT_NE(s.out.find(microstripReport() + LAST_MENU), std::string::npos);
  EXPECT_TRUE(s.has("Er =  4.000"));
}

TEST(DimensionalReport, ANewDesignAfterADimensionalPass) {
  Session s(script({"2", "", "", "", "", "2", "", "", "", "", "", "", "", "", "3"}));
  EXPECT_EQ(s.r.status, 0);
  // The new design's impedances are the electrical design's own, not those a stripline pass reached.
  const std::string tail = LAST_MENU + banner() + introduction() + defaultElectricalDialogue() + STORE_Q +
                           workedExampleReport() + FIRST_MENU;
  ASSERT_GE(s.out.size(), tail.size());
  EXPECT_EQ(s.out.substr(s.out.size() - tail.size()), tail);
}

TEST(DimensionalReport, LastMenuChoices) {
  // 1 (the analysis is not part of this conversation), 4, blank and anything else end the run
  // at once, with no output after the prompt.
  for (const char* choice : {"1", "4", "", "0", "-3", "99", "12"}) {
    Session s(script({"", "", "", "", "", choice}));
    EXPECT_EQ(s.r.status, 0) << choice;
    ASSERT_GE(s.out.size(), LAST_MENU.size());
    EXPECT_EQ(s.out.substr(s.out.size() - LAST_MENU.size()), LAST_MENU) << choice;
  }
  Session bad(script({"", "", "", "", "", "1."}));
  EXPECT_EQ(bad.r.status, 2);
  EXPECT_NE(bad.r.err.find("Bad value during integer read\n"), std::string::npos);
  Session eof(script({"", "", ""}));
  EXPECT_EQ(eof.r.status, 2);
  EXPECT_NE(eof.r.err.find("End of file\n"), std::string::npos);
}

TEST(ReportFiles, ElectricalAndDimensionalInTwoFiles) {
  // The electrical report in e.txt, a microstrip pass in d1.txt, a re-run answered no, then a
  // stripline re-run into d2.txt: three files, each ending with its own stored line.
  Session s(answers({"", "", "", "", "", "", "", "1", "e.txt", "1", "", "", "", "", "1", "d1.txt", "3", "", "", "",
                     "", "", "3", "2", "", "", "", "1", "d2.txt", "4"}));
  EXPECT_EQ(s.r.status, 0);
  EXPECT_EQ(s.file("e.txt"), workedExampleReport() + storedLine(name20("e.txt")));
  EXPECT_EQ(s.file("d1.txt"), microstripReport() + storedLine(name20("d1.txt")));
  EXPECT_EQ(s.file("d2.txt"), striplineReport() + storedLine(name20("d2.txt")));
}

TEST(ReportFiles, ADimensionalReportIntoTheElectricalFileReplacesIt) {
  Session s(answers({"", "", "", "", "", "", "", "1", "same.txt", "1", "", "", "", "", "1", "same.txt", "3", "", "",
                     "", "", "1", "same.txt", "4"}));
  EXPECT_EQ(s.r.status, 0);
  // Each yes names a file a channel holds: it is created anew and holds only the newest report.
  EXPECT_EQ(s.file("same.txt"), microstripReport() + storedLine(name20("same.txt")));
}

}  // namespace
}  // namespace e2e
