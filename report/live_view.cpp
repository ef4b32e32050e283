// The screen is rebuilt whole for every batch and written over the last
// one from the top left, with line wrap off, so it never scrolls however
// narrow the terminal. The keyboard keeps the checker's arrangement: each
// label as wide as the checker draws it, one blank between keys, and the
// navigation block and keypad to the right of the widest row before them.
#include "report/live_view.h"

#include <cstring>
#include <string>

#include "keymodel/key_tables.h"
#include "report/platform.h"
#include "report/summary_text.h"

namespace {

constexpr int kKeyRows = 6;
constexpr const char *kLooks[] = {"\x1b[97;48;5;25m", "\x1b[97;48;5;166m",
                                  "\x1b[30;48;5;252m"};
constexpr char kReset[] = "\x1b[0m";
constexpr char kDot[] = " \xC2\xB7 ";

// Cells a UTF-8 name takes: the CJK ideographs two, all else here one.
int cellsOf(const char *text) {
  int cells = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
       *p != 0; ++p)
    if ((*p & 0xC0) != 0x80)
      cells += *p >= 0xE3 && *p <= 0xE9 ? 2 : 1;
  return cells;
}

struct Screen {
  std::string rows[kKeyRows];
  int columns[kKeyRows]; // the cell each row's text has reached
};

// Appends one key at column x of its row; returns the column after it.
int drawKey(Screen &screen, const Report &report, const KeyEntry &key, int row,
            int x) {
  const int width = static_cast<int>(std::strlen(key.label));
  const int name = report.names->byCode[report.layoutIndex][key.code];
  if (key.code == kFillerCode || name < 0)
    return x + width + 1;
  const char *text = cellText(report.names->names[name]);
  const int cells = cellsOf(text), left = (width - cells) / 2;
  std::string &line = screen.rows[row];
  line.append(x - screen.columns[row], ' ');
  line += kLooks[reportResult(report, name)];
  line.append(left > 0 ? left : 0, ' ');
  line += text;
  line.append(width - cells - left > 0 ? width - cells - left : 0, ' ');
  line += kReset;
  screen.columns[row] = x + (width > cells ? width : cells);
  return x + width + 1;
}

int drawBlock(Screen &screen, const Report &report, const KeyEntry *keys,
              int rows, int cols, int firstRow, int x) {
  int end = x;
  for (int r = 0; r < rows; ++r) {
    int at = x;
    for (int c = 0; c < cols; ++c)
      at = drawKey(screen, report, keys[r * cols + c], firstRow + r, at);
    end = at > end ? at : end;
  }
  return end;
}

void drawKeyboard(Screen &screen, const Report &report) {
  for (int r = 0; r < kKeyRows; ++r)
    screen.rows[r] = " ", screen.columns[r] = 1;
  int end = drawBlock(screen, report, TopRowKeys, 1, kTopRowCols, 0, 1);
  const int mainEnd =
      drawBlock(screen, report, &mainBlockFor(report.layout)[0][0], kMainRows,
                kMainCols, 1, 1);
  end = drawBlock(screen, report, &NavKeys[0][0], kNavRows, kNavCols, 0,
                  (end > mainEnd ? end : mainEnd) + 1);
  drawBlock(screen, report, &NumPadKeys[0][0], kPadRows, kPadCols, 0, end + 1);
}

void headerOf(const LiveView &view, std::string &line) {
  static const char *const kSays[] = {
      "watching ", "waiting for the checker's log: ", "emptied, a new run: ",
      "closed; waiting for the checker to start again: "};
  line = kSays[view.event];
  line += fileNameText(view.logPath); // a control would move the cursor
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
  drawKeyboard(screen, report);
  for (const std::string &row : screen.rows)
    out += row + "\x1b[K\r\n";
  out += std::string("\x1b[K\r\n ") + kLooks[KeyTested] + " tested " + kReset +
         " " + kLooks[KeyHeld] + " held now " + kReset + " " +
         kLooks[KeyNever] + " never pressed " + kReset + "\x1b[K\r\n\x1b[K\r\n";
  const int keys = report.names->orderCount[report.layoutIndex];
  const int tested = report.count[KeyTested];
  char status[160];
  std::snprintf(status, sizeof status,
                "tested %d of %d%s%d left%s%d held now%sat most %d at once",
                tested, keys, kDot, keys - tested, kDot, report.count[KeyHeld],
                kDot, report.tally->maxHeld);
  out += std::string(status) + "\x1b[K\r\n";
  std::string left = "left:";
  for (int i = 0; i < keys; ++i) {
    const int name = reportName(report, i);
    if (reportResult(report, name) != KeyTested)
      left += std::string(" ") + report.names->names[name].utf8;
  }
  int free = rows - 14;
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
                 report.names->names[batch.names[i]].utf8,
                 batch.downs[i] ? "down" : "up");
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
