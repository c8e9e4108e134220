#!/usr/bin/env bash
# With a real IBus daemon and its Anthy engine: a word typed in Anthy's Latin input is echoed at
# its space; Velmor's "ZenHiragana" command puts Anthy into hiragana input, romaji typed on the keyboard is composed, converted to kanji with Space and
# confirmed with Enter. The Enter is heard: the info line shows the kanji and the information
# panel the reading that is spoken, both read through AT-SPI as a screen reader reads them.
. "$E2E_LIB"

command -v ibus-daemon >/dev/null || e2e_fail "ibus-daemon is not installed (scripts/install-deps.sh)"
[ -x /usr/libexec/ibus-engine-anthy ] || e2e_fail "ibus-anthy is not installed (scripts/install-deps.sh)"

# The engine is a Python program: Debian's own Python, which has its GObject bindings.
export PATH=/usr/bin:$PATH
ibus_start
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/at-spi.log" 2>&1 &
e2e_on_exit "kill $! 2>/dev/null"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

velmor_start
# The daemon learns of the engine from the engine's own program, which takes a while to start.
for _ in $(seq 50); do
  ibus engine anthy 2>/dev/null && break
  sleep 0.2
done
sleep 1
[ "$(ibus engine)" = anthy ] || e2e_fail "the Anthy engine is not selected: '$(ibus engine)'"
xdotool key --clearmodifiers ctrl+a Delete
rec_start
wait_for_silence 300

# Anthy starts in Latin input, which Velmor learns from the engine: words are echoed.
xdotool type --delay 80 hello
e2e_key space
assert_sound_within 1
wait_for_silence 300
xdotool key --clearmodifiers ctrl+a Delete

xdotool key --clearmodifiers alt+e
sleep 0.5
xdotool key --clearmodifiers h
sleep 0.5
xdotool type --delay 80 nihongo
sleep 0.3
e2e_key space
sleep 0.5
e2e_key Return
assert_sound_within 1
wait_for_silence 300

shown=$(/usr/bin/python3 - "$VELMOR_PID" <<'PY'
import sys
import pyatspi

def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)

app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == int(sys.argv[1]))
for node in walk(app):
    if node.name == "Last spoken text":
        text = node.queryText()
        print("info line:", text.getText(0, text.characterCount))
    elif node.name == "にほんご":
        print("panel:", node.name)
PY
)
e2e_log "$shown"
grep -qx "info line: 日本語" <<<"$shown" || e2e_fail "the info line does not show the conversion"
grep -qx "panel: にほんご" <<<"$shown" || e2e_fail "the information panel does not show the reading"

xdotool key --clearmodifiers ctrl+h ctrl+a ctrl+c
sleep 0.5
text=$(clip_text)
e2e_log "text box: '$text'"
[ "$text" = "日本語" ] || e2e_fail "the text box holds '$text', expected '日本語'"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
