#!/usr/bin/env bash
# The mouth on the control panel moves while Velmor speaks and rests, closed, when it is silent or
# paused; hidden by " Show", it leaves an empty panel and speech goes on as before.
. "$E2E_LIB"

# Takes a picture of the mouth and prints its file name (named by the time: callers run it in a subshell).
mouth_shot() {
  local file
  file=$E2E_WORK/mouth-$(date +%s%N)-$1.ppm
  e2e_shot "${E2E_MOUTH[@]}" "$file"
  echo "$file"
}

# Takes COUNT pictures GAP seconds apart and prints how many different ones there were.
distinct_shots() {
  local label=$1 count=$2 gap=$3
  for _ in $(seq "$count"); do
    md5sum <"$(mouth_shot "$label")"
    sleep "$gap"
  done | sort -u | wc -l
}

# The mouth has stopped: two pictures 300 ms apart are the same, and the same as the resting mouth.
expect_resting() {
  local what=$1 first second
  sleep 0.3
  first=$(mouth_shot "$what")
  sleep 0.3
  second=$(mouth_shot "$what")
  cmp -s "$first" "$second" || e2e_fail "the mouth still moves $what"
  cmp -s "$first" "$resting" || e2e_fail "the mouth does not come back to rest $what"
}

velmor_start
e2e_replace_text "The mouth on the panel opens and closes with every word of this sentence, for as long as it is spoken aloud."
rec_start
wait_for_silence 300

resting=$(mouth_shot silent)
[ "$(e2e_colours "$resting")" -gt 1 ] || e2e_fail "no mouth on the panel"
sleep 0.3
cmp -s "$resting" "$(mouth_shot silent)" || e2e_fail "the mouth moves while nothing is spoken"

e2e_key ctrl+p
assert_sound_within 1
moving=$(distinct_shots speaking 8 0.1)
assert_sounding
e2e_log "$moving different pictures of 8 while speaking"
[ "$moving" -ge 2 ] || e2e_fail "the mouth does not move while speaking"

e2e_key ctrl+e
assert_silence_within 200 500
expect_resting "while paused"
e2e_key ctrl+e
assert_sound_within 1
moving=$(distinct_shots resumed 6 0.1)
[ "$moving" -ge 2 ] || e2e_fail "the mouth does not move after resuming"
e2e_key ctrl+r
assert_silence_within 200 500
expect_resting "after the reset"

# Hidden: an empty panel, also while speaking, and the speech is heard.
e2e_click_control show
e2e_click 500 200
[ "$(e2e_colours "$(mouth_shot hidden)")" -eq 1 ] || e2e_fail "unchecking \" Show\" leaves the mouth on the panel"
wait_for_silence 300
e2e_key ctrl+p
assert_sound_within 1
for _ in 1 2 3; do
  [ "$(e2e_colours "$(mouth_shot hidden-speaking)")" -eq 1 ] || e2e_fail "a hidden mouth shows while speaking"
  sleep 0.1
done
assert_sounding
e2e_key ctrl+r
assert_silence_within 200 500

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
