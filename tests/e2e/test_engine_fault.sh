#!/usr/bin/env bash
# Faults of the speech engine never take the window or the user's text: texts that made espeak-ng
# read freed memory are copied with Speech Clipboard on and heard; a synthesis helper killed
# mid-sentence is replaced and speech goes on; the command-line speaker whose helper dies says so,
# exits 1 and leaves no file.
. "$E2E_LIB"

velmor_start
rec_start
wait_for_silence 300
helper=$(synthesis_helper)
[ -n "$helper" ] || e2e_fail "no synthesis helper runs beside the window"

e2e_replace_text "Nothing typed here may be lost."
wait_for_silence 300
printf '안녕하세요?반갑습니다 \xe1\x83\x8c ᆀᇃᇿ 日本語 ok' >"$E2E_WORK/first.txt"
printf 'ᆧ한국어?한국어 \xe1\x83\x86 \xe1\x83\x8c ﾃｽﾄ' >"$E2E_WORK/second.txt"
clip_put "$E2E_WORK/first.txt"
assert_sound_within 1
sleep 1.5
clip_put "$E2E_WORK/second.txt"
assert_sound_within 1
wait_for_silence 500
velmor_alive || e2e_fail "velmor ended on the copied text"
[ "$(synthesis_helper)" = "$helper" ] || e2e_fail "the helper died on the copied text"

# A long text, and the helper killed while it speaks.
e2e_replace_text "$(for i in $(seq 30); do printf 'Sentence %d goes on for a while. ' "$i"; done)"
wait_for_silence 300
e2e_key ctrl+p
assert_sound_within 1
sleep 0.5
kill -KILL "$helper"
# What the helper made before it died plays first; then a new one takes over.
for _ in $(seq 100); do
  replacement=$(synthesis_helper)
  [ -n "$replacement" ] && [ "$replacement" != "$helper" ] && break
  sleep 0.05
done
[ -n "$replacement" ] && [ "$replacement" != "$helper" ] || e2e_fail "no new synthesis helper"
sleep 1
assert_sounding
velmor_alive || e2e_fail "velmor ended with its helper"
e2e_key ctrl+r
assert_silence_within 200 500

# The text box still holds what was typed.
xdotool key --clearmodifiers ctrl+a ctrl+c
for _ in $(seq 20); do
  [[ "$(clip_text)" == "Sentence 1 goes on"* ]] && break
  sleep 0.1
done
[[ "$(clip_text)" == "Sentence 1 goes on for a while. "*"Sentence 30 goes on for a while. " ]] ||
  e2e_fail "the text box holds '$(clip_text)'"

# The command-line speaker: the helper killed while it writes a file.
for i in $(seq 3000); do printf 'Line %d of a long text to record. ' "$i"; done >"$E2E_WORK/long.txt"
mkdir -p "$E2E_WORK/out"
"$VELMOR_BIN" --say-file "$E2E_WORK/long.txt" --out "$E2E_WORK/out/long.ogg" 2>"$E2E_WORK/speaker.err" &
speaker=$!
for _ in $(seq 100); do
  [ -n "$(synthesis_helper "$speaker")" ] && break
  sleep 0.05
done
sleep 0.5
kill -KILL "$(synthesis_helper "$speaker")"
status=0
wait "$speaker" || status=$?
[ "$status" -eq 1 ] || e2e_fail "the speaker exited with $status, expected 1"
grep -q "speech engine stopped" "$E2E_WORK/speaker.err" || e2e_fail "the speaker said: $(cat "$E2E_WORK/speaker.err")"
[ -z "$(ls -A "$E2E_WORK/out")" ] || e2e_fail "the speaker left files: $(ls -A "$E2E_WORK/out")"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
