#!/usr/bin/env bash
# Without a display the options that need no window still answer, an unknown option is refused
# before anything else, and a start says what is missing instead of aborting. The speaker needs
# none of the window's libraries.
. "$E2E_LIB"

no_display() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VELMOR_BIN" "$@"
}

status=0
no_display --help >"$E2E_WORK/help.out" 2>"$E2E_WORK/help.err" || status=$?
[ "$status" -eq 0 ] || e2e_fail "--help without a display ended with status $status: $(cat "$E2E_WORK/help.err")"
grep -q '^Usage: velmor' "$E2E_WORK/help.out" || e2e_fail "--help printed no usage"

status=0
no_display --version >"$E2E_WORK/version.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || e2e_fail "--version without a display ended with status $status"
grep -q '^Velmor [0-9]' "$E2E_WORK/version.out" || e2e_fail "--version printed '$(cat "$E2E_WORK/version.out")'"

for option in --bogus -v; do
  status=0
  no_display notes.txt "$option" >"$E2E_WORK/bad.out" 2>"$E2E_WORK/bad.err" || status=$?
  [ "$status" -eq 2 ] || e2e_fail "the unknown option $option ended with status $status, expected 2"
  [ ! -s "$E2E_WORK/bad.out" ] || e2e_fail "the unknown option $option printed '$(cat "$E2E_WORK/bad.out")'"
  [ "$(cat "$E2E_WORK/bad.err")" = "velmor: unknown option '$option'
Try 'velmor --help' for the options." ] || e2e_fail "the unknown option $option said '$(cat "$E2E_WORK/bad.err")'"
done

status=0
no_display notes.txt >"$E2E_WORK/start.out" 2>"$E2E_WORK/start.err" || status=$?
[ "$status" -eq 1 ] || e2e_fail "a start without a display ended with status $status, expected 1"
[ "$(cat "$E2E_WORK/start.err")" = "Velmor needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)" ] ||
  e2e_fail "a start without a display said '$(cat "$E2E_WORK/start.err")'"

# The speaker loads none of the window's libraries: a program folder without the window module
# still speaks, and a window asked of it says what is missing.
! ldd "$VELMOR_BIN" | grep -E 'libQt6(Gui|Widgets|Multimedia)' || e2e_fail "the program links the window's libraries"
mkdir -p "$E2E_WORK/bare"
cp "$VELMOR_BIN" "${VELMOR_BIN%/*}/velmor-synth" "$E2E_WORK/bare/"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$E2E_WORK/bare/velmor" --say "Hello there." --out "$E2E_WORK/hello.wav" 2>"$E2E_WORK/bare.err" || status=$?
[ "$status" -eq 0 ] && [ -s "$E2E_WORK/hello.wav" ] || e2e_fail "the speaker without the window module: $(cat "$E2E_WORK/bare.err")"
status=0
QT_QPA_PLATFORM=offscreen "$E2E_WORK/bare/velmor" >/dev/null 2>"$E2E_WORK/bare.err" || status=$?
[ "$status" -eq 1 ] && grep -q '^velmor: the window cannot be loaded: ' "$E2E_WORK/bare.err" ||
  e2e_fail "a window without its module ended with $status: '$(cat "$E2E_WORK/bare.err")'"
echo "PASS: $E2E_NAME"
