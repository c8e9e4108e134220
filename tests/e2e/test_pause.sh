#!/usr/bin/env bash
# Ctrl+E pauses speech mid-sentence and Ctrl+E again resumes it.
. "$E2E_LIB"

velmor_start
e2e_replace_text "A pause holds the voice in the middle of this sentence, and the same key lets it carry on from there."
rec_start
wait_for_silence 300

e2e_key ctrl+p
assert_sound_within 1
sleep 1
assert_sounding
e2e_key ctrl+e
assert_silence_within 200 1500
e2e_key ctrl+e
assert_sound_within 1
sleep 0.5
assert_sounding
e2e_key ctrl+r
assert_silence_within 200 500

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
