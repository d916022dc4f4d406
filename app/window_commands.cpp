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

std::vector<ContextMenuItem> ListContextMenu(const ContextMenuState& state) {
  const bool row = state.onRow && !state.busy;
  const bool rows = state.hasRows && !state.busy;
  std::vector<ContextMenuItem> items;
  if (state.onRow) {
    items.push_back({WindowCommand::OpenRowPage, "Ouvrir la page Web", row, true});
    items.push_back({WindowCommand::CopyRow, "Copier la ligne", row, false});
    items.push_back({WindowCommand::CopyKb, "Copier le numéro KB", row, false});
    items.push_back({});
  }
  items.push_back({WindowCommand::CopyList, "Copier la liste", rows, false});
  items.push_back({WindowCommand::Export, "Exporter…", rows, false});
  items.push_back({});
  items.push_back({WindowCommand::Scan, "Analyser", !state.busy, false});
  return items;
}
