// Draws a board plan with GDI. Labels are UTF-8 in the board, so they go
// through the wide text calls, whatever the system's code page. Two fonts:
// a Japanese font draws a backslash as a yen sign, so plain ASCII texts get
// a Western one, and everything else the classic grid's Japanese font.
#include "app/board_paint.h"

#include "keymodel/grid_paint_win.h"

namespace {

// The faces of the window's size (by BoardFace), made when the plan is
// fitted and kept for the process's life; UI thread only.
struct BoardFonts {
  HFONT western[2];
  HFONT japanese[2];
};
BoardFonts g_fonts{};

// Asked for by name: a Western font asked for by its traits alone comes
// out Japanese on a Japanese system, and one named but missing is quietly
// replaced by one (Wine in a Japanese locale gives IPAGothic for Courier
// New), so a face counts only when the DC says it got that face.
HFONT westernFont(HDC dc, int cellHeight) {
  const char *faces[] = {"Consolas", "Courier New", "DejaVu Sans Mono"};
  HFONT font = nullptr;
  for (const char *face : faces) {
    font = CreateFontA(cellHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                       ANSI_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, face);
    HGDIOBJ old = SelectObject(dc, font);
    char got[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof got, got);
    SelectObject(dc, old);
    if (lstrcmpiA(got, face) == 0)
      break;
    if (face != faces[2])
      DeleteObject(font);
  }
  return font; // the last one asked for, whatever it became
}

void deleteFonts() {
  for (int face : {FaceNormal, FaceSmall}) {
    for (HFONT font : {g_fonts.western[face], g_fonts.japanese[face]})
      if (font != nullptr)
        DeleteObject(font);
    g_fonts.western[face] = g_fonts.japanese[face] = nullptr;
  }
}

// The plan's OpenBoardFonts, with the screen's DC as its context.
bool openFonts(void *context, int cellHeight, BoardMetrics &metrics) {
  HDC dc = static_cast<HDC>(context);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  deleteFonts();
  for (int face : {FaceNormal, FaceSmall}) {
    const int cell =
        face == FaceNormal ? cellHeight : smallCellHeight(cellHeight);
    g_fonts.western[face] = westernFont(dc, cell);
    g_fonts.japanese[face] =
        CreateFontA(cell, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                    SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, nullptr);
    if (g_fonts.japanese[face] == nullptr)
      return false;
    HGDIOBJ old = SelectObject(dc, g_fonts.japanese[face]);
    metrics.face[face] = gridMetricsOf(dc);
    SelectObject(dc, old);
  }
  return true;
}

void selectFontFor(HDC dc, int face, const char *text, int length) {
  bool ascii = true;
  for (int i = 0; i < length; ++i)
    ascii &= static_cast<unsigned char>(text[i]) < 0x80;
  SelectObject(dc, ascii && g_fonts.western[face] != nullptr
                       ? g_fonts.western[face]
                       : g_fonts.japanese[face]);
}

// A label (at most 24 bytes) or a line under the board widened. A verdict
// naming many keys is longer than any window is wide: it is cut, at a
// character's start, where it could no longer be seen.
constexpr int kWideChars = 512;

int widen(const char *text, int length, wchar_t (&wide)[kWideChars]) {
  if (length > kWideChars) {
    length = kWideChars;
    while (length > 0 &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
      --length;
  }
  return MultiByteToWideChar(CP_UTF8, 0, text, length, wide, kWideChars);
}

int measureWithDc(void *context, int face, const char *text, int length) {
  wchar_t wide[kWideChars];
  SIZE size{};
  HDC dc = static_cast<HDC>(context);
  selectFontFor(dc, face, text, length);
  GetTextExtentPoint32W(dc, wide, widen(text, length, wide), &size);
  return size.cx;
}

// Clipped to within, when given: a caption too long even for the small
// face ends at its keycap's edge.
void textOut(HDC dc, int face, int x, int y, const char *text, int length,
             uint32_t color, const RECT *within = nullptr) {
  wchar_t wide[kWideChars];
  selectFontFor(dc, face, text, length);
  SetTextColor(dc, color);
  ExtTextOutW(dc, x, y, within != nullptr ? ETO_CLIPPED : 0, within, wide,
              widen(text, length, wide), nullptr);
}

void drawCap(HDC dc, const BoardCap &cap, int frame) {
  SetDCPenColor(dc, kCapEdgeColor);
  SetDCBrushColor(dc, cap.fill);
  Rectangle(dc, cap.left, cap.top, cap.right, cap.bottom);
  if (cap.chatter) {
    SetDCBrushColor(dc, kChatterColor);
    HBRUSH red = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (int i = 0; i < frame; ++i) {
      RECT r{cap.left + i, cap.top + i, cap.right - i, cap.bottom - i};
      FrameRect(dc, &r, red);
    }
  }
  const int edge = cap.chatter ? frame : 1;
  const RECT inside{cap.left + edge, cap.top + edge, cap.right - edge,
                    cap.bottom - edge};
  for (int l = 0; l < cap.lineCount; ++l)
    textOut(dc, cap.face, cap.lines[l].x, cap.lines[l].y,
            cap.caption.data() + cap.lines[l].offset, cap.lines[l].length,
            cap.text, &inside);
}

void fill(HDC dc, const RECT &r, uint32_t color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

bool sameLook(const BoardCap &a, const BoardCap &b) {
  return a.fill == b.fill && a.text == b.text && a.chatter == b.chatter;
}

// The frame off screen and what it shows, kept for the window's life: a
// change redraws and copies only the keycaps it touched and the lines
// under the board. UI thread only.
struct Frame {
  HDC dc;
  std::vector<BoardCap> shown;
  std::string lines; // as linesOf gives them
};
Frame g_frame{};

void makeFrame(HWND window, const BoardPlan &plan) {
  HDC screen = GetDC(window);
  g_frame.dc = CreateCompatibleDC(screen);
  SelectObject(g_frame.dc, CreateCompatibleBitmap(screen, plan.clientWidth,
                                                  plan.clientHeight));
  ReleaseDC(window, screen);
  fill(g_frame.dc, {0, 0, plan.clientWidth, plan.clientHeight},
       kBoardBackColor);
  SelectObject(g_frame.dc, GetStockObject(DC_PEN));
  SelectObject(g_frame.dc, GetStockObject(DC_BRUSH));
  SetBkMode(g_frame.dc, TRANSPARENT);
  g_frame.lines = "\n"; // no plan's lines match: drawn the first time
}

// Everything the band under the keys shows, as one text.
std::string linesOf(const BoardPlan &plan) {
  const StationLines &s = plan.station;
  return plan.status + '\n' + plan.verdict + '\n' + plan.notice + '\n' +
         s.prompt + '\n' + s.count + (s.buttonActive ? "\n+" : "\n-");
}

void drawStationLines(HDC dc, const StationLines &s) {
  textOut(dc, FaceNormal, s.promptX, s.promptY, s.prompt.data(),
          int(s.prompt.size()), kStatusTextColor);
  textOut(dc, FaceNormal, s.countX, s.countY, s.count.data(),
          int(s.count.size()), kStatusTextColor);
  SetDCPenColor(dc, kCapEdgeColor);
  SetDCBrushColor(dc, s.buttonActive ? kButtonColor : kNeverFillColor);
  Rectangle(dc, s.buttonLeft, s.buttonTop, s.buttonRight, s.buttonBottom);
  textOut(dc, FaceNormal, s.buttonX, s.buttonY, s.button.data(),
          int(s.button.size()),
          s.buttonActive ? kStatusTextColor : kNeverTextColor);
}

} // namespace

bool fitBoardPlanTo(HDC dc, BoardPlan &plan, const Board &board,
                    const std::vector<std::string> &legends, int maxWidth,
                    int maxHeight, bool station) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  const bool fits = fitBoardPlan(plan, board, legends, maxWidth, maxHeight,
                                 openFonts, measureWithDc, dc, station);
  SelectObject(dc, old);
  return fits;
}

void drawBoardFrame(HWND window, const BoardPlan &plan) {
  if (g_frame.dc == nullptr)
    makeFrame(window, plan);
  HDC dc = g_frame.dc;
  for (size_t i = 0; i < plan.caps.size(); ++i) {
    const BoardCap &cap = plan.caps[i];
    if (i < g_frame.shown.size() && sameLook(cap, g_frame.shown[i]))
      continue;
    drawCap(dc, cap, plan.frame);
    const RECT r{cap.left, cap.top, cap.right, cap.bottom};
    InvalidateRect(window, &r, FALSE);
  }
  g_frame.shown = plan.caps;
  const std::string lines = linesOf(plan);
  if (lines == g_frame.lines)
    return;
  const RECT band{0, plan.statusY, plan.clientWidth, plan.clientHeight};
  fill(dc, band, kBoardBackColor);
  textOut(dc, FaceNormal, plan.statusX, plan.statusY, plan.status.data(),
          int(plan.status.size()), kStatusTextColor);
  textOut(dc, FaceNormal, plan.verdictX, plan.verdictY, plan.verdict.data(),
          int(plan.verdict.size()), plan.verdictColor);
  textOut(dc, FaceNormal, plan.noticeX, plan.noticeY, plan.notice.data(),
          int(plan.notice.size()), kStatusTextColor);
  if (plan.station.shown)
    drawStationLines(dc, plan.station);
  g_frame.lines = lines;
  InvalidateRect(window, &band, FALSE);
}

void paintBoardFrame(HDC dc, const RECT &update) {
  // BeginPaint clipped dc to what was invalidated: only that is copied.
  BitBlt(dc, update.left, update.top, update.right - update.left,
         update.bottom - update.top, g_frame.dc, update.left, update.top,
         SRCCOPY);
}
