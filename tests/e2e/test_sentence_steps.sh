#!/usr/bin/env bash
# Alt+Right while a long first sentence is being spoken: the first sentence breaks off, and what is
# heard from the key on is the rest of the text from the second sentence, as long as that rest spoken
# alone (the new text starts some 20 ms after the old one stops, too close to show as silence); the
# caret moves to that sentence, the start of the last line.
. "$E2E_LIB"

first="The first sentence of this test goes on and on, with many words in it, so that speaking it takes a long while, much longer than the rest."
rest="Then a second one. And a third."

velmor_start
e2e_replace_text "$first"
xdotool key --clearmodifiers Return
e2e_type "$rest"
wait_for_caption "Col: ${#rest} "
last_line=$(velmor_caption | sed -E 's/.*Line: ([0-9]+).*/\1/')
rec_start
wait_for_silence 300

# How long the rest takes alone: Ctrl+B speaks the caret line.
e2e_key ctrl+b
assert_sound_within 1
rec_wait_until $((E2E_MARK_MS + 5000))
mapfile -t alone < <(rec_bursts "$E2E_MARK_MS" $((E2E_MARK_MS + 5000)) 400)
read -r alone_start _ <<<"${alone[0]}"
read -r _ alone_end <<<"${alone[-1]}"
rest_ms=$((alone_end - alone_start))
e2e_log "the rest alone takes $rest_ms ms"
wait_for_silence 300

e2e_key ctrl+p
assert_sound_within 1
sleep 1.5
assert_sounding
e2e_key alt+Right
wait_for_caption "Line: $last_line +Col: 0 "
rec_wait_until $((E2E_MARK_MS + 8000))

mapfile -t after < <(rec_bursts "$E2E_MARK_MS" $((E2E_MARK_MS + 8000)) 400)
e2e_log "stretches of sound after Alt+Right: ${after[*]/%/;}"
read -r _ after_end <<<"${after[-1]}"
after_ms=$((after_end - E2E_MARK_MS))
[ "$after_ms" -ge $((rest_ms - 300)) ] && [ "$after_ms" -le $((rest_ms + 700)) ] ||
  e2e_fail "after Alt+Right $after_ms ms of speech were heard, the rest alone takes $rest_ms ms"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
