#!/usr/bin/env bash
# With a real IBus daemon and its Hangul engine, Hangul typed on the keyboard is committed into
# the text box and the word is heard at its space; with the voice Naoko it is not.
. "$E2E_LIB"

command -v ibus-daemon >/dev/null || e2e_fail "ibus-daemon is not installed (scripts/install-deps.sh)"
[ -x /usr/libexec/ibus-engine-hangul ] || e2e_fail "ibus-hangul is not installed (scripts/install-deps.sh)"

ibus_start

velmor_start
ibus engine hangul
sleep 0.5
[ "$(ibus engine)" = hangul ] || e2e_fail "the Hangul engine is not selected: '$(ibus engine)'"
xdotool key --clearmodifiers ctrl+a Delete
rec_start
wait_for_silence 300

xdotool key --clearmodifiers Hangul
sleep 0.3
xdotool type --delay 60 gksrmf
e2e_key space
assert_sound_within 1
wait_for_silence 300

# Velmor reads the input method's state from IBus: with the Japanese voice Naoko, words typed
# while the input method is open in Hangul mode are not echoed (a closed one would echo them).
xdotool key --clearmodifiers alt+n
sleep 0.5
e2e_click 500 200
wait_for_silence 300
xdotool type --delay 60 gksrmf
e2e_key space
assert_silence_within 0 1500

# What the text box holds, through the clipboard (whose speech is switched off first).
xdotool key --clearmodifiers ctrl+h ctrl+a ctrl+c
sleep 0.5
text=$(clip_text)
[ "$text" = "한글 한글 " ] || e2e_fail "the text box holds '$text', expected '한글 한글 '"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
