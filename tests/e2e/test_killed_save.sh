#!/usr/bin/env bash
# A save killed midway (kill -9) never leaves a cut-off file: the target holds either its old bytes or
# the whole new text. Each attempt opens a 30 MB file, types one letter, presses Ctrl+S and kills Velmor
# at a different moment of the save. A save that runs out of room is reported and keeps the old bytes.
. "$E2E_LIB"

folder=$E2E_WORK/doc
target=$folder/big.txt
original=$E2E_WORK/big.original
saved=$E2E_WORK/big.saved
mkdir -p "$folder"

# Plain ASCII with CR LF line breaks: a plain save writes it back byte for byte.
awk 'BEGIN {
  for (i = 1; size < 30000000; i++) {
    line = sprintf("%07d the reader speaks every line of this long text aloud, one after another\r", i)
    print line
    size += length(line) + 1
  }
}' >"$original"
# A first start leaves the caret at the top, where the letter goes.
{ printf x; cat "$original"; } >"$saved"

# Starts Velmor on a fresh copy of the file, types the letter and presses Ctrl+S.
open_edit_save() {
  rm -rf "$folder" "$VELMOR_INI"
  mkdir -p "$folder"
  cp "$original" "$target"
  velmor_start "$target"
  wait_for_caption 'Line: 1      Col: 0 '
  xdotool type x
  wait_for_caption 'Line: 1      Col: 1 '
  UNTOUCHED=$(target_stat)
  SAVE_START=$(date +%s%N)
  xdotool key --clearmodifiers ctrl+s
}

target_stat() { stat -c '%i %s %Y' "$target"; }

ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

# A file Velmor has open in the document's folder (the save's temporary file, or the target).
open_in_folder() { find "/proc/$VELMOR_PID/fd" -lname "$folder/*" -print -quit 2>/dev/null; }

# The target itself is open, as when it is written in place; shell built-ins only, so it is quick.
target_open() {
  local fd
  for fd in "/proc/$VELMOR_PID/fd/"*; do
    [ "$fd" -ef "$target" ] && return 0
  done
  return 1
}

# Kills Velmor at once and checks what the target holds.
kill_and_check() {
  local what=$1 pid=$VELMOR_PID at
  at=$(ms_since "$SAVE_START")
  kill -KILL "$pid"
  VELMOR_PID=
  wait "$pid" 2>/dev/null || true
  local others
  others=$(find "$folder" -mindepth 1 ! -path "$target" -printf '%f ')
  if cmp -s "$target" "$original"; then
    RESULT=old
  elif cmp -s "$target" "$saved"; then
    RESULT=new
  else
    e2e_fail "killed $what ($at ms after Ctrl+S): $target holds $(stat -c %s "$target") bytes, neither the old nor the new text"
  fi
  e2e_log "killed $what, $at ms after Ctrl+S: the $RESULT text${others:+; also in the folder: $others}"
}

in_flight=0

# As soon as a file in the folder is open or the target changes; when that happens sets the kill
# moments further down.
open_edit_save
while :; do
  if target_open; then
    opened_ms=$(ms_since "$SAVE_START")
    kill_and_check "with the target itself open"
    in_flight=$((in_flight + 1))
    break
  fi
  if [ -n "$(open_in_folder)" ]; then
    opened_ms=$(ms_since "$SAVE_START")
    kill_and_check "with a file in the folder just opened"
    in_flight=$((in_flight + 1))
    break
  fi
  if [ "$(target_stat)" != "$UNTOUCHED" ]; then
    opened_ms=$(ms_since "$SAVE_START")
    kill_and_check "as soon as the target changed"
    break
  fi
  [ "$(ms_since "$SAVE_START")" -lt 20000 ] || e2e_fail "the save neither opened a file in $folder nor changed the target within 20 s"
done

# Once the temporary file holds data.
open_edit_save
while :; do
  fd=$(open_in_folder)
  if [ -n "$fd" ] && [ "$(stat -L -c %s "$fd" 2>/dev/null || echo 0)" -gt 0 ]; then
    kill_and_check "with $(stat -L -c %s "$fd" 2>/dev/null || echo 0) bytes in the temporary file"
    in_flight=$((in_flight + 1))
    break
  fi
  if [ -z "$fd" ] && [ "$(target_stat)" != "$UNTOUCHED" ]; then
    kill_and_check "after the save, no file having been seen with data"
    break
  fi
  [ "$(ms_since "$SAVE_START")" -lt 20000 ] || e2e_fail "no save within 20 s of Ctrl+S"
done

# At fixed moments before, around and after the temporary file's opening.
for delay in $((opened_ms / 2)) $((opened_ms - 20)) $((opened_ms + 10)) $((opened_ms + 30)) $((opened_ms + 60)); do
  open_edit_save
  while [ "$(ms_since "$SAVE_START")" -lt "$delay" ]; do :; done
  kill_and_check "after $delay ms"
done
[ "$in_flight" -ge 1 ] || e2e_fail "no attempt caught the save in flight: the test proves nothing"

# No room for the whole text (files may not grow beyond 20 MB): the write comes up short, Velmor says
# so, and the target keeps its old bytes with nothing left beside it.
E2E_FILE_SIZE_LIMIT=20000 open_edit_save
until [ -n "$(velmor_dialog)" ]; do
  velmor_alive || e2e_fail "velmor ended during a save that ran out of room"
  [ "$(ms_since "$SAVE_START")" -lt 20000 ] || e2e_fail "a save that ran out of room reported nothing within 20 s"
  sleep 0.05
done
cmp -s "$target" "$original" ||
  e2e_fail "a save that ran out of room left $(stat -c %s "$target") bytes in $target instead of its old text"
others=$(find "$folder" -mindepth 1 ! -path "$target" -printf '%f ')
[ -z "$others" ] || e2e_fail "a save that ran out of room left files behind: $others"
e2e_log "a save that ran out of room was reported: \"$(xdotool getwindowname "$(velmor_dialog)")\""
answer_dialog Return
velmor_stop

# Left alone, the save writes the new text.
open_edit_save
until cmp -s "$target" "$saved"; do
  [ "$(ms_since "$SAVE_START")" -lt 20000 ] || e2e_fail "a complete save did not write the text with its new letter"
  sleep 0.05
done
e2e_log "a complete save wrote the new text within $(ms_since "$SAVE_START") ms"
velmor_stop
echo "PASS: $E2E_NAME"
