#!/usr/bin/env bash
# Ctrl+Alt+R pressed while another program is in front stops Velmor's speech and brings its window
# forward, also with Num Lock and Caps Lock on; switched off with Ctrl+Y it leaves speech alone.
. "$E2E_LIB"

OTHER_PID=
OTHER_WID=
other_window_start() {
  xmessage -geometry 300x100+700+600 -title "Other program" "Another program in front" \
    >>"$E2E_WORK/xmessage.log" 2>&1 &
  OTHER_PID=$!
  e2e_on_exit 'kill $OTHER_PID 2>/dev/null; wait $OTHER_PID 2>/dev/null'
  for _ in $(seq 50); do
    OTHER_WID=$(xdotool search --onlyvisible --name "^Other program$" 2>/dev/null | head -n 1 || true)
    [ -n "$OTHER_WID" ] && return 0
    sleep 0.1
  done
  e2e_fail "the other window did not appear"
}

# Starts reading in Velmor, then hands the keyboard to the other window while it speaks.
speak_then_focus_other() {
  e2e_focus "$VELMOR_WID"
  e2e_key ctrl+p
  assert_sound_within 1
  e2e_focus "$OTHER_WID"
  sleep 0.5
  assert_sounding
}

wait_for_active() {
  for _ in $(seq 20); do
    [ "$(xdotool getactivewindow 2>/dev/null || true)" = "$1" ] && return 0
    sleep 0.05
  done
  e2e_fail "window $1 is not active (active: $(xdotool getactivewindow 2>/dev/null || true))"
}

velmor_start
e2e_replace_text "Whichever program is in front, the reset key silences this long sentence at once and brings the reader forward."
other_window_start
rec_start
wait_for_silence 300

speak_then_focus_other
e2e_key ctrl+alt+r
assert_silence_within 200 1000
wait_for_active "$VELMOR_WID"

# With Num Lock and Caps Lock on, the key still stops speech. It is sent as it is: e2e_key
# would take Caps Lock off for the press.
LOCKS_ON=1
e2e_on_exit 'if [ "$LOCKS_ON" = 1 ]; then xdotool key Num_Lock Caps_Lock; fi'
xdotool key Num_Lock Caps_Lock
speak_then_focus_other
E2E_MARK_MS=$(rec_pos_ms)
xdotool key ctrl+alt+r
assert_silence_within 200 1000
wait_for_active "$VELMOR_WID"
xdotool key Num_Lock Caps_Lock
LOCKS_ON=0

# Switched off: the key no longer reaches Velmor.
e2e_key ctrl+y
speak_then_focus_other
e2e_key ctrl+alt+r
sleep 0.7
assert_sounding
[ "$(xdotool getactivewindow)" = "$OTHER_WID" ] || e2e_fail "the switched-off key still brought Velmor forward"
e2e_focus "$VELMOR_WID"
e2e_key ctrl+r
assert_silence_within 200 300

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
