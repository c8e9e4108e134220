#!/usr/bin/env bash
# A built-in Flite voice: listed after the espeak-ng voices, recorded by the command-line speaker at
# the engine's rate and pace, and heard on the sink from the window with the spoken word's colour
# moving through the text.
. "$E2E_LIB"

speaker() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VELMOR_BIN" "$@"; }
cd "$E2E_WORK"

speaker --list-voices >voices.txt
tail -n 4 voices.txt | grep -Eq '^ *[0-9]+  Sally +Female Eng\. US Flite$' ||
  e2e_fail "Sally is not among the last voices: $(tail -n 4 voices.txt)"
sally=$(awk '$2 == "Sally" { print $1 }' voices.txt)
grep -Eq '^ *[0-9]+  Angus +Male Eng\. Scot Flite$' voices.txt || e2e_fail "Angus is not listed"

sentence="The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly."
speaker --say "$sentence" --voice Sally --out slow.wav 2>err.log || e2e_fail "Sally's recording failed: $(cat err.log)"
speaker --say "$sentence" --voice Sally --speed 300 --out fast.ogg 2>err.log || e2e_fail "the fast one failed: $(cat err.log)"
[ "$(soxi -r slow.wav)" = 22050 ] || e2e_fail "slow.wav is at $(soxi -r slow.wav) Hz"
slow=$(soxi -D slow.wav) fast=$(soxi -D fast.ogg)
awk -v s="$slow" 'BEGIN { exit !(s > 2.5 && s < 9) }' || e2e_fail "16 words took $slow s"
awk -v s="$slow" -v f="$fast" 'BEGIN { exit !(f < s * 0.7) }' || e2e_fail "--speed 300 gave $fast s against $slow s"
rms=$(sox slow.wav -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
awk -v r="$rms" 'BEGIN { exit !(r > 0.02) }' || e2e_fail "slow.wav is silent (RMS $rms)"

# The window starts with Sally selected.
mkdir -p "${VELMOR_INI%/*}"
printf '[Form1\\fid]\r\nInteger=%s\r\n[Form1\\ffirst]\r\nBoolean=0\r\n' "$sally" >"$VELMOR_INI"
velmor_start
e2e_replace_text "$sentence $sentence"
rec_start
wait_for_silence 300

# Where the spoken word's colour is in the text box, as a bounding box; empty while none shows.
word_box() {
  local w h
  read -r _ _ w h < <(e2e_client_geometry)
  e2e_shot 0 0 "$w" "$h" "$E2E_WORK/window.ppm"
  convert "$E2E_WORK/window.ppm" -fill black +opaque '#FFD65C' -format '%@' info: 2>/dev/null || true
}

e2e_key ctrl+p
assert_sound_within 1
boxes=()
for _ in $(seq 12); do
  boxes+=("$(word_box)")
  sleep 0.25
done
assert_sounding
distinct=$(printf '%s\n' "${boxes[@]}" | grep -v '^0x0' | grep -c . | tr -d ' ')
moved=$(printf '%s\n' "${boxes[@]}" | grep -v '^0x0' | sort -u | grep -c . | tr -d ' ')
e2e_log "word boxes: ${boxes[*]}"
[ "$distinct" -ge 6 ] && [ "$moved" -ge 4 ] || e2e_fail "the word colour did not move with the voice: ${boxes[*]}"
e2e_key ctrl+r
assert_silence_within 200 500

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
