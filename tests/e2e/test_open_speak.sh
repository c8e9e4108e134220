#!/usr/bin/env bash
# A UTF-8 file named on the command line is opened and Ctrl+P speaks it; the close remembers it as the
# last file, and the next start without an argument opens it again with the caret on its end line.
# A Japanese file in code page 932 opens with its characters whole and is spoken too. A file whose
# name is not UTF-8 opens and saves under its own name.
. "$E2E_LIB"

doc="$E2E_WORK/café notes.txt"
printf 'The café opens at nine in the morning.\nEverybody who comes early gets a warm croissant.\nSee you there.\n' >"$doc"
cp "$doc" "$E2E_WORK/original.txt"

velmor_start "$doc"
# A first start: the caret stays at the top of the opened text.
wait_for_caption '^Velmor_L   Line: 1      Col: 0    $'
rec_start
wait_for_silence 300
speak_all_then_reset 500
# The text box holds the file (three lines and the empty one after them), not the voice listing.
xdotool key --clearmodifiers ctrl+End
wait_for_caption '^Velmor_L   Line: 4      Col: 0    $'
velmor_close

cmp -s "$doc" "$E2E_WORK/original.txt" || e2e_fail "opening and speaking changed the file"
grep -qxF "String=$doc" "$VELMOR_INI" || e2e_fail "velmor.ini does not name $doc as the last file"

# No argument: the last file, with the caret at the start of the empty line after its last text line.
velmor_start
wait_for_caption '^Velmor_L   Line: 4      Col: 0    $'
velmor_close
cmp -s "$doc" "$E2E_WORK/original.txt" || e2e_fail "the second start changed the file"

# A Japanese plain text file (code page 932, CR LF) is read as such: its first line is seven
# characters long (表 and ソ end in the byte of "\"); and it is spoken.
japanese=$E2E_WORK/japanese.txt
printf '表ソこんにちは\r\nさようなら\r\n' | iconv -f UTF-8 -t CP932 >"$japanese"
velmor_start "$japanese"
wait_for_caption '^Velmor_L   Line: 3      Col: 0    $'
xdotool key --clearmodifiers ctrl+Home End
wait_for_caption '^Velmor_L   Line: 1      Col: 7    $'
wait_for_silence 300
e2e_key ctrl+p
assert_sound_within 1
e2e_key ctrl+r
assert_silence_within 200 500
velmor_close

latin1=$E2E_WORK/$'caf\xe9.txt'
printf 'Latin one\r\n' >"$latin1"
velmor_start "$latin1"
wait_for_caption '^Velmor_L   Line: 2      Col: 0    $'
xdotool type x
wait_for_caption '^Velmor_L   Line: 2      Col: 1    $'
xdotool key --clearmodifiers ctrl+s
for _ in $(seq 50); do
  [ "$(cat "$latin1")" = $'Latin one\r\nx' ] && break
  [ -z "$(velmor_dialog)" ] || e2e_fail "saving under a Latin-1 name: \"$(xdotool getwindowname "$(velmor_dialog)")\""
  sleep 0.1
done
[ "$(cat "$latin1")" = $'Latin one\r\nx' ] || e2e_fail "Ctrl+S did not write the file with the Latin-1 name"
velmor_close
echo "PASS: $E2E_NAME"
