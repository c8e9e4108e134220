#!/usr/bin/env bash
# A pronunciation rule written with the keyboard in Edit > Pronunciation rules... is heard: the text
# takes longer to speak with a rule that says more, and the command-line speaker of the same copy
# uses the same rules unless told --no-rules.
. "$E2E_LIB"

text="The quick brown fox jumps over the lazy dog."
rule_say="fox, a small animal of the dog family that lives in woods and fields"

# Speaks the whole text and prints how long the sound lasted, in milliseconds.
spoken_ms() {
  rec_start
  wait_for_silence 300
  local from
  from=$(rec_pos_ms)
  e2e_key ctrl+p
  assert_sound_within 2 >&2
  wait_for_silence 1000
  rec_bursts "$from" "$(rec_pos_ms)" 400 | awk 'NR == 1 { s = $1 } { e = $2 } END { print e - s }'
}

velmor_start
e2e_replace_text "$text"
plain=$(spoken_ms)
e2e_log "spoken without the rule: $plain ms"

# Alt+E opens the Edit menu; Up wraps to its last item.
e2e_key alt+e
sleep 0.5
e2e_key Up Return
sleep 1
e2e_key alt+a
sleep 0.3
e2e_type "fox"
e2e_key Return Right
e2e_type "$rule_say"
e2e_key Return
sleep 0.3
rules=$E2E_WORK/app/pronunciation-rules.tsv
grep -qxF "$(printf 'fox\t%s\t\t*' "$rule_say")" "$rules" || e2e_fail "the rules file holds: $(cat "$rules" 2>&1)"
e2e_key Escape
sleep 0.5

ruled=$(spoken_ms)
e2e_log "spoken with the rule: $ruled ms"
[ "$ruled" -gt $((plain + 1500)) ] || e2e_fail "the rule was not heard: $ruled ms against $plain ms"

# The command-line speaker of this copy reads the same rules, unless told not to.
app=$E2E_WORK/app
( cd "$E2E_WORK" && env -u DISPLAY HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config" \
    "$app/velmor" --say "$text" --out "$E2E_WORK/with.wav" &&
  env -u DISPLAY HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config" \
    "$app/velmor" --say "$text" --no-rules --out "$E2E_WORK/without.wav" ) || e2e_fail "the speaker failed"
awk -v w="$(soxi -D "$E2E_WORK/with.wav")" -v wo="$(soxi -D "$E2E_WORK/without.wav")" 'BEGIN { exit !(w > wo + 1.5) }' ||
  e2e_fail "the speaker did not use the rules: $(soxi -D "$E2E_WORK/with.wav") s against $(soxi -D "$E2E_WORK/without.wav") s"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
