#!/usr/bin/env bash
# A right-click opens the context menu drawn on its own light-blue fill; Escape closes it.
. "$E2E_LIB"

velmor_start
e2e_click 400 250
xdotool mousemove --window "$VELMOR_WID" 400 250 click 3
sleep 0.5
# The menu opens with its top-left corner at the pointer; take a strip of its items.
e2e_shot 410 260 120 300 "$E2E_WORK/menu.ppm"
fill=$(convert "$E2E_WORK/menu.ppm" -format %c histogram:info:- |
  awk '/#B3B3FF/ { print $1 + 0 }')
total=$((120 * 300))
e2e_log "menu fill: ${fill:-0} of $total pixels"
# Captions and check boxes take a small part; anything else drawn there would show as other colours.
[ "${fill:-0}" -ge $((total * 80 / 100)) ] || e2e_fail "the menu is not drawn in #B3B3FF (${fill:-0} of $total pixels)"

xdotool key Escape
sleep 0.3
e2e_shot 410 260 120 300 "$E2E_WORK/closed.ppm"
closed=$(convert "$E2E_WORK/closed.ppm" -format %c histogram:info:- | awk '/#B3B3FF/ { print $1 + 0 }')
[ "${closed:-0}" -lt $((total / 10)) ] || e2e_fail "the menu is still open after Escape"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
