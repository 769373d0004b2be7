#include "base/error_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace quillon {
namespace error_log_test {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ErrorLogTest : public ::testing::Test {
 protected:
  std::string path_ = ::testing::TempDir() + "quillon_error_log_test.err";
  void TearDown() override { std::remove(path_.c_str()); }
};

TEST_F(ErrorLogTest, CleanRunLeavesFourLinesWithCrLf) {
  ErrorLog log([] { return std::string("12/07"); });
  ASSERT_TRUE(log.Open(path_.c_str()));
  EXPECT_FALSE(log.Open(path_.c_str())) << "a second open is refused";
  EXPECT_TRUE(log.Close());
  EXPECT_EQ(ReadAll(path_), "Error log for 12/07\r\n\r\n\r\nEnd of error log for 12/07\r\n");
}

TEST_F(ErrorLogTest, MessagesAreIndentedAndAnExistingFileIsEmptied) {
  { std::ofstream(path_) << "old run\n"; }
  ErrorLog log([] { return std::string("01/31"); });
  ASSERT_TRUE(log.Open(path_.c_str()));
  log.Log("ReadBuildOptions() Error: %s", "x");
  log.Log("RegexSearch(): Matching error %d\n", -2);
  log.Close();
  log.Log("after close is dropped");
  EXPECT_EQ(ReadAll(path_),
            "Error log for 01/31\r\n\r\n"
            "          ReadBuildOptions() Error: x\r\n"
            "          RegexSearch(): Matching error -2\r\n\r\n"
            "\r\nEnd of error log for 01/31\r\n");
}

TEST_F(ErrorLogTest, ClosedLogIgnoresEverything) {
  ErrorLog log;
  log.Log("nothing");
  EXPECT_TRUE(log.Close());
  EXPECT_FALSE(log.Open(nullptr));
  EXPECT_FALSE(log.Open(""));
  EXPECT_FALSE(log.Open((::testing::TempDir() + "no/such/dir/x.err").c_str()));
  EXPECT_FALSE(log.IsOpen());
}

TEST_F(ErrorLogTest, LongMessageIsCutTo255Characters) {
  ErrorLog log([] { return std::string("01/01"); });
  ASSERT_TRUE(log.Open(path_.c_str()));
  std::string big(1000, 'm');
  log.Log("%s", big.c_str());
  log.Close();
  std::string text = ReadAll(path_);
  std::string expected_line = std::string(10, ' ') + std::string(255, 'm') + "\r\n";
  EXPECT_NE(text.find(expected_line), std::string::npos);
  EXPECT_EQ(text.find(std::string(256, 'm')), std::string::npos);
}

TEST_F(ErrorLogTest, LinesFromTwoThreadsStayWhole) {
  ErrorLog log([] { return std::string("01/01"); });
  ASSERT_TRUE(log.Open(path_.c_str()));
  const int kLines = 2000;
  auto writer = [&log](char c) {
    std::string body(120, c);
    for (int i = 0; i < kLines; ++i) log.Log("%s", body.c_str());
  };
  std::thread a(writer, 'a'), b(writer, 'b');
  a.join();
  b.join();
  log.Close();

  std::istringstream in(ReadAll(path_));
  std::string line;
  int whole = 0;
  while (std::getline(in, line)) {
    if (line.rfind("          ", 0) != 0) continue;
    std::string expected = std::string(10, ' ') + std::string(120, line[10]) + "\r";
    ASSERT_EQ(line, expected);
    ++whole;
  }
  EXPECT_EQ(whole, 2 * kLines);
}

TEST(ErrorLogDate, LocalDateIsMonthSlashDay) {
  std::string d = ErrorLog::LocalDate();
  ASSERT_EQ(d.size(), 5u);
  EXPECT_EQ(d[2], '/');
}

}  // namespace error_log_test
}  // namespace quillon
