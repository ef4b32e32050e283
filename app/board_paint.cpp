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

// A label (at most 24 bytes) or the status line widened.
constexpr int kWideChars = 128;

int widen(const char *text, int length, wchar_t (&wide)[kWideChars]) {
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
  std::string status, verdict, notice;
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
  g_frame.status = "\n"; // no status line matches: drawn the first time
}

} // namespace

bool fitBoardPlanTo(HDC dc, BoardPlan &plan, const Board &board,
                    const std::vector<std::string> &legends, int maxWidth,
                    int maxHeight) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  const bool fits = fitBoardPlan(plan, board, legends, maxWidth, maxHeight,
                                 openFonts, measureWithDc, dc);
  SelectObject(dc, old);
  return fits;
}

void updateBoardFrame(HWND window, BoardPlan &plan,
                      const BoardProgress &progress, bool logging,
                      const std::string &logPlace, const std::string &notice) {
  if (g_frame.dc == nullptr)
    makeFrame(window, plan);
  colourBoardPlan(plan, progress);
  noteBoardLogState(plan, logging, logPlace);
  if (!notice.empty())
    addBoardNotice(plan, notice);
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
  if (plan.status == g_frame.status && plan.verdict == g_frame.verdict &&
      plan.notice == g_frame.notice)
    return;
  const RECT lines{0, plan.statusY, plan.clientWidth, plan.clientHeight};
  fill(dc, lines, kBoardBackColor);
  textOut(dc, FaceNormal, plan.statusX, plan.statusY, plan.status.data(),
          int(plan.status.size()), kStatusTextColor);
  textOut(dc, FaceNormal, plan.verdictX, plan.verdictY, plan.verdict.data(),
          int(plan.verdict.size()), plan.verdictColor);
  textOut(dc, FaceNormal, plan.noticeX, plan.noticeY, plan.notice.data(),
          int(plan.notice.size()), kStatusTextColor);
  g_frame.status = plan.status;
  g_frame.verdict = plan.verdict;
  g_frame.notice = plan.notice;
  InvalidateRect(window, &lines, FALSE);
}

void paintBoardFrame(HDC dc, const RECT &update) {
  // BeginPaint clipped dc to what was invalidated: only that is copied.
  BitBlt(dc, update.left, update.top, update.right - update.left,
         update.bottom - update.top, g_frame.dc, update.left, update.top,
         SRCCOPY);
}
