#!/usr/bin/env bash
# The Search or Replace window on the real program: a word selected with the keyboard becomes the find
# text, Next Search and Back Search walk through its occurrences, Replace All replaces every one of them,
# and the saved file holds exactly the new text; one Ctrl+Z then brings the old text back.
. "$E2E_LIB"

doc=$E2E_WORK/doc.txt
printf 'alpha beta alpha gamma alpha\r\nend\r\n' >"$doc"

velmor_start "$doc"
wait_for_caption '^Velmor_L   Line: 1      Col: 0    $'
xdotool key --clearmodifiers shift+Right shift+Right shift+Right shift+Right shift+Right
wait_for_caption '^Velmor_L   Line: 1      Col: 0    $'
xdotool key --clearmodifiers ctrl+f

search=
for _ in $(seq 50); do
  search=$(xdotool search --all --onlyvisible --pid "$VELMOR_PID" --name '^Search or Replace$' 2>/dev/null | head -n 1 || true)
  [ -n "$search" ] && break
  sleep 0.1
done
[ -n "$search" ] || e2e_fail "Ctrl+F opened no Search or Replace window"
e2e_focus "$search"

# Next Search twice from the selected word, then Back Search, which shows where it landed.
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers alt+b
wait_for_caption '^Velmor_L   Line: 1      Col: 11   $'

# The replacement goes into the Replace Text box (16,84 in the window), then Replace All.
xdotool mousemove --window "$search" 100 98 click 1
sleep 0.2
e2e_type omega
xdotool key --clearmodifiers alt+a
sleep 0.3
xdotool key --clearmodifiers alt+c
for _ in $(seq 50); do
  xdotool search --all --onlyvisible --pid "$VELMOR_PID" --name '^Search or Replace$' >/dev/null 2>&1 || break
  sleep 0.1
done

e2e_focus "$VELMOR_WID"
saved_as() {
  local expected=$1 before
  before=$(stat -c %Y.%s "$doc")
  xdotool key --clearmodifiers ctrl+s
  for _ in $(seq 50); do
    cmp -s "$doc" <(printf "$expected") && return 0
    sleep 0.1
  done
  e2e_fail "after Ctrl+S the file holds '$(od -c "$doc" | head -n 3)' (was $before)"
}
saved_as 'omega beta omega gamma omega\r\nend\r\n'
e2e_log "Replace All saved"
xdotool key --clearmodifiers ctrl+z
saved_as 'alpha beta alpha gamma alpha\r\nend\r\n'
e2e_log "one Ctrl+Z undid Replace All"
velmor_close
echo "PASS: $E2E_NAME"
