#include "app/window_commands.h"

namespace {

struct KeyBinding {
  std::uint16_t key;
  bool ctrl;
  bool shift;
  WindowCommand command;
  bool listOnly;  // the search box keeps the key
};

constexpr KeyBinding kBindings[] = {
    {vk::F5, false, false, WindowCommand::Scan, false},
    {vk::Return, false, false, WindowCommand::OpenRowPage, true},
    {vk::C, true, false, WindowCommand::CopyRow, true},
    {vk::C, true, true, WindowCommand::CopyList, false},
    {vk::F, true, false, WindowCommand::FindText, false},
    {vk::F3, false, false, WindowCommand::FindText, false},
    {vk::S, true, false, WindowCommand::Export, false},
    {vk::Apps, false, false, WindowCommand::ContextMenu, true},
    {vk::F10, false, true, WindowCommand::ContextMenu, true},
};

}  // namespace

WindowCommand CommandForKey(std::uint16_t key, TShiftState shift, KeyTarget target) {
  if (shift.alt) return WindowCommand::None;
  for (const KeyBinding& binding : kBindings) {
    if (binding.key != key || binding.ctrl != shift.ctrl || binding.shift != shift.shift) continue;
    if (binding.listOnly && target != KeyTarget::List) return WindowCommand::None;
    return binding.command;
  }
  return WindowCommand::None;
}

std::string ShortcutText(WindowCommand command) {
  for (const KeyBinding& binding : kBindings) {
    if (binding.command != command) continue;
    std::string text;
    if (binding.ctrl) text += "Ctrl+";
    if (binding.shift) text += "Maj+";
    switch (binding.key) {
      case vk::Return:
        return text + "Entrée";
      case vk::Apps:
        return text + "Menu";
      default:
        break;
    }
    if (binding.key >= vk::F1 && binding.key <= vk::F12) {
      return text + "F" + std::to_string(binding.key - vk::F1 + 1);
    }
    return text + static_cast<char>(binding.key);  // a letter's key code is its capital
  }
  return {};
}

std::vector<ContextMenuItem> ListContextMenu(const ContextMenuState& state) {
  const bool row = state.onRow && !state.busy;
  const bool rows = state.hasRows && !state.busy;
  auto item = [](WindowCommand command, const char* text, bool enabled, bool isDefault = false) {
    return ContextMenuItem{command, text, enabled, isDefault, ShortcutText(command)};
  };
  std::vector<ContextMenuItem> items;
  if (state.onRow) {
    items.push_back(item(WindowCommand::OpenRowPage, "Ouvrir la page Web", row, true));
    items.push_back(item(WindowCommand::CopyRow, "Copier la ligne", row));
    items.push_back(item(WindowCommand::CopyKb, "Copier le numéro KB", row));
    items.push_back({});
  }
  items.push_back(item(WindowCommand::CopyList, "Copier la liste", rows));
  items.push_back(item(WindowCommand::Export, "Exporter…", rows));
  items.push_back({});
  items.push_back(item(WindowCommand::Scan, "Analyser", !state.busy));
  return items;
}
