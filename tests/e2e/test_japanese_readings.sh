#!/usr/bin/env bash
# Naoko (Alt+N) reads a kanji sentence from a code page 932 file with its readings: it sounds about
# as long as the same sentence written in kana. A kanji read as "Chinese letter" takes far longer.
. "$E2E_LIB"

# Starts velmor on FILE, switches to Naoko, speaks the whole text and sets SPOKEN_MS to how long it
# sounded.
spoken_length() {
  velmor_start "$1"
  e2e_key alt+n
  rec_start
  wait_for_silence 300
  e2e_key ctrl+p
  assert_sound_within 1
  local start=$E2E_MARK_MS
  wait_for_silence 1500
  local bursts
  bursts=$(rec_bursts "$start" "$(rec_pos_ms)" 500)
  velmor_close
  SPOKEN_MS=$(awk 'NR == 1 { first = $1 } { last = $2 } END { print last - first }' <<<"$bursts")
}

kanji=$E2E_WORK/kanji.txt
kana=$E2E_WORK/kana.txt
printf '今日は良い天気です。駅の近くに新しい病院ができた。\r\n' | iconv -f UTF-8 -t CP932 >"$kanji"
printf 'きょうはよいてんきです。えきのちかくにあたらしいびょういんができた。\r\n' | iconv -f UTF-8 -t CP932 >"$kana"

spoken_length "$kana"
kana_ms=$SPOKEN_MS
spoken_length "$kanji"
kanji_ms=$SPOKEN_MS
e2e_log "kana sentence: $kana_ms ms; kanji sentence: $kanji_ms ms"
# Naoko speaks: an English voice would name every kana as a letter, for far more than 10 s.
[ "$kana_ms" -gt 1000 ] && [ "$kana_ms" -lt 10000 ] || e2e_fail "the kana sentence took $kana_ms ms: not Naoko reading it"
[ $((kanji_ms * 4)) -ge $((kana_ms * 3)) ] && [ $((kanji_ms * 3)) -le $((kana_ms * 4)) ] ||
  e2e_fail "the kanji sentence took $kanji_ms ms, the same in kana $kana_ms ms"

echo "PASS: $E2E_NAME"
