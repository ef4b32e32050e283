// The log as it lands on a Windows disk: CR LF line ends from text mode,
// and a name that cannot be created leaves the program without a log.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "keymodel/transition_log.h"
#include "tests/support/log_directory_win.h"

namespace {

class LogOnDisk : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(enterLogDirectory(dir_)); }
  void TearDown() override { leaveLogDirectory(dir_); }
  LogDirectory dir_;
};

} // namespace

TEST_F(LogOnDisk, ShortRunHasCrLfAndTheClosingLine) {
  FILE *log = openTransitionLog();
  ASSERT_NE(log, nullptr);
  KeyState none{}, keys{};
  keys.bytes[0x1E] = 0x80;
  keys.bytes[0x9C] = 0x80;
  compareAndReport(log, keys, none, LayoutJP);
  // Each batch is flushed: the lines are on disk before the file closes.
  EXPECT_EQ(logBytes(), "A down\r\nNumPad En down\r\n");
  compareAndReport(log, none, keys, LayoutJP);
  closeTransitionLog(log, LayoutJP);
  EXPECT_EQ(logBytes(), "A down\r\nNumPad En down\r\nA up\r\nNumPad En up\r\n"
                        "Keyboard type : Japanese 106 keyboard / DirectX\r\n");
  EXPECT_EQ(logBytes().size(), 8u + 16 + 6 + 14 + 49);
}

TEST_F(LogOnDisk, TruncatesAnEarlierLog) {
  {
    std::ofstream old(kLogFileName);
    old << "from an earlier run\n";
  }
  closeTransitionLog(openTransitionLog(), LayoutUS);
  EXPECT_EQ(logBytes(),
            "Keyboard type : PC/AT like US English keyboard / DirectX\r\n");
}

TEST_F(LogOnDisk, SecondCopyTruncatesAndTheFirstNeverWritesOverIt) {
  KeyState none{}, a{}, q{};
  a.bytes[0x1E] = 0x80;
  q.bytes[0x10] = 0x80;
  FILE *first = openTransitionLog();
  ASSERT_NE(first, nullptr);
  compareAndReport(first, a, none, LayoutUS);
  compareAndReport(first, none, a, LayoutUS);
  FILE *second = openTransitionLog(); // what another copy's start does
  ASSERT_NE(second, nullptr);
  compareAndReport(second, q, none, LayoutUS);
  compareAndReport(second, none, q, LayoutUS);
  closeTransitionLog(second, LayoutUS);
  // The first copy's offset is past the start of the truncated file; its
  // closing line must follow the second copy's, not overwrite it.
  closeTransitionLog(first, LayoutUS);
  EXPECT_EQ(logBytes(),
            "Q down\r\nQ up\r\n"
            "Keyboard type : PC/AT like US English keyboard / DirectX\r\n"
            "Keyboard type : PC/AT like US English keyboard / DirectX\r\n");
}

TEST_F(LogOnDisk, NameTakenByADirectoryMeansNoLog) {
  ASSERT_TRUE(CreateDirectoryA(kLogFileName, nullptr));
  FILE *log = openTransitionLog();
  EXPECT_EQ(log, nullptr);
  KeyState none{}, keys{};
  keys.bytes[0x1E] = 0x80;
  EXPECT_EQ(compareAndReport(log, keys, none, LayoutUS), 0);
  closeTransitionLog(log, LayoutUS);
  EXPECT_EQ(GetFileAttributesA(kLogFileName) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}
