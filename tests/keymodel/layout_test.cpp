#include <gtest/gtest.h>

#include "keymodel/layout.h"

TEST(LayoutFromCommandLine, OnlyTheWholeTailSelects) {
  EXPECT_EQ(layoutFromCommandLine("/jp"), LayoutJP);
  EXPECT_EQ(layoutFromCommandLine("/en"), LayoutUS);
  EXPECT_EQ(layoutFromCommandLine(""), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine(nullptr), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine("/jp "), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine("/JP"), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine("/en1"), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine("/e"), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine(" /jp"), LayoutUnset);
  EXPECT_EQ(layoutFromCommandLine("/jp /en"), LayoutUnset);
}

TEST(LayoutFromCommandLine, NeverReadsPastTheTail) {
  // A two-byte heap block: a read past the NUL trips AddressSanitizer.
  char *tail = new char[2]{'/', '\0'};
  EXPECT_EQ(layoutFromCommandLine(tail), LayoutUnset);
  delete[] tail;
}

TEST(LayoutFromDeviceType, SubtypeByteDecides) {
  EXPECT_EQ(layoutFromDeviceType(0x00000A03), LayoutJP);
  EXPECT_EQ(layoutFromDeviceType(0x00000B03), LayoutJP);
  EXPECT_EQ(layoutFromDeviceType(0x00000403), LayoutUS);
  EXPECT_EQ(layoutFromDeviceType(0x00000103), LayoutUS);
  EXPECT_EQ(layoutFromDeviceType(0x00000903), LayoutUS);
  EXPECT_EQ(layoutFromDeviceType(0x00000C03), LayoutUS);
  EXPECT_EQ(layoutFromDeviceType(0x00000003), LayoutUS);
  // Bits above the subtype byte (HID flags, usage page) play no part.
  EXPECT_EQ(layoutFromDeviceType(0xFFFF0A03), LayoutJP);
  EXPECT_EQ(layoutFromDeviceType(0x00010403), LayoutUS);
  EXPECT_EQ(layoutFromDeviceType(0xFFFF0403), LayoutUS);
}
