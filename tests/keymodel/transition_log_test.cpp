// The transition log on a real file in a fresh directory: its lines and
// their order, what reaches the disk before the file is closed, a second
// copy of the program kept off the first one's log, and a failed write.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/keys_and_log.h"

namespace {

constexpr char kEnd[] = "\r\n"; // on every platform

std::string lines(std::initializer_list<std::string> texts) {
  std::string all;
  for (const std::string &t : texts)
    all += t + kEnd;
  return all;
}

struct Log : ::testing::Test {
  void SetUp() override {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() /
        ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
};

const KeyState kNone{};

} // namespace

TEST_F(Log, LinesInTableOrderReachTheDiskBeforeClose) {
  LogFile log;
  ASSERT_TRUE(openTransitionLog(log));
  // Left Windows (0x5B) is in no table; A and Q changed in one reading.
  const KeyState held = keysDown({0x1E, 0x10, 0xD2, 0x47, 0x9C, 0x5B, 0x57});
  EXPECT_EQ(compareAndReport(log, held, kNone, LayoutUnset), 6);
  const std::string downs = lines({"F11 down", "Q down", "A down", "Ins  down",
                                   "NumPad 7  down", "NumPad En down"});
  EXPECT_EQ(logOnDisk(), downs) << "each pass goes to the disk at once";
  EXPECT_EQ(compareAndReport(log, held, held, LayoutUnset), 0);
  compareAndReport(log, kNone, held, LayoutUnset);
  EXPECT_TRUE(closeTransitionLog(log, LayoutUnset));
  EXPECT_EQ(logOnDisk(), downs + lines({"F11 up", "Q up", "A up", "Ins  up",
                                        "NumPad 7  up", "NumPad En up",
                                        "Keyboard type : PC/AT like US English "
                                        "keyboard / DirectX"}));
}

TEST_F(Log, ASecondCopyRunsWithoutALogAndTheFirstStaysWhole) {
  std::ofstream(kLogFileName) << "an older run's lines\n";
  LogFile first, second;
  ASSERT_TRUE(openTransitionLog(first));
  EXPECT_EQ(logOnDisk(), "");
  compareAndReport(first, keysDown({0xD2}), kNone, LayoutUS);
  EXPECT_FALSE(openTransitionLog(second));
  EXPECT_EQ(second.state, LogInUse);
  EXPECT_EQ(compareAndReport(second, keysDown({0x10}), kNone, LayoutUS), 1);
  EXPECT_FALSE(closeTransitionLog(second, LayoutUS));
  compareAndReport(first, kNone, keysDown({0x1E}), LayoutUS);
  EXPECT_TRUE(closeTransitionLog(first, LayoutUS));
  EXPECT_EQ(
      logOnDisk(),
      lines({"Ins  down", "A up",
             "Keyboard type : PC/AT like US English keyboard / DirectX"}));
}

// A stream that refuses every write stands in for a full disk: the lines
// are still counted for the window, but the log stops at the failure and
// gets no closing line that would make it look whole.
TEST_F(Log, AFailedWriteStopsTheLogShortOfItsClosingLine) {
  LogFile log;
  ASSERT_TRUE(openTransitionLog(log));
  compareAndReport(log, keysDown({0x10}), kNone, LayoutUS);
  std::fclose(log.file);
  log.file = std::fopen(kLogFileName, "r");
  EXPECT_EQ(compareAndReport(log, kNone, keysDown({0x10}), LayoutUS), 1);
  EXPECT_EQ(log.state, LogWriteFailed);
  EXPECT_NE(std::string(logStateText(log)), "");
  EXPECT_EQ(compareAndReport(log, keysDown({0x1E}), kNone, LayoutUS), 1);
  EXPECT_FALSE(closeTransitionLog(log, LayoutUS));
  EXPECT_EQ(logOnDisk(), lines({"Q down"}));
}

// A failed reading (the keyboard lost) neither logs nor moves the pair on,
// so the next good one is compared with the last snapshot reported; and
// the Japanese table is walked and named in the closing line.
TEST_F(Log, FailedReadingsChangeNothingAndTheJapaneseRunClosesAsSuch) {
  SnapshotPair pair;
  clearSnapshots(pair);
  LogFile log;
  ASSERT_TRUE(openTransitionLog(log));
  const auto reads = [&](const KeyState &state) {
    return [&state](KeyState &into) { return into = state, true; };
  };
  const auto fails = [](KeyState &) { return false; };
  const KeyState yen = keysDown({0x7D}), roAndQ = keysDown({0x2B, 0x10});
  EXPECT_TRUE(takeReading(pair, log, LayoutJP, reads(yen)));
  EXPECT_FALSE(takeReading(pair, log, LayoutJP, fails));
  EXPECT_FALSE(takeReading(pair, log, LayoutJP, fails));
  EXPECT_TRUE(takeReading(pair, log, LayoutJP, reads(roAndQ)));
  EXPECT_FALSE(takeReading(pair, log, LayoutJP, fails));
  EXPECT_TRUE(takeReading(pair, log, LayoutJP, reads(kNone)));
  closeTransitionLog(log, LayoutJP);
  EXPECT_EQ(logOnDisk(),
            lines({"\\ down", "\\ up", "Q down", "\\ down", "Q up", "\\ up",
                   "Keyboard type : Japanese 106 keyboard / DirectX"}));
}
