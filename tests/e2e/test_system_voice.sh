#!/usr/bin/env bash
# The desktop's speech service: with a speech-dispatcher of the test's own running, its voices are
# listed after the built-in ones, one speaks in the window (heard on the sink), pauses, resumes and
# stops; recording with it is refused with a message and writes nothing.
. "$E2E_LIB"

speaker() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VELMOR_BIN" "$@"; }
cd "$E2E_WORK"

speaker --list-voices >builtin.txt
grep -q 'System:' builtin.txt && e2e_fail "system voices are listed with no speech service running"
builtin=$(wc -l <builtin.txt)

# In the desktop's runtime folder, where its sound server is; stopped by the pid it writes there.
speechd_pid=$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid
speech-dispatcher -d -t 120 >speechd.log 2>&1 || e2e_fail "speech-dispatcher did not start: $(cat speechd.log)"
e2e_on_exit 'kill "$(cat "$speechd_pid")"'
for _ in $(seq 50); do
  [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
  sleep 0.1
done

speaker --list-voices >voices.txt
head -n "$builtin" voices.txt | cmp -s - builtin.txt || e2e_fail "the built-in voices changed their numbers"
first=$(sed -n "$((builtin + 1))p" voices.txt)
[[ "$first" =~ ^\ *$((builtin + 1))\ \ System:\ espeak-ng\ .*\ (Male|Female)\ System$ ]] ||
  e2e_fail "no system voice after the built-in ones: '$first'"
# espeak-ng lists each voice once more with every variant; those copies are left out.
! grep -Eq 'System: espeak-ng [^ ]+\+' voices.txt || e2e_fail "variant copies are listed: $(grep -m 3 -E 'System: espeak-ng [^ ]+\+' voices.txt)"
voice=$(awk '/System: espeak-ng English \(America\) \(en-US\)/ { print $1 }' voices.txt)
[ -n "$voice" ] || e2e_fail "espeak-ng's American English is not listed"

status=0
speaker --say "Not to be written." --voice "$voice" --out refused.wav 2>err.log || status=$?
[ "$status" -eq 1 ] || e2e_fail "--out with a system voice ended with $status"
grep -q 'is a system voice and cannot be recorded; choose a built-in voice' err.log ||
  e2e_fail "no clear message: $(cat err.log)"
[ ! -e refused.wav ] || e2e_fail "refused.wav was written"

# The window does not wait for the service to list its voices: it has them listed for its next start.
cache=$E2E_WORK/home/.cache/velmor/system-voices.tsv
rm -f "$cache"
velmor_start
for _ in $(seq 150); do
  [ -s "$cache" ] && break
  sleep 0.1
done
[ -s "$cache" ] || e2e_fail "the window's first start did not have the system voices listed"
velmor_stop

mkdir -p "${VELMOR_INI%/*}"
printf '[Form1\\fid]\r\nInteger=%s\r\n[Form1\\ffirst]\r\nBoolean=0\r\n' "$voice" >"$VELMOR_INI"
velmor_start
e2e_replace_text "The desktop's own voice reads this long sentence aloud, word by word, so that there is time to pause it, to let it carry on, and to stop it for good."
assert_speak_pause_resume_reset 300 1000

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
