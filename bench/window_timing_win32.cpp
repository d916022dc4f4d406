// What a person waits for in the real window, timed on Windows or under Wine beside a bare list
// view in the same process and run (bench/bare_list_win32.h): from a click on "Analyser" to the
// rows painted, against reading the same objects into four texts per row, sorting them by KB
// number, setting the item count and painting; and from a click on a column's header to the
// list painted again, for each column both ways (the first click on it, right after a scan,
// when its keys are derived, and the next, which reverses the order), against re-ordering those
// rows by a key derived beforehand and painting. The rows come from the benchmarks' generator
// through a source that stands in for WMI. Each round times the window and the bare list one
// step after the other (which goes first alternates), so both see the same machine; the ratio
// is taken within each round. A benchmark program, not a test: it prints the ratios and the
// absolute times, and exits with 1 when a ratio misses its goal: any at 100,000 rows, any
// click's at 1,000 rows (where a cost paid once per click, whatever the rows, would show).
//   fixtally_window_timing [rows...]     (default: 1000 10000 100000)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Systeme/com_scope_win32.h"
#include "bench/bare_list_win32.h"
#include "bench/row_generator.h"
#include "objects_source.h"
#include "whole_window_win32.h"

namespace {

constexpr std::size_t kGoalRows = 100000;
constexpr std::size_t kClickGoalRows = 1000;
constexpr double kGoalRatio = 1.5;
constexpr int kRounds = 7;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Spread {
  double median, min, max;
};

Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

// One operation's timings over the rounds, in milliseconds: the window's (what its handler
// took, then the painting) and the bare list's (its work, its item count, its painting).
struct Timings {
  std::vector<double> handling, painting;
  std::vector<double> bareWork, bareCount, barePainting;

  double Ours(std::size_t i) const { return handling[i] + painting[i]; }
  double Bare(std::size_t i) const { return bareWork[i] + bareCount[i] + barePainting[i]; }
  std::vector<double> Ours() const {
    return Each([this](std::size_t i) { return Ours(i); });
  }
  std::vector<double> Bare() const {
    return Each([this](std::size_t i) { return Bare(i); });
  }
  std::vector<double> Ratios() const {
    return Each([this](std::size_t i) { return Ours(i) / Bare(i); });
  }

  template <typename Value>
  std::vector<double> Each(Value value) const {
    std::vector<double> values;
    for (std::size_t i = 0; i < handling.size(); ++i) values.push_back(value(i));
    return values;
  }
};

struct Operation {
  std::string name;
  Timings timings;
};

// The window's steps and the bare list's, each timed by parts.
class Rounds {
 public:
  Rounds(WholeWindow& whole, BareList& bare) : whole_(whole), bare_(bare) {}

  // The window's step, then the bare list's, or the other way round. Each step begins as a
  // person's would, after a pause in which the window has handled what was waiting and done its
  // idle work: the message loop's share of the time, untimed, as the bare list's keys are derived
  // untimed before its first sort.
  template <typename Ours, typename Bare>
  void Time(Timings& timings, bool bareFirst, Ours ours, Bare bare) {
    Pause();
    if (bareFirst) TimeBare(timings, bare);
    Pause();
    TimeOurs(timings, ours);
    Pause();
    if (!bareFirst) TimeBare(timings, bare);
  }

  // True when a step of the bare list painted no row: its time would be no baseline.
  bool BarePaintedNothing() const { return barePaintedNothing_; }

