#!/usr/bin/env bash
# The repetition spinner: with 1 a text is heard once; with 2 it is heard twice, the second time after
# a silent gap (the 200 ms delay), and then nothing more.
. "$E2E_LIB"

# Speaks the whole text; BURSTS gets the stretches of sound heard in the next WINDOW_MS.
speak_and_listen() {
  local window_ms=$1
  e2e_key ctrl+p
  assert_sound_within 1
  rec_wait_until $((E2E_MARK_MS + window_ms))
  mapfile -t BURSTS < <(rec_bursts "$E2E_MARK_MS" $((E2E_MARK_MS + window_ms)))
  e2e_log "stretches of sound: ${BURSTS[*]/%/;}"
}

velmor_start
e2e_replace_text "Hello there."
rec_start
wait_for_silence 300

speak_and_listen 3000
once=("${BURSTS[@]}")
[ "${#once[@]}" -eq 1 ] || e2e_fail "repetition 1 gave ${#once[@]} stretches of sound, expected 1"
read -r start end <<<"${once[0]}"
single=$((end - start))

# Repetition number 2, typed into the spinner; then back to the text box.
e2e_set_repetition 2
e2e_click 500 200
wait_for_silence 300

speak_and_listen 5000
twice=("${BURSTS[@]}")
[ "${#twice[@]}" -eq 2 ] || e2e_fail "repetition 2 gave ${#twice[@]} stretches of sound, expected 2"
read -r start1 end1 <<<"${twice[0]}"
read -r start2 end2 <<<"${twice[1]}"
gap=$((start2 - end1))
e2e_log "gap between the two: $gap ms; lengths $((end1 - start1)) and $((end2 - start2)) ms (once: $single ms)"
[ "$gap" -ge 150 ] || e2e_fail "the repetition followed after $gap ms of silence, expected at least 150"
[ "$gap" -le 1000 ] || e2e_fail "the repetition followed only after $gap ms"
for length in $((end1 - start1)) $((end2 - start2)); do
  diff=$((length - single))
  [ "${diff#-}" -le $((single / 5 + 30)) ] ||
    e2e_fail "a repetition lasted $length ms, the text alone $single ms: not the same text"
done
[ $((E2E_MARK_MS + 5000 - end2)) -ge 1500 ] || e2e_fail "sound went on until the end of the 5 s window"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
