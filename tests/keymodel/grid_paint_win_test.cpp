// The grid drawn by real GDI with the real grid font under Wine: colours
// read back from a DIB section, the count line's opaque box, the one-time
// window fit, and the cases where nothing may be drawn at all. Wine blends
// glyph edges into the background even at default quality, so a label's
// pixels are checked as blends of its colour and the background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "input/device_set.h"
#include "keymodel/grid_paint_win.h"
#include "tests/keymodel/stand_in_keyboard_win.h"

namespace {

constexpr int kDibWidth = 700, kDibHeight = 160;
constexpr DWORD kBackground = 0x306020; // DIB pixels are 0x00RRGGBB
constexpr DWORD kUp = 0x96B4BE, kBlack = 0, kRed = 0xF00000, kWhite = 0xFFFFFF;

int channel(DWORD c, int shift) { return (c >> shift) & 0xFF; }

// How far c lies along the line from 'from' to 'to', 0 to 1 (within
// rounding), or -1 when it is no blend of the two.
double blendOf(DWORD c, DWORD from, DWORD to) {
  int widest = 0;
  for (int s : {0, 8, 16})
    if (std::abs(channel(to, s) - channel(from, s)) >
        std::abs(channel(to, widest) - channel(from, widest)))
      widest = s;
  const double t = double(channel(c, widest) - channel(from, widest)) /
                   (channel(to, widest) - channel(from, widest));
  if (t < -0.01 || t > 1.01)
    return -1;
  for (int s : {0, 8, 16}) {
    const double want =
        channel(from, s) + t * (channel(to, s) - channel(from, s));
    if (std::abs(channel(c, s) - want) > 2.5)
      return -1;
  }
  return t;
}

// A memory DC on a 32-bit DIB filled with the background, grid font in.
class GridDib : public ::testing::Test {
protected:
  void SetUp() override {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kDibWidth;
    info.bmiHeader.biHeight = -kDibHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib_, nullptr);
    pixels_ = static_cast<DWORD *>(bits);
    clear();
    oldBitmap_ = SelectObject(dc_, dib_);
    font_ = createGridFont();
    oldFont_ = SelectObject(dc_, font_);
    GetTextMetricsA(dc_, &tm_);
    g_fitPending = true;
    g_keyboardLayout = LayoutJP;
  }
  void TearDown() override {
    g_devices.keyboard = nullptr;
    g_keyboardLayout = LayoutUnset;
    SelectObject(dc_, oldFont_);
    DeleteObject(font_);
    SelectObject(dc_, oldBitmap_);
    DeleteObject(dib_);
    DeleteDC(dc_);
  }
  DWORD at(int x, int y) const { return pixels_[y * kDibWidth + x]; }
  void clear() {
    std::fill(pixels_, pixels_ + kDibWidth * kDibHeight, kBackground);
  }
  // The pixels of x0..x1, y0..y1 (ends exclusive), row by row.
  std::vector<DWORD> box(int x0, int y0, int x1, int y1) const {
    std::vector<DWORD> pixels;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        pixels.push_back(at(x, y));
    return pixels;
  }
  bool untouched() const {
    return std::all_of(pixels_, pixels_ + kDibWidth * kDibHeight,
                       [](DWORD c) { return c == kBackground; });
  }
  int countIn(int x0, int y0, int x1, int y1, DWORD c) const {
    const std::vector<DWORD> pixels = box(x0, y0, x1, y1);
    return int(std::count(pixels.begin(), pixels.end(), c));
  }
  // -1 if any pixel in the box is no blend of from and to, else the
  // strongest blend found.
  double strongestBlend(int x0, int y0, int x1, int y1, DWORD from,
                        DWORD to) const {
    double strongest = 0;
    for (DWORD c : box(x0, y0, x1, y1)) {
      const double t = blendOf(c, from, to);
      if (t < 0)
        return -1;
      strongest = std::max(strongest, t);
    }
    return strongest;
  }
  // Each label's box (its bytes times A by H) holds its own colour over
  // the background and nothing else; blank labels leave it untouched.
  void expectLabelsInTheirColours(const GridPlan &plan) {
    for (int i = 0; i < kGridLabelCount; ++i) {
      const GridLabel &l = plan.labels[i];
      const int x1 = l.x + l.length * tm_.tmAveCharWidth;
      const int y1 = l.y + tm_.tmHeight;
      const DWORD ink = l.color == kKeyDownColor ? kBlack : kUp;
      const bool blank = std::strspn(l.text, " ") == size_t(l.length);
      SCOPED_TRACE(testing::Message()
                   << "label " << i << " '" << l.text << "'");
      const double strongest =
          strongestBlend(l.x, l.y, x1, y1, kBackground, ink);
      if (blank) {
        EXPECT_EQ(countIn(l.x, l.y, x1, y1, kBackground),
                  (x1 - l.x) * (y1 - l.y));
      } else {
        EXPECT_GE(strongest, 0.5);
      }
      // Held keys' glyphs all have fully covered, pure black pixels.
      if (ink == kBlack) {
        EXPECT_GT(countIn(l.x, l.y, x1, y1, kBlack), 0);
      }
    }
  }

  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr, oldFont_ = nullptr;
  HFONT font_ = nullptr;
  DWORD *pixels_ = nullptr;
  TEXTMETRICA tm_{};
};

} // namespace

