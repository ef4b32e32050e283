// The drawing is a millisecond behind the change it shows.
#include "x11/board_repaint.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include "keymodel/station_plan.h"
#include "keymodel/text_rules.h"

namespace {

// A change is drawn a millisecond later rather than at once: the drawing
// then does not compete for the CPU with whoever waits for the log line,
// and a burst within that millisecond is drawn once.
constexpr long kPaintDelayNs = 1000 * 1000;

void colour(BoardChecker &c) {
  if (!c.station) {
    colourBoardPlan(c.plan, c.progress);
  } else {
    colourStationPlan(c.plan, c.run.station);
  }
  noteBoardLogState(c.plan, logOf(c).state == LogWriting, c.logPlace);
  addKeyboardHoldNotice(c.plan, c.hold);
  // A row that could not be written: the unit waits, and Enter tries again.
  const std::string results = c.station ? stationResultsProblem(c.run) : "";
  if (!results.empty())
    addBoardNotice(c.plan, displayText(results));
}

void paint(BoardChecker &c) {
  if (c.stale) {
    colour(c);
    drawBoardPlan(c.display, c.main.window, c.canvas, c.fonts, c.plan);
  }
  if (c.exposed)
    showBoardCanvas(c.display, c.main.window, c.canvas);
  XFlush(c.display);
  c.stale = c.exposed = false;
}

} // namespace

void paintSoon(BoardChecker &c) {
  if (c.exposed && !c.stale)
    paint(c);
  if (!c.stale || c.paintArmed)
    return;
  const itimerspec soon = {{0, 0}, {0, kPaintDelayNs}};
  timerfd_settime(c.paintFd, 0, &soon, nullptr);
  c.paintArmed = true;
}

void onPaintTimer(BoardChecker &c) {
  uint64_t expirations;
  if (read(c.paintFd, &expirations, sizeof expirations) <= 0)
    return;
  c.paintArmed = false;
  paint(c);
}
