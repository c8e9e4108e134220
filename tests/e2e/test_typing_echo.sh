#!/usr/bin/env bash
# Joyful writing (on by default): typing "hello world" and Enter is heard as two separate words,
# "hello" when the space is typed and "world" at the Enter.
. "$E2E_LIB"

velmor_start
rec_start
wait_for_silence 300

E2E_MARK_MS=$(rec_pos_ms)
start=$E2E_MARK_MS
e2e_type "hello "
assert_sound_within 1
wait_for_silence 300
e2e_type "world"
e2e_key Return
assert_sound_within 1
rec_wait_until $((E2E_MARK_MS + 1500))
mapfile -t bursts < <(rec_bursts "$start" "$(rec_pos_ms)")
e2e_log "stretches of sound: ${bursts[*]/%/;}"
[ "${#bursts[@]}" -eq 2 ] || e2e_fail "typing gave ${#bursts[@]} stretches of sound, expected 2"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
