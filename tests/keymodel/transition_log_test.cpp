// The transition log on a real file in a fresh directory: its lines and
// their order, what reaches the disk before the file is closed, and a
// second copy of the program emptying the file under the first.
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
  FILE *log = openTransitionLog();
  // Left Windows (0x5B) is in no table; A and Q changed in one reading.
  const KeyState held = keysDown({0x1E, 0x10, 0xD2, 0x47, 0x9C, 0x5B, 0x57});
  EXPECT_EQ(compareAndReport(log, held, kNone, LayoutUnset), 6);
  const std::string downs = lines({"F11 down", "Q down", "A down", "Ins  down",
                                   "NumPad 7  down", "NumPad En down"});
  EXPECT_EQ(logOnDisk(), downs) << "each pass goes to the disk at once";
  EXPECT_EQ(compareAndReport(log, held, held, LayoutUnset), 0);
  EXPECT_EQ(compareAndReport(nullptr, held, kNone, LayoutJP), 0); // no log
  compareAndReport(log, kNone, held, LayoutUnset);
  closeTransitionLog(log, LayoutUnset);
  EXPECT_EQ(logOnDisk(), downs + lines({"F11 up", "Q up", "A up", "Ins  up",
                                        "NumPad 7  up", "NumPad En up",
                                        "Keyboard type : PC/AT like US English "
                                        "keyboard / DirectX"}));
}

TEST_F(Log, OpenEmptiesTheFileAndASecondCopyIsWrittenAfter) {
  std::ofstream(kLogFileName) << "an older run's lines\n";
  FILE *first = openTransitionLog();
  EXPECT_EQ(logOnDisk(), "");
  compareAndReport(first, keysDown({0xD2}), kNone, LayoutUS);
  // The second copy empties the log and writes a shorter line than ours.
  FILE *second = openTransitionLog();
  compareAndReport(second, keysDown({0x10}), kNone, LayoutUS);
  compareAndReport(first, kNone, keysDown({0x1E}), LayoutUS);
  EXPECT_EQ(logOnDisk(), lines({"Q down", "A up"}));
  fclose(second);
  fclose(first);
}

// A failed reading (the keyboard lost) neither logs nor moves the pair on,
// so the next good one is compared with the last snapshot reported; and
// the Japanese table is walked and named in the closing line.
TEST_F(Log, FailedReadingsChangeNothingAndTheJapaneseRunClosesAsSuch) {
  SnapshotPair pair;
  clearSnapshots(pair);
  FILE *log = openTransitionLog();
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
