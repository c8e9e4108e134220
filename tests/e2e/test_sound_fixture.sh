#!/usr/bin/env bash
# The sound measurement itself: a tone played into the null sink is heard at once and its end is seen
# at once. When this fails, the desktop fixture is at fault, not Velmor.
. "$E2E_LIB"

tone_pid=
play_tone() {
  sox -n -t raw -r 22050 -e signed -b 16 -c 1 - synth 20 sine 440 vol 0.2 2>/dev/null |
    pacat --raw --format=s16le --rate=22050 --channels=1 -d test &
  tone_pid=$!
}

rec_start
wait_for_silence 300
for round in 1 2; do
  E2E_MARK_MS=$(rec_pos_ms)
  play_tone
  assert_sound_within 0.2
  sleep 0.5
  E2E_MARK_MS=$(rec_pos_ms)
  kill "$tone_pid"
  wait "$tone_pid" 2>/dev/null || true
  assert_silence_within 100 500
done
echo "PASS: $E2E_NAME"
