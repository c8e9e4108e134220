#!/usr/bin/env bash
# With a real IBus daemon and its Hangul engine, Hangul typed on the keyboard is committed into
# the text box and the word is heard at its space; with the voice Naoko it is not.
. "$E2E_LIB"

command -v ibus-daemon >/dev/null || e2e_fail "ibus-daemon is not installed (scripts/install-deps.sh)"
[ -x /usr/libexec/ibus-engine-hangul ] || e2e_fail "ibus-hangul is not installed (scripts/install-deps.sh)"

# A session bus and a daemon of the test's own; both are stopped at the end by their ids. The
# daemon writes its address where Qt in velmor (whose home velmor_start sets) looks for it.
export XDG_CONFIG_HOME=$E2E_WORK/home/.config XDG_CACHE_HOME=$E2E_WORK/home/.cache
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
eval "$(dbus-launch --sh-syntax)"
e2e_on_exit "kill $DBUS_SESSION_BUS_PID"
ibus-daemon --xim --daemonize --replace --panel=disable 2>>"$E2E_WORK/ibus.log"
address_file=
for _ in $(seq 100); do
  address_file=$(ls "$XDG_CONFIG_HOME"/ibus/bus/* 2>/dev/null | head -n 1 || true)
  [ -n "$address_file" ] && grep -q '^IBUS_DAEMON_PID=' "$address_file" && break
  sleep 0.1
done
[ -n "$address_file" ] || e2e_fail "the IBus daemon did not start"
IBUS_ADDRESS=$(sed -n 's/^IBUS_ADDRESS=//p' "$address_file")
ibus_pid=$(sed -n 's/^IBUS_DAEMON_PID=//p' "$address_file")
e2e_on_exit "kill $ibus_pid"
export IBUS_ADDRESS QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
sleep 2

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
