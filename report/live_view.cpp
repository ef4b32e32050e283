// The screen is rebuilt whole for every batch and written over the last
// one from the top left, with line wrap off, so it never scrolls however
// narrow the terminal. The keyboard keeps the checker's arrangement: each
// label as wide as the checker draws it, one blank between keys, and the
// navigation block and keypad to the right of the widest row before them.
#include "report/live_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "keymodel/text_rules.h"
#include "report/platform.h"
#include "report/summary_text.h"

namespace {

constexpr int kKeyRows = 6;
constexpr const char *kLooks[] = {"\x1b[97;48;5;25m", "\x1b[97;48;5;166m",
                                  "\x1b[30;48;5;252m"};
constexpr char kChatterLook[] = "\x1b[97;48;5;160m";
constexpr char kReset[] = "\x1b[0m";
constexpr char kDot[] = " \xC2\xB7 ";

// One text row per key row (y 0, 1.5, 2.5, ... land on rows 0, 2, 3, ...);
// columns scaled so the board fits the terminal, at most 5 to a key unit.
struct Screen {
  std::vector<std::string> rows;
  std::vector<int> columns; // the cell each row's text has reached
};

// The label cut to at most cells cells, and the cells it takes.
std::string fitted(const char *text, int cells, int &used) {
  std::string out;
  used = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
       *p != 0;) {
    const int width = cellsOfLead(*p);
    int bytes = 1;
    while ((p[bytes] & 0xC0) == 0x80)
      ++bytes;
    if (used + width > cells)
      break;
    out.append(reinterpret_cast<const char *>(p), bytes);
    used += width;
    p += bytes;
  }
  return out;
}

void drawKey(Screen &screen, const Report &report, int index, double scale) {
  const BoardKey &key = report.board->keys[index];
  const size_t row = static_cast<size_t>(std::lround(key.y));
  const int x = 1 + static_cast<int>(std::lround(key.x * scale));
  const int end = 1 + static_cast<int>(std::lround((key.x + key.w) * scale));
  const int width = end - x - 1; // a blank between caps
  std::string &line = screen.rows[row];
  int &column = screen.columns[row];
  if (width < 1 || x < column)
    return;
  int cells = 0;
  const std::string text =
      fitted(displayText(capText(key)).c_str(), width, cells);
  const int left = (width - cells) / 2;
  line.append(x - column, ' ');
  line += report.progress.keys[index].chattered
              ? kChatterLook
              : kLooks[reportResult(report, index)];
  line.append(left, ' ');
  line += text;
  line.append(width - cells - left, ' ');
  line += kReset;
  column = x + width;
}

void drawKeyboard(Screen &screen, const Report &report, int columns) {
  const Board &board = *report.board;
  const double fit = (columns - 2) / board.width;
  const double scale = fit > 5 ? 5 : fit < 2 ? 2 : fit;
  const size_t rows = static_cast<size_t>(std::lround(board.height)) + 1;
  screen.rows.assign(rows, " ");
  screen.columns.assign(rows, 1);
  // Row by row, left to right, whatever the file's order.
  std::vector<int> order(board.keys.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const BoardKey &ka = board.keys[a], &kb = board.keys[b];
    return std::lround(ka.y) != std::lround(kb.y) ? ka.y < kb.y : ka.x < kb.x;
  });
  for (int index : order)
    drawKey(screen, report, index, scale);
}

void headerOf(const LiveView &view, std::string &line) {
  static const char *const kSays[] = {
      "watching ", "waiting for the checker's log: ", "emptied, a new run: ",
      "closed; waiting for the checker to start again: "};
  line = kSays[view.event];
  line += displayText(view.logPath); // a control would move the cursor
  line += "   (Ctrl+C ends)";
}

// Words after a title, wrapped at the width, on at most maxLines lines.
int addWrapped(std::string &out, const std::string &words, int width,
               int maxLines) {
  int lines = 0;
  size_t from = 0;
  while (from < words.size() && lines < maxLines) {
    size_t cut = words.size();
    if (cellsOf(words.substr(from).c_str()) > width) {
      cut = from + static_cast<size_t>(width);
      while (cut > from && words[cut] != ' ')
        --cut;
      cut = cut == from ? from + static_cast<size_t>(width) : cut;
    }
    out += words.substr(from, cut - from) + "\x1b[K\r\n";
    from = cut + (cut < words.size() && words[cut] == ' ');
    ++lines;
  }
  return lines;
}

