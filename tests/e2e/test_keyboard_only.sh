#!/usr/bin/env bash
# With the keyboard alone: a passage is marked and the marks reset, Shift+F10 opens the context menu,
# a dictionary program is chosen in the file dialog, and the speed moved with the speed bar's arrow
# keys comes back to "Default Speed".
. "$E2E_LIB"

# The value stored under [SECTION] in velmor.ini (the key's name is not checked).
ini_value() {
  SECTION="[$1]" awk '
    /^\[/ { inside = (tolower($0) == tolower(ENVIRON["SECTION"])); next }
    inside && /=/ { sub(/^[^=]*=/, ""); sub(/\r$/, ""); print; exit }' "$VELMOR_INI"
}

# Pixels of the whole window in the first mark colour ($00D2E1D5), which the first Mark button's face
# also shows.
mark_pixels() {
  local w h
  read -r _ _ w h < <(e2e_client_geometry)
  e2e_shot 0 0 "$w" "$h" "$E2E_WORK/window.ppm"
  convert "$E2E_WORK/window.ppm" -format %c histogram:info:- | awk '/#D5E1D2/ { print $1 + 0 }'
}

keys() { xdotool key --clearmodifiers "$@"; sleep 0.4; }

program=$E2E_WORK/dictionary
printf '#!/bin/sh\n' >"$program"
chmod +x "$program"

velmor_start
e2e_type "alpha beta gamma"
sleep 0.3
unmarked=$(mark_pixels)
e2e_log "first mark colour before marking: ${unmarked:-0} pixels"

# Marking on (Alt+M), "gamma" selected, the first Mark key.
keys alt+m
keys shift+ctrl+Left
keys ctrl+1
marked=$(mark_pixels)
e2e_log "after Ctrl+1: ${marked:-0} pixels"
[ "${marked:-0}" -gt $((${unmarked:-0} + 200)) ] || e2e_fail "Ctrl+1 marked no passage (${marked:-0} pixels)"

keys ctrl+3
reset=$(mark_pixels)
e2e_log "after Ctrl+3: ${reset:-0} pixels"
[ "${reset:-0}" -eq "${unmarked:-0}" ] || e2e_fail "Ctrl+3 left marks (${reset:-0} pixels, ${unmarked:-0} before)"

# Shift+F10 opens the context menu, drawn on its light-blue fill; Escape closes it.
menu_pixels() {
  import -window root -depth 8 "ppm:$E2E_WORK/screen.ppm"
  convert "$E2E_WORK/screen.ppm" -format %c histogram:info:- | awk '/#B3B3FF/ { print $1 + 0 }'
}
keys shift+F10
opened=$(menu_pixels)
keys Escape
closed=$(menu_pixels)
e2e_log "context menu fill: ${opened:-0} pixels open, ${closed:-0} closed"
[ "${opened:-0}" -gt $((${closed:-0} + 20000)) ] || e2e_fail "Shift+F10 opened no context menu"

# The dictionary program, typed into the file dialog's name box.
keys alt+shift+d
for _ in $(seq 50); do
  [ -n "$(velmor_dialog)" ] && break
  sleep 0.1
done
[ -n "$(velmor_dialog)" ] || e2e_fail "Alt+Shift+D opened no file dialog"
sleep 0.5
xdotool type --delay 8 -- "$program"
keys Return
# The name box's completion list can stay open over the window once the dialog has taken the name;
# Escape closes it (and does nothing in the text box when it has gone with the dialog).
keys Escape
[ -z "$(velmor_dialog)" ] || e2e_fail "the file dialog is still open"

# Tab reaches the speed bar, whose arrow key moves the speed; Shift+Tab goes back to the text.
keys Tab
keys Right Right Right Right Right
keys shift+Tab
velmor_close
moved=$(ini_value 'Form1\FSpd')
e2e_log "speed stored after the arrow keys: $moved"
[ "$moved" != 150 ] || e2e_fail "the speed bar's arrow keys did not move the speed"
[ "$(ini_value 'Form1\fExeName')" = "$program" ] ||
  e2e_fail "the dic program stored is '$(ini_value 'Form1\fExeName')', not $program"

velmor_start
keys ctrl+shift+d
velmor_close
[ "$(ini_value 'Form1\FSpd')" = 150 ] || e2e_fail "Ctrl+Shift+D left speed '$(ini_value 'Form1\FSpd')'"
echo "PASS: $E2E_NAME"