 private:
  template <typename Ours>
  void TimeOurs(Timings& timings, Ours ours) {
    const double start = Now();
    ours();
    const double handled = Now();
    // Paints what the window invalidated, the list included.
    RedrawWindow(whole_.Window().Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double painted = Now();
    timings.handling.push_back(handled - start);
    timings.painting.push_back(painted - handled);
  }

  // The bare step returns what part of its work was the item count.
  template <typename Bare>
  void TimeBare(Timings& timings, Bare bare) {
    const double start = Now();
    const double count = bare();
    const double worked = Now();
    const std::size_t texts = bare_.TextsGiven();
    bare_.PaintNow();
    const double painted = Now();
    if (bare_.TextsGiven() == texts) barePaintedNothing_ = true;
    timings.bareWork.push_back(worked - start - count);
    timings.bareCount.push_back(count);
    timings.barePainting.push_back(painted - worked);
  }

  // What the program's message loop does between two of the user's actions.
  void Pause() {
    MSG message;
    do {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    } while (whole_.Form().IdleWork());
  }

  WholeWindow& whole_;
  BareList& bare_;
  bool barePaintedNothing_ = false;
};

// The window and the bare list side by side, each step timed `kRounds` times. False when
// either could not be made or showed the wrong rows.
bool Measure(std::size_t count, const std::string& folder, std::vector<Operation>& operations) {
  const std::vector<GeneratedRow> rows = GenerateRows(count, 20261208);
  ObjectsSource source(
      rows.size(), [&rows](std::size_t i) { return std::make_unique<GeneratedObject>(rows[i]); });
  WholeWindow whole(source, folder);
  if (!whole.Show()) {
    std::fprintf(stderr, "the window could not be created\n");
    return false;
  }
  // The two windows must not overlap: a covered part is not painted. The window goes to the
  // screen's corner, the bare list below it.
  const HWND window = whole.Window().Handle();
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const HWND list = whole.Control(ControlId::vst);
  BareList bare(list, {0, bounds.bottom});
  if (!bare.Created()) {
    std::fprintf(stderr, "the bare list could not be created\n");
    return false;
  }
  RECT bareBounds{};
  GetWindowRect(GetParent(bare.List()), &bareBounds);
  if (bareBounds.bottom > GetSystemMetrics(SM_CYSCREEN)) {
    std::fprintf(stderr, "the screen is too small for both lists (%ld pixels high needed)\n",
                 bareBounds.bottom);
    return false;
  }

  TMainForm& form = whole.Form();
  Rounds rounds(whole, bare);
  // After a scan no column has its keys yet but the one the scan sorted by, so every first
  // click derives them; column 0 comes last, as the scan's own sort derived its keys.
  constexpr TColumnIndex kColumns[] = {1, 2, 3, 0};
  const char* kColumnNames[] = {"column 0 (numbers)", "column 1 (dates)", "column 2 (texts)",
                                "column 3 (texts)"};
  operations.assign(1, Operation{"\"Analyser\" to rows painted", {}});
  for (const TColumnIndex column : kColumns) {
    operations.push_back({std::string(kColumnNames[column]) + ", first click", {}});
    operations.push_back({std::string(kColumnNames[column]) + ", reversing click", {}});
  }
  for (int round = 0; round < kRounds; ++round) {
    const bool bareFirst = round % 2 == 0;
    rounds.Time(
        operations[0].timings, bareFirst, [&] { whole.Click(ControlId::BtnSearch); },
        [&] {
          bare.ReadRows(source);
          const double start = Now();
          bare.ShowRowCount();
          return Now() - start;
        });
    if (ListView_GetItemCount(list) != static_cast<int>(count) ||
        !whole.Dialogs().errorReports.empty() ||
        ListView_GetItemCount(bare.List()) != static_cast<int>(count)) {
      std::fprintf(stderr, "the scan showed %d rows of %zu, the bare list %d\n",
                   ListView_GetItemCount(list), count, ListView_GetItemCount(bare.List()));
      return false;
    }
    bare.DeriveKeys();
    std::size_t next = 1;
    for (const TColumnIndex column : kColumns) {
      for (int click = 0; click < 2; ++click) {
        // The click turns the column's direction round; the bare list sorts the same way.
        const bool descending =
            form.ColumnDirections[static_cast<std::size_t>(column)] == sdAscending;
        rounds.Time(
            operations[next++].timings, bareFirst,
            [&] { form.vst.HeaderClick(column, TMouseButton::mbLeft, {}); },
            [&] {
              bare.SortBy(column, descending);
              return 0.0;
            });
      }
    }
  }
  if (rounds.BarePaintedNothing()) {
    std::fprintf(stderr, "the bare list painted no row in a step\n");
    return false;
  }
  return true;
}

// Whether an operation at `rows` rows has a goal: "Analyser" (operation 0) at 100,000 rows, every
// header click at 1,000 and 100,000.
bool HasGoal(std::size_t rows, std::size_t operation) {
  return rows == kGoalRows || (rows == kClickGoalRows && operation > 0);
}

const char* Verdict(std::size_t rows, std::size_t operation, double ratio) {
  const bool within = ratio <= kGoalRatio;
  if (HasGoal(rows, operation)) return within ? "pass" : "FAIL";
  return within ? "(ok)" : "(over)";
}

void PrintTable(std::size_t rows, const std::vector<Operation>& operations) {
  std::printf(
      "%zu rows, %d rounds: ratio to the bare list (median, min-max of the rounds); times "
      "in ms, median (min-max)\n",
      rows, kRounds);
  std::printf("  %-34s %-21s %-24s %-24s %-7s %s\n", "operation", "ratio", "ours", "bare list",
              "goal", "result");
  for (std::size_t i = 0; i < operations.size(); ++i) {
    const Operation& operation = operations[i];
    const Spread ratio = SpreadOf(operation.timings.Ratios());
    const Spread ours = SpreadOf(operation.timings.Ours());
    const Spread bare = SpreadOf(operation.timings.Bare());
    char ratioText[32], oursText[32], bareText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.2fx (%.2f-%.2f)", ratio.median, ratio.min,
                  ratio.max);
    std::snprintf(oursText, sizeof oursText, "%.1f (%.1f-%.1f)", ours.median, ours.min, ours.max);
    std::snprintf(bareText, sizeof bareText, "%.1f (%.1f-%.1f)", bare.median, bare.min, bare.max);
    std::printf("  %-34s %-21s %-24s %-24s <=%.1fx  %s\n", operation.name.c_str(), ratioText,
                oursText, bareText, kGoalRatio, Verdict(rows, i, ratio.median));
  }
  std::printf(
      "  where the time goes (medians, ms): ours = handler + painting; bare list = "
      "reading or sorting + item count + painting\n");
  for (const Operation& operation : operations) {
    const Timings& t = operation.timings;
    std::printf("  %-34s ours %7.1f + %6.1f   bare %7.1f + %6.1f + %6.1f\n", operation.name.c_str(),
                SpreadOf(t.handling).median, SpreadOf(t.painting).median,
                SpreadOf(t.bareWork).median, SpreadOf(t.bareCount).median,
                SpreadOf(t.barePainting).median);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::strtoul(argv[i], nullptr, 10));
  if (counts.empty()) counts = {1000, 10000, 100000};
  ComScope com(COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "fixtally-timing";
  CreateDirectoryA(folder.c_str(), nullptr);

  int status = 0;
  for (const std::size_t count : counts) {
    std::vector<Operation> operations;
    if (count == 0 || !Measure(count, folder, operations)) {
      status = 2;
      break;
    }
    PrintTable(count, operations);
    std::fflush(stdout);
    for (std::size_t i = 0; i < operations.size(); ++i) {
      if (HasGoal(count, i) && SpreadOf(operations[i].timings.Ratios()).median > kGoalRatio &&
          status == 0) {
        status = 1;
      }
    }
  }
  DeleteFileA((folder + "\\Fixtally.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  return status;
}
