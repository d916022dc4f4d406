#!/bin/bash
# Gives a Wine prefix what Windows shows and Wine lacks: Wine's own fonts (Marlett for the caption
# buttons, Tahoma and the others, from the Debian package fonts-wine) and Windows' default system
# colours (Wine's scroll-bar colour is white, Windows' 200 200 200, which the copyright line uses).
# This Wine never reads /usr/share/wine/fonts, so the fonts are copied into the prefix.
#   WINEPREFIX=... [WINELOADER=...] scripts/windows-look.sh
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
loader=${WINELOADER:-wine}
fonts=/usr/share/wine/fonts
if compgen -G "$fonts/*.ttf" >/dev/null; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
else
  echo "windows-look.sh: $fonts holds no fonts (install fonts-wine); captions may show as letters" >&2
fi

# Windows 10's defaults (HKCU\Control Panel\Colors of a new account), but for the desktop behind
# the windows, which keeps Wine's blue: Windows covers it with a picture, and black would only
# frame the screenshots in black.
colors=$(mktemp --suffix=.reg)
trap 'rm -f "$colors"' EXIT
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Colors]\r\n'
  while read -r name value; do
    printf '"%s"="%s"\r\n' "$name" "$value"
  done <<'COLORS'
ActiveBorder 180 180 180
ActiveTitle 153 180 209
AppWorkspace 171 171 171
Background 58 110 165
ButtonAlternateFace 0 0 0
ButtonDkShadow 105 105 105
ButtonFace 240 240 240
ButtonHilight 255 255 255
ButtonLight 227 227 227
ButtonShadow 160 160 160
ButtonText 0 0 0
GradientActiveTitle 185 209 234
GradientInactiveTitle 215 228 242
GrayText 109 109 109
Hilight 0 120 215
HilightText 255 255 255
HotTrackingColor 0 102 204
InactiveBorder 244 247 252
InactiveTitle 191 205 219
InactiveTitleText 0 0 0
InfoText 0 0 0
InfoWindow 255 255 225
Menu 240 240 240
MenuBar 240 240 240
MenuHilight 0 120 215
MenuText 0 0 0
Scrollbar 200 200 200
TitleText 0 0 0
Window 255 255 255
WindowFrame 100 100 100
WindowText 0 0 0
COLORS
} >"$colors"
"$loader" reg import "Z:${colors//\//\\}" >/dev/null 2>&1 </dev/null
