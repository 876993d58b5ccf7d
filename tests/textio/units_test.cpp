// Layout writes and reads on the console units, with memory streams standing in for the console.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "textio/textio.h"

namespace quendrix {
namespace {

struct Stopped {
  int status;
};
[[noreturn]] void throwingStop(int status) { throw Stopped{status}; }

// Console input from a string, console output and standard error into strings.
class Console : public ::testing::Test {
 protected:
  void feed(const std::string& input) {
    if (in_ != nullptr) std::fclose(in_);
    input_ = input;
    in_ = input_.empty() ? std::fopen("/dev/null", "r") : fmemopen(input_.data(), input_.size(), "r");
    reconnect();
  }
  void SetUp() override {
    out_ = open_memstream(&outBuf_, &outLen_);
    err_ = open_memstream(&errBuf_, &errLen_);
    feed("");
    setStopHook(throwingStop);
  }
  void TearDown() override {
    setStopHook(nullptr);
    resetUnits();
    setConsole(stdin, stdout, stderr);
    std::fclose(in_);
    std::fclose(out_);
    std::fclose(err_);
    std::free(outBuf_);
    std::free(errBuf_);
  }
  void reconnect() {
    resetUnits();
    setConsole(in_, out_, err_);
  }
  std::string out() {
    std::fflush(out_);
    return std::string(outBuf_, outLen_);
  }
  std::string err() {
    std::fflush(err_);
    return std::string(errBuf_, errLen_);
  }

  std::string input_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
  char* outBuf_ = nullptr;
  std::size_t outLen_ = 0;
  char* errBuf_ = nullptr;
  std::size_t errLen_ = 0;
};

TEST_F(Console, RecordsEndWithCrLfAndPromptsLeaveTheLineOpen) {
  feed("3000\n900\n");
  float f0 = 0, bw = 0;
  promptLayout(UNIT_CONSOLE_OUT, "(7X,'-Filter`s Center Frequency,  MHz = ')");
  readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&f0});
  promptLayout(UNIT_CONSOLE_OUT, "(7X,'-Filter`s Passband Bandwidth,MHz = ')");
  readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&bw});
  writeLayout(UNIT_CONSOLE_OUT, "(7X,'-Desired Bandwidth for Filter    = ',F7.2,' %')", {bw * 100 / f0});
  // The answers are not echoed: the three texts form one output line.
  EXPECT_EQ(out(),
            "       -Filter`s Center Frequency,  MHz = "
            "       -Filter`s Passband Bandwidth,MHz = "
            "       -Desired Bandwidth for Filter    =   30.00 %\r\n");
  EXPECT_EQ(f0, 3000.0f);
  EXPECT_EQ(bw, 900.0f);
}

TEST_F(Console, SlashesAndItemsAfterTheLastValue) {
  writeLayout(UNIT_CONSOLE_OUT, "(/,6X,'a',//)");
  writeLayout(UNIT_CONSOLE_OUT, "(7X,'Required Load Impedance =',F6.2,' Ohms.')", {50.0f});
  writeLayout(UNIT_CONSOLE_OUT, "(6X,I2,1X,2(F7.4,F8.4),' * ')", {2, 0.1f, 0.2f, 0.3f, 0.4f});
  writeLayout(UNIT_CONSOLE_OUT, "(1X,I2,' and ',I2,' more')", {1});  // stops before the next data item
  EXPECT_EQ(out(),
            "\r\n      a\r\n\r\n\r\n"
            "       Required Load Impedance = 50.00 Ohms.\r\n"
            "       2  0.1000  0.2000 0.3000  0.4000 * \r\n"
            "  1 and \r\n");
}

TEST_F(Console, RecordEndsAndFieldWidths) {
  // LF, CR, CR LF, and a last line without a line end.
  feed("1\r2\r\n3\n12,5\n12345678901234567\n  report.txt,x\n123\n7");
  float x = 0;
  std::int32_t i = 0;
  std::string name(20, ' ');
  std::vector<float> reals;
  for (int k = 0; k < 5; ++k) {
    readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&x});
    reals.push_back(x);
  }
  EXPECT_EQ(reals, (std::vector<float>{1, 2, 3, 12, 1234567954432.0f}));
  readLayout(UNIT_CONSOLE_IN, "(A20)", {&name});
  EXPECT_EQ(name, "  report.txt,x      ");
  readLayout(UNIT_CONSOLE_IN, "(I2)", {&i});
  EXPECT_EQ(i, 12);
  readLayout(UNIT_CONSOLE_IN, "(I2)", {&i});
  EXPECT_EQ(i, 7);
  EXPECT_EQ(readLayout(UNIT_CONSOLE_IN, "(I2)", {&i}, OnFailure::REPORT), ReadResult::END);
}

