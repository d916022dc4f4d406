// What a person waits for in the real window with 100,000 rows, timed on Windows or under Wine:
// from a click on "Analyser" to the rows painted, and from a click on a column's header to the
// list painted again, for each column both ways: the first click on it (right after a scan,
// when its keys are derived) and the next, which reverses the order. The rows come from the
// benchmarks' generator through a source that stands in for WMI. A benchmark program, not a
// test: it prints the timings and whether each is within its aim, and exits with 1 when one is
// not.
//   fixtally_window_timing [rows]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Systeme/com_scope_win32.h"
#include "bench/row_generator.h"
#include "objects_source.h"
#include "whole_window_win32.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

template <typename Action>
double TimeOnce(Action action) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  action();
  QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One line per operation; an aim of 0 means the timing is shown for information only.
bool Report(const char* operation, std::size_t rows, const std::vector<double>& times,
            double aimMs) {
  const double median = Median(times);
  const bool within = aimMs <= 0 || median <= aimMs;
  std::printf("%-34s %7zu rows  median %8.1f ms  (min %8.1f, max %8.1f, %zu runs)", operation, rows,
              median, *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()), times.size());
  if (aimMs > 0) {
    std::printf("  aim %5.0f ms  %s\n", aimMs, within ? "pass" : "FAIL");
  } else {
    std::printf("  (no aim)\n");
  }
  return within;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  ComScope com(COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  const std::vector<GeneratedRow> rows = GenerateRows(count, 20261208);
  ObjectsSource source(
      rows.size(), [&rows](std::size_t i) { return std::make_unique<GeneratedObject>(rows[i]); });
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "fixtally-timing";
  CreateDirectoryA(folder.c_str(), nullptr);

  bool within = true;
  {
    WholeWindow whole(source, folder);
    if (!whole.Show()) {
      std::fprintf(stderr, "the window could not be created\n");
      return 2;
    }
    TMainForm& form = whole.Form();
    const HWND list = whole.Control(ControlId::vst);

    // Three rounds of a scan, then two clicks on each column: after a scan no column has its
    // keys yet but the one the scan sorted by, so every first click derives them.
    constexpr TColumnIndex kColumns[] = {1, 2, 3, 0};
    std::vector<double> scans;
    std::vector<double> firstClicks[4], reversingClicks[4];
    const auto click = [&](TColumnIndex column) {
      return TimeOnce([&] {
        form.vst.HeaderClick(column, TMouseButton::mbLeft, {});
        whole.PaintNow();
      });
    };
    for (int run = 0; run < 3; ++run) {
      scans.push_back(TimeOnce([&] {
        whole.Click(ControlId::BtnSearch);
        whole.PaintNow();
      }));
      if (ListView_GetItemCount(list) != static_cast<int>(count) ||
          !whole.Dialogs().errorReports.empty()) {
        std::fprintf(stderr, "the scan showed %d rows of %zu\n", ListView_GetItemCount(list),
                     count);
        return 2;
      }
      for (const TColumnIndex column : kColumns) {
        firstClicks[column].push_back(click(column));
        reversingClicks[column].push_back(click(column));
      }
    }
    within = Report("\"Analyser\" to rows painted", count, scans, 500) && within;
    const char* names[] = {"column 0 (numbers)", "column 1 (dates)", "column 2 (texts)",
                           "column 3 (texts)"};
    for (TColumnIndex column = 0; column < 4; ++column) {
      const std::string first = std::string(names[column]) + ", first click";
      const std::string reversing = std::string(names[column]) + ", reversing click";
      within = Report(first.c_str(), count, firstClicks[column], 150) && within;
      within = Report(reversing.c_str(), count, reversingClicks[column], 150) && within;
    }
  }
  DeleteFileA((folder + "\\Fixtally.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  return within ? 0 : 1;
}
