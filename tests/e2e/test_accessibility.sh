#!/usr/bin/env bash
# A screen reader finds every control of the main window by name: the window is read through
# AT-SPI on a session bus of the test's own.
. "$E2E_LIB"

session_bus_start
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/at-spi.log" 2>&1 &
bus_launcher=$!
e2e_on_exit "kill $bus_launcher 2>/dev/null"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
velmor_start

reader=$(dirname "$E2E_LIB")/atspi_controls.py
# Reads the program's windows until it is on the bus; the arguments are the names expected.
read_controls() {
  status=2
  for _ in $(seq 50); do
    status=0
    /usr/bin/python3 "$reader" "$VELMOR_PID" "$@" >"$E2E_WORK/controls.txt" 2>&1 || status=$?
    [ "$status" -eq 2 ] || break
    sleep 0.2
  done
  cat "$E2E_WORK/controls.txt"
  [ "$status" -ne 2 ] || e2e_fail "velmor does not appear on the accessibility bus"
  [ "$status" -eq 0 ] || e2e_fail "controls without a name of their own, or a window that is no frame (above)"
}

read_controls text=Text speed=Speed volume="Main Volume" language="Language ID" \
  repetition="Repetition number" hotkey="Reset hot key on/off" info="Last spoken text" \
  speaking="Not speaking" saved="No unsaved changes" marks="Reset marks"

# The marks say their state, and the Search or Replace window's controls have names too.
e2e_focus "$VELMOR_WID"
e2e_type "hello"
xdotool key --clearmodifiers ctrl+a ctrl+f
sleep 0.5
read_controls saved="Unsaved changes" find="Find Text" replace="Replace Text" transparency="Transparency"
