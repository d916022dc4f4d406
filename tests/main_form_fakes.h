#pragma once
// Recording fakes of every port TMainForm reaches, and a fixture that builds a TMainForm on them.
// Each fake appends what it was asked to one shared call log, so a test can check the order.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "portable_locale_text.h"
#include "app/main_form.h"
#include "fixed_offset_time_zone.h"
#include "settings/window_placement_port.h"
#include "window_placement_fake.h"

using CallLog = std::vector<std::string>;

class FakeFormView : public FormView {
 public:
  explicit FakeFormView(CallLog& log) : log_(log) {
    // The window's description, at 96 pixels per inch.
    bounds_[ControlId::BtnClose] = {639, 450, 100, 35};
    bounds_[ControlId::BtnSearch] = {10, 449, 100, 35};
    bounds_[ControlId::ASLink] = {340, 469, 8, 14};
    bounds_[ControlId::LabelCopyR] = {70, 54, 5, 17};
    bounds_[ControlId::LabelTitle] = {70, 30, 93, 21};
    bounds_[ControlId::ImgLogo] = {10, 25, 48, 48};
    bounds_[ControlId::LabelVersion] = {235, 39, 5, 10};
    bounds_[ControlId::BtnLinkWeb] = {230, 449, 100, 35};
    bounds_[ControlId::LabelNbKB] = {170, 33, 4, 17};
    bounds_[ControlId::BtnCopy] = {120, 449, 100, 35};
    bounds_[ControlId::LabelFiltre] = {600, 30, 136, 13};
    bounds_[ControlId::TopPanel] = {0, 0, 754, 20};
    bounds_[ControlId::vst] = {10, 80, 726, 341};
    bounds_[ControlId::EditSearch] = {600, 45, 136, 25};
  }
  void SetCaption(ControlId control, const std::string& text) override {
    captions_[control] = text;
    log_.push_back("SetCaption " + Name(control) + "=" + text);
  }
  std::string Caption(ControlId control) override { return captions_[control]; }
  std::string SearchText() override { return searchText; }
  void SetLinkAddress(const std::string& address) override {
    linkAddress = address;
    log_.push_back("SetLinkAddress " + address);
  }
  void SetFontColor(ControlId control, TColor color) override {
    fontColors[control] = color;
    log_.push_back("SetFontColor " + Name(control) + "=" + std::to_string(color));
  }
  std::string FormFontName() override { return "Segoe UI"; }
  void SetFontName(ControlId control, const std::string& name) override {
    log_.push_back("SetFontName " + Name(control) + "=" + name);
  }
  ControlBounds Bounds(ControlId control) override { return bounds_[control]; }
  void SetBounds(ControlId control, const ControlBounds& bounds) override {
    bounds_[control] = bounds;
  }
  int ClientWidth() override { return clientWidth; }
  int ClientHeight() override { return clientHeight; }
  int FormWidth() override { return formWidth; }
  void SetFormWidth(int width) override {
    formWidth = width;
    log_.push_back("SetFormWidth " + std::to_string(width));
  }
  int ScreenPixelsPerInch() override { return pixelsPerInch; }
  TCursor Cursor() override { return cursor; }
  void SetCursor(TCursor newCursor) override {
    cursor = newCursor;
    log_.push_back(newCursor == TCursor::crHourGlass ? "SetCursor hourglass" : "SetCursor default");
  }
  void ProcessMessages() override {
    log_.push_back("ProcessMessages");
    if (onProcessMessages) onProcessMessages();
  }
  void Close() override { log_.push_back("Close"); }

  static std::string Name(ControlId control) {
    static const char* const names[] = {"BtnClose",   "BtnSearch", "ASLink",       "LabelCopyR",
                                        "LabelTitle", "ImgLogo",   "LabelVersion", "BtnLinkWeb",
                                        "LabelNbKB",  "BtnCopy",   "LabelFiltre",  "TopPanel",
                                        "vst",        "EditSearch"};
    return names[static_cast<int>(control)];
  }

  std::string searchText;
  std::string linkAddress;
  std::map<ControlId, TColor> fontColors;
  int clientWidth = 754;
  int clientHeight = 501;
  int formWidth = 770;
  int pixelsPerInch = 96;
  TCursor cursor = TCursor::crDefault;
  std::function<void()> onProcessMessages;  // input that arrives during the one pass

