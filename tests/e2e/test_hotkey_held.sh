#!/usr/bin/env bash
# Another program holds Ctrl+Alt+R before Velmor starts: Velmor starts normally, its information
# panel says that the key is held (read as a screen reader reads it), and the key stays with the
# other program, so speech goes on.
. "$E2E_LIB"

session_bus_start
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/at-spi.log" 2>&1 &
bus_launcher=$!
e2e_on_exit "kill $bus_launcher 2>/dev/null"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$E2E_KEY_HOLDER" >"$E2E_WORK/holder.out" 2>&1 &
holder=$!
e2e_on_exit "kill $holder 2>/dev/null; wait $holder 2>/dev/null"
for _ in $(seq 50); do
  grep -q held "$E2E_WORK/holder.out" && break
  sleep 0.1
done
grep -q held "$E2E_WORK/holder.out" || e2e_fail "the key holder did not grab the key: $(cat "$E2E_WORK/holder.out")"

# Keep the pointer off Velmor's controls: their hints would replace the panel's caption.
xdotool mousemove 1270 1010
velmor_start

# The accessible names of everything in Velmor's window, one a line.
velmor_names() {
  /usr/bin/python3 - "$VELMOR_PID" <<'PY'
import sys
import pyatspi

def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)

pid = int(sys.argv[1])
app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == pid), None)
if app is None or app.childCount == 0:
    sys.exit(2)
for node in walk(app):
    if node.name:
        print(node.name)
PY
}
found=
for _ in $(seq 50); do
  if velmor_names >"$E2E_WORK/names.txt" 2>/dev/null && grep -qx "Ctrl+Alt+R is held by another program" "$E2E_WORK/names.txt"; then
    found=1
    break
  fi
  sleep 0.2
done
[ -n "$found" ] || e2e_fail "the information panel does not say that the key is held: $(head -c 600 "$E2E_WORK/names.txt")"
e2e_log "the information panel says that Ctrl+Alt+R is held by another program"

e2e_replace_text "Another program holds the reset key, so this sentence carries on when it is pressed."
rec_start
wait_for_silence 300
e2e_key ctrl+p
assert_sound_within 1
e2e_key ctrl+alt+r
sleep 0.7
assert_sounding
grep -q pressed "$E2E_WORK/holder.out" || e2e_fail "the press did not reach the program that holds the key"
e2e_key ctrl+r
assert_silence_within 200 300

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
