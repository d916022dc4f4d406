// The saved window placement of any content: NthWord over any text and delimiters, and the
// placement record restored from section MAINFORM with any values on any screen.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "main_form_fakes.h"
#include "settings/form_placement.h"
#include "settings/nth_word.h"
#include "window_placement_fake.h"

namespace {

void CheckNthWord(FuzzedDataProvider& data) {
  const int n = data.ConsumeIntegralInRange<int>(-2, 40);
  const std::string delimiters = data.ConsumeBool() ? std::string(" ,") : fuzz::Text(data, 4);
  const std::string text = fuzz::MaybeHuge(data);
  const std::string word = NthWord(n, text, delimiters);
  if (n < 1) FUZZ_CHECK(word.empty());
  FUZZ_CHECK(word.find_first_of(delimiters) == std::string::npos);
  FUZZ_CHECK(word.empty() || text.find(word) != std::string::npos);
  // Words are counted from the first: a word n exists only if every word before it does.
  if (!word.empty() && n > 1) FUZZ_CHECK(!NthWord(n - 1, text, delimiters).empty());
  if (delimiters.empty() && n == 1) FUZZ_CHECK(word == text);
}

const char* const kKeys[] = {"FormVersion",         "Flags",   "ShowCmd", "PixelsPerInch",
                             "MinMaxPos",           "NormPos", "Visible", "NormPos(1280x1024)",
                             "MinMaxPos(1280x1024)"};

void CheckRestore(FuzzedDataProvider& data) {
  FakeIniStore ini;
  const std::string path = "C:\\Fixtally\\Fixtally.ini";
  auto& file = ini.files[path];
  while (data.remaining_bytes() > 0 && data.ConsumeBool()) {
    const char* key = data.PickValueInArray(kKeys);
    file[std::string("MAINFORM/") + key] = fuzz::MaybeHuge(data, 60);
  }
  FakeWindowPlacement window;
  window.visible = data.ConsumeBool();
  window.minimized = data.ConsumeBool();
  window.centred = data.ConsumeBool();
  window.screenWidth = data.ConsumeBool() ? 1280 : data.ConsumeIntegral<std::int32_t>();
  window.screenHeight = data.ConsumeBool() ? 1024 : data.ConsumeIntegral<std::int32_t>();
  window.pixelsPerInch = data.ConsumeBool() ? 96 : data.ConsumeIntegral<std::int32_t>();

  TFormPlacement placement(window);
  placement.IniFileName = path;
  placement.IniSection = "MAINFORM";
  placement.RestoreWindowPlacement(ini);

  FUZZ_CHECK(!window.applied.empty());
  for (std::size_t i = 0; i + 1 < window.applied.size(); ++i) {
    FUZZ_CHECK(window.applied[i].rcNormalPosition.left < window.applied[i].rcNormalPosition.right);
  }
  FUZZ_CHECK(window.applied.back().ptMaxPosition == (PlacementPoint{-4, -4}));
  FUZZ_CHECK(window.minimizeRequests <= 1);
  // A window to be minimized is shown normal first and minimized by the application later.
  if (window.minimizeRequests == 1) FUZZ_CHECK(window.state == TWindowState::wsNormal);
  // A window still hidden stays hidden.
  if (!window.visible) {
    for (const WindowPlacementRecord& record : window.applied) FUZZ_CHECK(record.showCmd == 0);
  }

  // What is saved from the restored window restores the same normal position.
  FakeIniStore saved;
  placement.SaveWindowPlacement(saved);
  FakeWindowPlacement reopened;
  reopened.visible = window.visible;
  reopened.screenWidth = window.screenWidth;
  reopened.screenHeight = window.screenHeight;
  reopened.pixelsPerInch = window.pixelsPerInch;
  TFormPlacement again(reopened);
  again.IniFileName = path;
  again.IniSection = "MAINFORM";
  again.RestoreWindowPlacement(saved);
  const PlacementRect& normal = window.record.rcNormalPosition;
  if (normal.left < normal.right) {
    FUZZ_CHECK(reopened.record.rcNormalPosition == normal);
    FUZZ_CHECK(reopened.centred == false);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  CheckNthWord(data);
  CheckRestore(data);
  return 0;
}
