#!/usr/bin/env bash
# Typed text is spoken on Ctrl+P; Ctrl+R stops the sound at once; Ctrl+P speaks again after it.
. "$E2E_LIB"

velmor_start
e2e_replace_text "Velmor reads this sentence aloud, word by word, for as long as nobody stops it with the reset key."
rec_start
wait_for_silence 300

speak_all_then_reset

e2e_key ctrl+p
assert_sound_within 1
sleep 0.5
assert_sounding
e2e_key ctrl+r
assert_silence_within 200 500

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
