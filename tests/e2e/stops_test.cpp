// Bad values and the end of input at prompts of every kind, and what stays on disk after a stop.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

TEST(Stops, AtPromptsOfEveryKind) {
  struct Case {
    const char* where;
    std::vector<std::string> answers;  // the input ends after these
    std::string message;
    std::string outputEnd;             // the prompt left open when the run stopped
  };
  const std::vector<std::string> design(8, "");  // electrical dialogue and storage question
  auto with = [&](std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const Case cases[] = {
      {"storage question, bad value", {"", "", "", "", "", "", "", "yes"}, "Bad value during floating point read",
       STORE_Q},
      {"storage question, end of input", {"", "", "", "", "", "", ""}, "End of file", STORE_Q},
      {"file name, end of input", {"", "", "", "", "", "", "", "1"}, "End of file", P_FILENAME},
      {"ripple, bad value", {"", "", "", "0.1 dB"}, "Bad value during floating point read", RIPPLE},
      {"skirt frequency, end of input", {"", "", "", "", "2"}, "End of file", P_SKIRT},
      {"first menu, end of input", design, "End of file", FIRST_MENU},
      {"construction type, bad value", with(design, {"1", "micro"}), "Bad value during floating point read",
       DIM_CHOICE},
      {"height, end of input", with(design, {"1", "1"}), "End of file", P_H},
      {"thickness, bad value", with(design, {"1", "2", "", "", "1/16"}), "Bad value during floating point read",
       P_T},
      {"dimensional storage, end of input", with(design, {"1", "", "", "", ""}), "End of file", STORE_Q},
      {"last menu, bad value", with(design, {"1", "", "", "", "", "", "x"}), "Bad value during integer read",
       LAST_MENU},
  };
  for (const Case& c : cases) {
    Folder f;
    writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
    std::string input;
    for (const std::string& a : c.answers) input += a + "\n";
    const Result r = run(f, input);
    EXPECT_EQ(r.status, 2) << c.where;
    EXPECT_TRUE(std::regex_match(r.err, std::regex("At line [0-9]+ of file [a-z_]+\\.cpp \\(unit = 5, file = "
                                                   "'stdin'\\)\nQuendrix run-time error: " +
                                                   c.message + "\n")))
        << c.where << ": " << r.err;
    ASSERT_GE(r.out.size(), c.outputEnd.size()) << c.where;
    EXPECT_EQ(r.out.substr(r.out.size() - c.outputEnd.size()), c.outputEnd) << c.where;
  }
}

TEST(Stops, AReportWhoseEndLineIsWrittenIsCompleteOnDisk) {
  Folder f;
  writeFile(f.dir / "Quendrix.DEF", shippedDefaults());
  // Both reports stored, then a bad answer at the last menu stops the run.
  const Result r = run(f, answers({"", "", "", "", "", "", "", "1", "e.txt", "1", "", "", "", "", "1", "d.txt", "?"}));
  EXPECT_EQ(r.status, 2);
  const std::string e = maskStamp(readFile(f.dir / "e.txt"));
  const std::string d = maskStamp(readFile(f.dir / "d.txt"));
  EXPECT_EQ(e, workedExampleReport() + storedLine(name20("e.txt")));
  const std::string dEnd = storedLine(name20("d.txt"));
  ASSERT_GE(d.size(), dEnd.size());
  EXPECT_EQ(d.substr(d.size() - dEnd.size()), dEnd);
  EXPECT_EQ(d.find("\r\n" + RULE72 + "\r\n"), 0u);
}

}  // namespace
}  // namespace e2e