TEST_F(Console, FailedReadsStopWithTwoLinesAndStatusTwo) {
  struct Case {
    const char* input;
    const char* layout;
    const char* message;
  };
  const Case cases[] = {
      {"abc\n", "(F13.0)", "Bad value during floating point read"},
      {"1500 MHz\n", "(F13.0)", "Bad value during floating point read"},
      {"1.\n", "(I2)", "Bad value during integer read"},
      {"+\n", "(I2)", "Bad value during integer read"},
      {"", "(F13.0)", "End of file"},
  };
  for (const Case& c : cases) {
    feed(c.input);
    std::fflush(err_);
    const std::size_t before = errLen_;
    float x = 0;
    std::int32_t i = 0;
    try {
      if (std::string(c.layout) == "(I2)") readLayout(UNIT_CONSOLE_IN, c.layout, {&i});
      else readLayout(UNIT_CONSOLE_IN, c.layout, {&x});
      ADD_FAILURE() << "no stop for " << c.input;
    } catch (const Stopped& s) {
      EXPECT_EQ(s.status, 2);
    }
    const std::string e = err().substr(before);
    EXPECT_NE(e.find("(unit = 5, file = 'stdin')\n"), std::string::npos) << e;
    EXPECT_EQ(e.rfind("At line ", 0), 0u) << e;
    const std::string tail = std::string(c.message) + "\n";
    ASSERT_GE(e.size(), tail.size());
    EXPECT_EQ(e.substr(e.size() - tail.size()), tail) << e;
    EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 2) << e;
  }
}

TEST_F(Console, FilesAreReplacedAndCutAtTheEndMark) {
  const auto dir = std::filesystem::temp_directory_path() / ("textio-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "r.txt").string();
  std::ofstream(path) << std::string(500, 'x');
  openFile(UNIT_DIMENSIONAL, path, OpenMode::REPLACE);
  writeLayout(UNIT_DIMENSIONAL, "(1X,'new')");
  endFile(UNIT_DIMENSIONAL);
  // Complete on disk while the unit is still connected.
  std::ifstream back(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), " new\r\n");

  const std::string missing = (dir / "none.def").string();
  try {
    openFile(UNIT_FILE2, missing, OpenMode::READ_EXISTING);
    ADD_FAILURE();
  } catch (const Stopped&) {
  }
  EXPECT_NE(err().find("File '" + missing + "' does not exist\n"), std::string::npos);
  try {
    openFile(UNIT_DIMENSIONAL, dir.string(), OpenMode::REPLACE);
    ADD_FAILURE();
  } catch (const Stopped&) {
  }
  // Built by appending: GCC 12 at -O3 sees a false overlap in "'" + string (-Wrestrict).
  std::string isADirectory(1, '\'');
  isADirectory.append(dir.string()).append("' is a directory\n");
  EXPECT_NE(err().find(isADirectory), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(NearestInteger, HalvesAwayFromZeroAndOutOfRange) {
  EXPECT_EQ(nearestInteger(1.49f), 1);
  EXPECT_EQ(nearestInteger(1.5f), 2);
  EXPECT_EQ(nearestInteger(2.5f), 3);
  EXPECT_EQ(nearestInteger(-2.5f), -3);
  EXPECT_EQ(nearestInteger(0.5f), 1);
  EXPECT_EQ(nearestInteger(std::numeric_limits<float>::quiet_NaN()), -2147483647 - 1);
  EXPECT_EQ(nearestInteger(3e9f), -2147483647 - 1);
  EXPECT_EQ(nearestInteger(-std::numeric_limits<float>::infinity()), -2147483647 - 1);
}

}  // namespace
}  // namespace quendrix
