#!/usr/bin/env bash
# Without a display the options that need no window still answer, an unknown option is refused
# before anything else, and a start says what is missing instead of aborting.
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
echo "PASS: $E2E_NAME"
