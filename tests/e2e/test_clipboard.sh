#!/usr/bin/env bash
# Text that another program puts on the clipboard is heard at once; a picture is not; a word
# double-clicked in the text box lands on the clipboard and is heard.
. "$E2E_LIB"

velmor_start
rec_start
wait_for_silence 300

echo "Words copied in another program are read aloud by Velmor." >"$E2E_WORK/words.txt"
convert -size 16x16 xc:red "$E2E_WORK/picture.png"
clip_put "$E2E_WORK/words.txt"
assert_sound_within 1
sleep 0.5
assert_sounding
e2e_key ctrl+r
assert_silence_within 200 500

wait_for_silence 300

clip_put "$E2E_WORK/picture.png" -t image/png
assert_silence_within 0 1500

e2e_replace_text "xylophone"
wait_for_silence 300
# The word sits at the start of the text box, right of the control panel and below the bars.
E2E_MARK_MS=$(rec_pos_ms)
xdotool mousemove --window "$VELMOR_WID" 320 $((E2E_PANEL_TOP + 12)) click --repeat 2 --delay 80 1
assert_sound_within 1
for _ in $(seq 20); do
  [ "$(clip_text)" = "xylophone" ] && break
  sleep 0.1
done
[ "$(clip_text)" = "xylophone" ] || e2e_fail "the clipboard holds '$(clip_text)', expected the double-clicked word"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