void drawScreen(const LiveView &view, const Report &report) {
  int columns = 80, rows = 24;
  terminalSize(view.out, columns, rows);
  std::string out = "\x1b[H", header;
  headerOf(view, header);
  out += header + "\x1b[K\r\n\x1b[K\r\n";
  Screen screen;
  drawKeyboard(screen, report, columns);
  for (const std::string &row : screen.rows)
    out += row + "\x1b[K\r\n";
  out += std::string("\x1b[K\r\n ") + kLooks[KeyTested] + " tested " + kReset +
         " " + kLooks[KeyHeld] + " held now " + kReset + " " +
         kLooks[KeyNever] + " never pressed " + kReset + " " + kChatterLook +
         " chatter " + kReset + "\x1b[K\r\n\x1b[K\r\n";
  const int keys = static_cast<int>(report.board->keys.size());
  // The checker's own status line, and its counts.
  char status[160];
  std::snprintf(status, sizeof status,
                "tested %d of %d%s%d held%s%d left%sat most %d at once",
                report.count[KeyTested], keys, kDot, report.count[KeyHeld],
                kDot, report.count[KeyNever], kDot, report.tally->maxHeld);
  out += std::string(status) + "\x1b[K\r\n";
  // The verdict only once it can be anything but "not yet".
  if (report.count[KeyNever] == 0 || report.closed) {
    out += std::string("verdict: ") + verdictWord(report);
    for (const Reason &reason : verdictReasons(report))
      out += std::string(kDot) + reason.title + ": " +
             keyList(report, *reason.keys);
    out += "\x1b[K\r\n";
  }
  std::string left = "left:";
  for (int i = 0; i < keys; ++i)
    if (reportResult(report, i) == KeyNever)
      left += " " + labelText(report, i);
  int free = rows - 9 - static_cast<int>(screen.rows.size());
  // The last column stays free: erasing the line from there would take it.
  free -= addWrapped(out, left, columns - 1, free > 2 ? free - 2 : 1);
  const Tally &tally = *report.tally;
  const long long kept =
      tally.chatterCount < kKeptChatter ? tally.chatterCount : kKeptChatter;
  std::string chatter = "chatter: ";
  chatter +=
      tally.chatterCount == 0 ? "none" : std::to_string(tally.chatterCount);
  out += chatter + "\x1b[K\r\n";
  // The newest chatter, as much of it as the screen has room for.
  for (long long i = kept - (free > 0 ? free : 0); i < kept; ++i) {
    if (i < 0)
      continue;
    char text[96];
    describeChatter(text, sizeof text, report, tally.chatter[i]);
    out += std::string("  ") + text + "\x1b[K\r\n";
  }
  out += "\x1b[J";
  std::fputs(out.c_str(), view.out);
  std::fflush(view.out);
}

void stamp(const LiveView &view, double at) {
  std::fprintf(view.out, "%8.3f s  ", at);
}

// A run of batches with no key in them (a file of anything but a log) is
// one line when it starts and one when it ends, however long it runs.
bool keylessBatch(LiveView &view, const Report &report, const Batch &batch,
                  double at) {
  if (batch.count > 0 || report.closed)
    return false;
  view.keylessAt = at;
  return view.keyless++ > 0;
}

void endKeyless(LiveView &view) {
  if (view.keyless > 1) {
    stamp(view, view.keylessAt);
    std::fprintf(view.out, "no key in %lld more batches\n", view.keyless - 1);
  }
  view.keyless = 0;
}

} // namespace

void startLiveView(LiveView &view, FILE *out, const char *logPath) {
  view.out = out;
  view.logPath = logPath;
  view.event = WatchReading;
  view.chatterShown = 0;
  view.keyless = 0;
  view.ansi = startAnsiTerminal(out);
  if (view.ansi) // a clear screen, no cursor, no line wrap
    std::fputs("\x1b[2J\x1b[?25l\x1b[?7l", out);
}

void showWatchEvent(LiveView &view, const Report &report, WatchEvent event,
                    double at) {
  view.event = event;
  view.chatterShown = event == WatchEmptied ? 0 : view.chatterShown;
  if (view.ansi)
    return drawScreen(view, report);
  std::string header;
  headerOf(view, header);
  endKeyless(view);
  stamp(view, at);
  std::fprintf(view.out, "%s\n", header.c_str());
  std::fflush(view.out);
}

void showBatch(LiveView &view, const Report &report, const Batch &batch,
               double at) {
  view.event = view.event == WatchClosedAtStart ? view.event : WatchReading;
  if (view.ansi)
    return drawScreen(view, report);
  if (keylessBatch(view, report, batch, at))
    return;
  if (batch.count > 0 || report.closed)
    endKeyless(view);
  stamp(view, at);
  for (long long i = 0; i < batch.count && i < kBatchShown; ++i)
    std::fprintf(view.out, "%s%s %s", i > 0 ? ", " : "",
                 batch.labels[i].c_str(), batch.downs[i] ? "down" : "up");
  if (batch.count == 0)
    std::fputs(report.closed ? "closing line" : "no key in it", view.out);
  if (batch.count > kBatchShown)
    std::fprintf(view.out, " (+%lld more)", batch.count - kBatchShown);
  std::fputc('\n', view.out);
  const Tally &tally = *report.tally;
  for (; view.chatterShown < tally.chatterCount &&
         view.chatterShown < kKeptChatter;
       ++view.chatterShown) {
    char text[96];
    describeChatter(text, sizeof text, report,
                    tally.chatter[view.chatterShown]);
    stamp(view, at);
    std::fprintf(view.out, "chatter %s\n", text);
  }
  std::fflush(view.out);
}

void endLiveView(LiveView &view) {
  endKeyless(view);
  if (view.ansi)
    std::fputs("\r\n\x1b[?7h\x1b[?25h", view.out);
  std::fflush(view.out);
}
