// The conversation run in-process with a fixed clock: the design stamp in the banner and the
// report headers, and the state that one run must not leave to the next.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "in_process.h"

namespace quendrix {
namespace {

namespace fs = std::filesystem;

class InProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("quendrix-inproc-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fs::copy_file(fs::path(QUENDRIX_SOURCE_DIR) / "Quendrix.DEF", dir_ / "Quendrix.DEF",
                  fs::copy_options::overwrite_existing);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  fs::path old_, dir_;
};

DateTimeValues unreadableClock() {
  DateTimeValues dt{};
  for (auto& v : dt.values) v = -2147483647;
  return dt;
}

TEST_F(InProcess, DesignStampInTheBannerAndBothReports) {
  const auto r = testing::runInProcess("\n\n\n\n\n\n\n\n1\n\n\n\n\n\n4\n");
  EXPECT_EQ(r.status, 0);
  // 4 July 2013 at 9:05:03: month first, every I2 field padded with a blank.
  EXPECT_NE(r.out.find("\r\n         Program: Quendrix (v. 1.0)      Date: 7/ 4/2013 at  9: 5: 3Hours\r\n"),
            std::string::npos);
  const std::string header = "\r\n        Quendrix (v. 1.0)                    Date: 7/ 4/2013 at  9: 5: 3Hours\r\n";
  const std::size_t first = r.out.find(header);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(r.out.find(header, first + 1), std::string::npos) << "the dimensional report has the same stamp";
}

TEST_F(InProcess, AClockThatCannotBeReadShowsStarsAndTheRunGoesOn) {
  const auto r = testing::runInProcess("\n\n\n\n\n\n\n\n3\n", unreadableClock);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Program: Quendrix (v. 1.0)      Date:**/**/**** at **:**:**Hours\r\n"), std::string::npos);
}

TEST_F(InProcess, StopsReturnTheirStatusAndRunsAreIndependent) {
  const auto stopped = testing::runInProcess("abc\n");
  EXPECT_EQ(stopped.status, 2);
  EXPECT_NE(stopped.err.find("Bad value during floating point read\n"), std::string::npos);
  const auto a = testing::runInProcess("\n\n\n\n\n\n\n\n3\n");
  const auto b = testing::runInProcess("\n\n\n\n\n\n\n\n3\n");
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(a.status, 0);
}

}  // namespace
}  // namespace quendrix
