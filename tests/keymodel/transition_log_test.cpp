// The transition log on a real file in a fresh directory: its lines and
// their order, what reaches the disk before the file is closed, and a
// second copy of the program emptying the file under the first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "keymodel/transition_log.h"

namespace {

constexpr char kEnd[] = "\r\n"; // on every platform

KeyState keys(std::initializer_list<uint8_t> codes) {
  KeyState state{};
  for (uint8_t code : codes)
    state.bytes[code] = 0x80;
  return state;
}

std::string lines(std::initializer_list<std::string> texts) {
  std::string all;
  for (const std::string &t : texts)
    all += t + kEnd;
  return all;
}

std::string onDisk() {
  std::stringstream bytes;
  bytes << std::ifstream(kLogFileName, std::ios::binary).rdbuf();
  return bytes.str();
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
  const KeyState held = keys({0x1E, 0x10, 0xD2, 0x47, 0x9C, 0x5B, 0x57});
  EXPECT_EQ(compareAndReport(log, held, kNone, LayoutUnset), 6);
  const std::string downs = lines({"F11 down", "Q down", "A down", "Ins  down",
                                   "NumPad 7  down", "NumPad En down"});
  EXPECT_EQ(onDisk(), downs) << "each pass goes to the disk at once";
  EXPECT_EQ(compareAndReport(log, held, held, LayoutUnset), 0);
  EXPECT_EQ(compareAndReport(nullptr, held, kNone, LayoutJP), 0); // no log
  compareAndReport(log, kNone, held, LayoutUnset);
  closeTransitionLog(log, LayoutUnset);
  EXPECT_EQ(onDisk(), downs + lines({"F11 up", "Q up", "A up", "Ins  up",
                                     "NumPad 7  up", "NumPad En up",
                                     "Keyboard type : PC/AT like US English "
                                     "keyboard / DirectX"}));
}

TEST_F(Log, OpenEmptiesTheFileAndASecondCopyIsWrittenAfter) {
  std::ofstream(kLogFileName) << "an older run's lines\n";
  FILE *first = openTransitionLog();
  EXPECT_EQ(onDisk(), "");
  compareAndReport(first, keys({0xD2}), kNone, LayoutUS);
  // The second copy empties the log and writes a shorter line than ours.
  FILE *second = openTransitionLog();
  compareAndReport(second, keys({0x10}), kNone, LayoutUS);
  compareAndReport(first, kNone, keys({0x1E}), LayoutUS);
  EXPECT_EQ(onDisk(), lines({"Q down", "A up"}));
  fclose(second);
  fclose(first);
}
