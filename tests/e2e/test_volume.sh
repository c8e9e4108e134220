#!/usr/bin/env bash
# The volume track bar drives the system's master volume: it starts at the current volume, the keys
# move it by 1310 of 65535 (2%), Home and End go to 0% and 100%, and dragging the thumb sets what lies
# under it.
. "$E2E_LIB"

e2e_on_exit pactl set-sink-volume @DEFAULT_SINK@ 100%

# The track bar inside Panel1: 113,336, 158 x 33; its groove runs along the lower half.
BAR_X=113
BAR_W=158
GROOVE_Y=$((E2E_PANEL_TOP + 356))
THUMB=20

# Waits up to 2 s for the sink's volume to come within 3 raw units of WANT (65536 is 100%).
expect_volume() {
  local want=$1 what=$2 raw percent
  for _ in $(seq 20); do
    read -r raw percent < <(sink_volume)
    [ $((raw - want)) -le 3 ] && [ $((want - raw)) -le 3 ] && { e2e_log "$what: $raw ($percent%)"; return 0; }
    sleep 0.1
  done
  e2e_fail "$what: the sink's volume is $raw ($percent%), expected $want"
}

# Presses the thumb at FROM_X and drags it to TO_X in small steps (client x coordinates).
drag_thumb() {
  local from=$1 to=$2 x step
  step=$(((to - from) / 8))
  xdotool mousemove --window "$VELMOR_WID" "$from" "$GROOVE_Y" mousedown 1
  for x in $(seq "$from" "$step" "$to") "$to"; do
    xdotool mousemove --window "$VELMOR_WID" "$x" "$GROOVE_Y"
    sleep 0.03
  done
  xdotool mouseup 1
}

# 40% of 65536, as pactl sets it.
pactl set-sink-volume @DEFAULT_SINK@ 40%
read -r start _ < <(sink_volume)
velmor_start
expect_volume "$start" "after the start"

# A click on the bar above the groove gives it the keyboard without moving it.
e2e_click $((BAR_X + 60)) $((GROOVE_Y - 10))
expect_volume "$start" "after a click on the bar"
xdotool key --clearmodifiers Right
expect_volume $((start + 1310)) "Right from the start value"
xdotool key --clearmodifiers Left Left
expect_volume $((start - 1310)) "Left twice"
xdotool key --clearmodifiers End
expect_volume 65536 "End"
xdotool key --clearmodifiers Home
expect_volume 0 "Home"
xdotool key --clearmodifiers Right Right Right Right Right
expect_volume 6550 "Right five times from 0"

# From 0 the thumb lies at the left end of the groove; drag it to the middle, then past the right end.
xdotool key --clearmodifiers Home
expect_volume 0 "Home"
drag_thumb $((BAR_X + THUMB / 2)) $((BAR_X + BAR_W / 2))
read -r raw percent < <(sink_volume)
e2e_log "dragged to the middle: $raw ($percent%)"
if [ "$percent" -lt 40 ] || [ "$percent" -gt 60 ]; then
  e2e_fail "the thumb dragged to the middle gives $percent%"
fi
drag_thumb $((BAR_X + BAR_W / 2)) $((BAR_X + BAR_W + 40))
expect_volume 65536 "dragged past the right end"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