TEST_F(GridDib, FontIsBoldShiftJisWithAGlyphForEveryLabel) {
  std::printf("grid font: tmHeight %ld tmAveCharWidth %ld tmMaxCharWidth %ld\n",
              tm_.tmHeight, tm_.tmAveCharWidth, tm_.tmMaxCharWidth);
  EXPECT_EQ(tm_.tmCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(tm_.tmHeight, 16);
  EXPECT_EQ(tm_.tmWeight, FW_BOLD);
  EXPECT_EQ(tm_.tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // set means variable
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    GridPlan plan;
    planGrid(plan, layout, KeyState{}, gridMetricsOf(dc_));
    for (const GridLabel &l : plan.labels) {
      WORD glyphs[17];
      const DWORD n = GetGlyphIndicesA(dc_, l.text, l.length, glyphs,
                                       GGI_MARK_NONEXISTING_GLYPHS);
      for (DWORD i = 0; i < n; ++i)
        EXPECT_NE(glyphs[i], 0xFFFF) << "label '" << l.text << "'";
    }
  }
  // 漢 is read as one double-byte character, not two Latin ones.
  WORD glyphs[2];
  EXPECT_EQ(GetGlyphIndicesA(dc_, "\x8A\xBF", 2, glyphs, 0), 1u);
}

TEST_F(GridDib, HeldKeysBlackTheRestUp) {
  KeyState state{};
  state.bytes[0x2A] = 0x80; // left Shift
  state.bytes[0x1E] = 0x80; // A
  for (KeyboardLayout layout : {LayoutUS, LayoutJP}) {
    clear();
    GridPlan plan;
    drawGrid(dc_, state, layout, plan);
    ASSERT_EQ(plan.keyCount, 2);
    expectLabelsInTheirColours(plan);
  }
}

TEST_F(GridDib, CountLineIsRedInAnOpaqueWhiteBox) {
  KeyState two{};
  two.bytes[0x2A] = two.bytes[0x1E] = 0x80;
  GridPlan plan;
  drawGrid(dc_, two, LayoutUS, plan);
  SIZE extent;
  GetTextExtentPoint32A(dc_, plan.countText, plan.countLength, &extent);
  const int x0 = tm_.tmAveCharWidth, y0 = 7 * tm_.tmHeight;
  const int x1 = x0 + extent.cx, y1 = y0 + tm_.tmHeight;
  EXPECT_EQ(countIn(x0, y0, x1, y1, kBackground), 0);
  EXPECT_GT(countIn(x0, y0, x1, y1, kRed), 0);
  EXPECT_GT(countIn(x0, y0, x1, y1, kWhite), 0);
  EXPECT_GE(strongestBlend(x0, y0, x1, y1, kWhite, kRed), 0);
  EXPECT_EQ(at(x0 - 1, y0 + 8), kBackground);
  EXPECT_EQ(at(x1, y0 + 8), kBackground);

  // A later count replaces the earlier one instead of piling on it.
  drawGrid(dc_, KeyState{}, LayoutUS, plan);
  const std::vector<DWORD> repainted = box(x0, y0, x1, y1);
  clear();
  drawGrid(dc_, KeyState{}, LayoutUS, plan);
  const std::vector<DWORD> fresh = box(x0, y0, x1, y1);
  EXPECT_EQ(repainted, fresh);
}

namespace {

// A zero-size captioned window, as start-up creates it, at a known place.
HWND makeWindow() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GridPaintTest";
    return RegisterClassA(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExA(0, "GridPaintTest", "grid",
                         WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                         40, 30, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

RECT windowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

} // namespace

TEST_F(GridDib, PaintDrawsWhatTheKeyboardReports) {
  StandInKeyboard keyboard;
  keyboard.state.bytes[0x2A] = keyboard.state.bytes[0x1E] = 0x80;
  g_devices.keyboard = &keyboard;
  g_fitPending = false;
  EXPECT_TRUE(paintGrid(dc_, nullptr));
  EXPECT_EQ(keyboard.reads, 1);
  GridPlan plan;
  planGrid(plan, LayoutJP, keyboard.state, gridMetricsOf(dc_));
  expectLabelsInTheirColours(plan);
  EXPECT_GT(countIn(tm_.tmAveCharWidth, 7 * tm_.tmHeight, 100, 8 * tm_.tmHeight,
                    kRed),
            0);
}

TEST_F(GridDib, NoKeyboardOrFailedReadDrawsAndFitsNothing) {
  HWND window = makeWindow();
  ASSERT_NE(window, nullptr);
  const RECT before = windowRect(window);
  EXPECT_FALSE(paintGrid(dc_, window));
  StandInKeyboard keyboard;
  keyboard.result = DIERR_INPUTLOST;
  g_devices.keyboard = &keyboard;
  EXPECT_FALSE(paintGrid(dc_, window));
  EXPECT_EQ(keyboard.reads, 1);
  EXPECT_TRUE(untouched());
  EXPECT_TRUE(g_fitPending);
  const RECT after = windowRect(window);
  EXPECT_TRUE(EqualRect(&after, &before));
  DestroyWindow(window);
}

TEST_F(GridDib, FirstPaintFitsTheWindowOnce) {
  HWND window = makeWindow();
  ASSERT_NE(window, nullptr);
  StandInKeyboard keyboard;
  g_devices.keyboard = &keyboard;
  HDC windowDc = GetDC(window);
  HGDIOBJ oldFont = SelectObject(windowDc, font_);
  TEXTMETRICA tm;
  GetTextMetricsA(windowDc, &tm);
  RECT want{0, 0, 3 * tm.tmMaxCharWidth + 51 * tm.tmAveCharWidth + 100,
            8 * tm.tmHeight};
  AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, FALSE, 0);

  EXPECT_TRUE(paintGrid(windowDc, window));
  const RECT fitted = windowRect(window);
  EXPECT_EQ(fitted.right - fitted.left, want.right - want.left);
  EXPECT_EQ(fitted.bottom - fitted.top, want.bottom - want.top);
  EXPECT_EQ(fitted.left, 40);
  EXPECT_EQ(fitted.top, 30);
  EXPECT_FALSE(g_fitPending);

  SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(paintGrid(windowDc, window));
  const RECT later = windowRect(window);
  EXPECT_EQ(later.right - later.left, 300);
  EXPECT_EQ(later.bottom - later.top, 200);
  EXPECT_EQ(keyboard.reads, 2);

  SelectObject(windowDc, oldFont);
  ReleaseDC(window, windowDc);
  DestroyWindow(window);
}
