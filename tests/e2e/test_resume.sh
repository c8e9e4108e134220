#!/usr/bin/env bash
# Listening stops in the middle of a long sentence: with "Resume where I stopped" on, Ctrl+R leaves the
# caret at the start of that sentence; the close keeps the word heard last, and the next start, which
# opens the file again, puts the caret back at that word, from where Alt+Down speaks on.
. "$E2E_LIB"

doc="$E2E_WORK/story.txt"
printf '%s\n' "Hello." \
  "The second sentence of the story goes on for a long while, with many words, so that listening to it takes many seconds before it ends at last." \
  "The end." >"$doc"
mkdir -p "${VELMOR_INI%/*}"
printf '[Form1\\ffirst]\nBoolean=0\n[Form1\\ResumeWhereStopped]\nChecked=1\n' >"$VELMOR_INI"

velmor_start "$doc"
rec_start
wait_for_silence 300
e2e_key ctrl+Home
e2e_key ctrl+p
assert_sound_within 1
sleep 3.5
assert_sounding
e2e_key ctrl+r
wait_for_caption 'Line: 2 +Col: 0 '
velmor_close

velmor_start
# The word heard last, inside the second line.
wait_for_caption 'Line: 2 +Col: [1-9][0-9]* '
col=$(velmor_caption | sed -E 's/.*Col: ([0-9]+).*/\1/')
e2e_log "resumed at column $col of line 2"
[ "$col" -gt 20 ] || e2e_fail "the caret came back at column $col, before the words heard"
e2e_key alt+Down
assert_sound_within 1
velmor_close
cmp -s "$doc" <(printf '%s\n' "Hello." \
  "The second sentence of the story goes on for a long while, with many words, so that listening to it takes many seconds before it ends at last." \
  "The end.") || e2e_fail "listening changed the file"
echo "PASS: $E2E_NAME"
