// The station's lines. The window's size is fixed for a board, so it is
// laid out for the longest count and a long serial; a verdict naming many
// keys gives its counts first and is cut at the window's edge, since the
// results row and the log keep every key.
#include "keymodel/station_plan.h"

#include <algorithm>

namespace {

constexpr char kDot[] = " \xC2\xB7 "; // " · "
constexpr char kButtonText[] = "Fail unit";
constexpr char kPromptText[] = "Serial, then Enter: ";
constexpr char kCursor[] = "_";
// Room for a serial of this many digits without cutting it.
constexpr int kSerialRoom = 40;

int width(MeasureText measure, void *context, const std::string &text) {
  return measure(context, FaceNormal, text.data(), int(text.size()));
}

// "2 untested: S D", captions as the keycaps show them.
void addKeys(std::string &text, const BoardPlan &plan, const char *what,
             const std::vector<int> &keys) {
  if (keys.empty())
    return;
  text += text.empty() ? "FAIL: " : kDot;
  text += std::to_string(keys.size()) + " " + what + ":";
  for (int key : keys)
    text += " " + plan.caps[key].caption;
}

std::string failText(const BoardPlan &plan, const Verdict &verdict) {
  std::string text;
  addKeys(text, plan, "chattered", verdict.chattered);
  addKeys(text, plan, "held", verdict.held);
  addKeys(text, plan, "untested", verdict.untested);
  return text.empty() ? "FAIL" : text;
}

} // namespace

void layoutStationLines(BoardPlan &plan, int lineHeight, int margin,
                        MeasureText measure, void *context) {
  const int h = lineHeight;
  const int pad = std::max(2, h / 4); // the button's label to its edge
  StationLines &s = plan.station;
  s = StationLines{};
  s.shown = true;
  s.button = kButtonText;
  s.promptX = s.countX = margin;
  s.promptY = plan.verdictY + h;
  s.buttonTop = s.promptY + h + pad;
  s.countY = s.buttonTop + pad;
  s.buttonBottom = s.countY + h + pad;
  plan.noticeY = s.buttonBottom + pad;
  plan.clientHeight = plan.noticeY + h + margin;

  const std::string widestCount =
      std::string("unit 8888") + kDot + "8888 PASS" + kDot + "8888 FAIL";
  const std::string widestPrompt =
      kPromptText + std::string(kSerialRoom, '0') + kCursor;
  const int label = width(measure, context, s.button);
  const int buttonWidth = label + 2 * h;
  const int room =
      std::max(width(measure, context, widestPrompt),
               width(measure, context, widestCount) + h + buttonWidth);
  plan.clientWidth = std::max(plan.clientWidth, 2 * margin + room);
  s.buttonRight = plan.clientWidth - margin;
  s.buttonLeft = s.buttonRight - buttonWidth;
  s.buttonX = s.buttonLeft + h;
  s.buttonY = s.countY;
}

void colourStationPlan(BoardPlan &plan, const Station &station) {
  const StationUnit &unit = station.unit;
  colourBoardPlan(plan, unit.progress);
  StationLines &s = plan.station;
  s.count = stationCount(station);
  s.buttonActive = unit.phase == UnitTesting;
  if (unit.phase == UnitTesting) {
    plan.verdict.clear();
    s.prompt.clear();
    return;
  }
  plan.verdictColor = unit.pass ? kPassColor : kFailColor;
  plan.verdict = unit.pass ? "PASS" : failText(plan, unit.verdict);
  s.prompt = kPromptText + unit.serial + kCursor;
}

bool isOnStationButton(const BoardPlan &plan, int x, int y) {
  const StationLines &s = plan.station;
  return s.shown && s.buttonActive && x >= s.buttonLeft && x < s.buttonRight &&
         y >= s.buttonTop && y < s.buttonBottom;
}
