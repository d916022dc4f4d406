#pragma once
// The main window as a table: every control with its place, size, text, font, colour, hint,
// tab order and the handler its event reaches, in the order the window holds them. Positions
// and sizes are pixels at 96 pixels per inch; fonts are character heights in pixels.
#include <array>
#include <cstdint>

#include "app/form_view.h"
#include "list/list_types.h"

enum class ControlKind { Button, LinkLabel, Label, Picture, Panel, List, Edit };

enum class FontColor : std::uint8_t { WindowText, Black, Blue, Navy, ScrollBar };

struct FontSpec {
  const char* name = nullptr;  // null: the window's font
  int height = 0;
  bool bold = false;
  FontColor color = FontColor::WindowText;
};

enum class FormEvent {
  None,
  BtnCloseClick,
  BtnSearchClick,
  BtnLinkWebClick,
  BtnCopyClick,
  LinkClick,
  TopPanelMouseDown,
  ListEvents,
  EditSearchChange
};

struct ControlSpec {
  ControlId id;
  const char* name;
  ControlKind kind;
  int left, top, width, height;
  const char* text;  // UTF-8
  FontSpec font;
  const char* hint;     // tooltip, UTF-8; null for none
  const char* picture;  // bitmap resource name; null for none
  int tabOrder;         // -1: not a tab stop
  bool autoSize;        // sized to its text
  bool transparent;
  FormEvent event;
};

struct FormSpec {
  const char* caption;
  int width, height;
  int minWidth, minHeight;
  FontSpec font;
};

extern const FormSpec kMainFormSpec;
extern const std::array<ControlSpec, 14> kMainFormControls;

const ControlSpec& ControlSpecOf(ControlId id);