 private:
  CallLog& log_;
  std::map<ControlId, std::string> captions_;
  std::map<ControlId, ControlBounds> bounds_;
};

class FakeChrome : public WindowChrome {
 public:
  explicit FakeChrome(CallLog& log) : log_(log) {}
  void ApplyVistaFont() override { log_.push_back("ApplyVistaFont"); }
  void ShowInTaskbar() override { log_.push_back("ShowInTaskbar"); }
  void ApplyGlassLook() override { log_.push_back("ApplyGlassLook"); }

 private:
  CallLog& log_;
};

struct ShownMessage {
  std::string title, instruction, content;
  int icon = 0;
  int buttons = 0;
  bool keepLineBreaks = false;
};

class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(CallLog& log) : log_(log) {}
  int ShowTaskMessage(const std::string& title, const std::string& instruction,
                      const std::string& content, int icon, int buttons,
                      bool keepLineBreaks) override {
    messages.push_back({title, instruction, content, icon, buttons, keepLineBreaks});
    log_.push_back("ShowTaskMessage " + instruction);
    if (answers.empty()) return mrOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowErrorReport(const std::string& message) override {
    errorReports.push_back(message);
    log_.push_back("ShowErrorReport " + message);
  }
  void Beep() override {
    ++beeps;
    log_.push_back("Beep");
  }

  std::vector<ShownMessage> messages;
  std::vector<std::string> errorReports;
  std::deque<int> answers;  // what the user answers, in order
  int beeps = 0;

 private:
  CallLog& log_;
};

class FakeClipboard : public Clipboard {
 public:
  void SetText(const std::string& newText) override {
    if (refuse) throw EFixtallyError("Impossible d'ouvrir le Presse-papiers");
    text = newText;
    ++writes;
  }
  std::string text = "(previous content)";
  int writes = 0;
  bool refuse = false;
};

class FakeShell : public Shell {
 public:
  void OpenDocument(const std::string& path) override { opened.push_back(path); }
  std::vector<std::string> opened;
};

// An INI store over named in-memory files holding raw values (no value rules of its own).
class FakeIniStore : public IniStore {
 public:
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    auto file = files.find(path);
    if (file == files.end()) return defaultValue;
    auto value = file->second.find(section + "/" + key);
    return value == file->second.end() ? defaultValue : value->second;
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (refuseWrites) return false;
    files[path][section + "/" + key] = value;
    writes.push_back(section + "/" + key + "=" + value);
    return true;
  }
  std::string PathForMessage(const std::string& path) override { return path; }
  std::map<std::string, std::map<std::string, std::string>> files;
  std::vector<std::string> writes;
  bool refuseWrites = false;
};

// A hotfix source with no objects; scan tests use richer ones of their own.
class EmptyHotfixSource : public HotfixSource {
 public:
  std::unique_ptr<HotfixService> ConnectServer(const std::string&, const std::string&,
                                               const std::string&, const std::string&) override {
    class NoInstances : public HotfixService {
      std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string&) override {
        class End : public HotfixEnumeration {
          std::unique_ptr<HotfixObject> Next() override { return nullptr; }
        };
        return std::make_unique<End>();
      }
    };
    return std::make_unique<NoInstances>();
  }
};

// A TMainForm over fakes. `source` may be replaced before the form is built.
struct MainFormFixture {
  CallLog log;
  FakeFormView view{log};
  FakeChrome chrome{log};
  FakeDialogs dialogs{log};
  EmptyHotfixSource emptySource;
  HotfixSource* source = &emptySource;
  std::unique_ptr<LocaleText> locale = MakePortableLocaleText();
  FixedOffsetTimeZone timeZone{0};
  FakeClipboard clipboard;
  FakeShell shell;
  FakeIniStore ini;
  FakeWindowPlacement placement;
  std::string executablePath = "C:\\Program Files\\Fixtally\\Fixtally.exe";
  int currentYear = 2026;
  BeyondQfePort* beyondQfe = nullptr;  // the sources beyond WMI; none by default
  std::unique_ptr<TMainForm> form;

  TMainForm& Build() {
    MainFormPorts ports{view,    chrome,    dialogs,        *source,
                        *locale, timeZone,  clipboard,      shell,
                        ini,     placement, executablePath, [this] { return currentYear; }};
    ports.beyondQfe = beyondQfe;
    form = std::make_unique<TMainForm>(ports);
    return *form;
  }
};
