#!/usr/bin/env bash
# Big files named on the command line: 20 MB of short lines (none wraps) and 1 MB that is one paragraph. The
# window comes up while the file is read; once the text is in, Ctrl+End reaches its last line,
# Ctrl+S writes back the very bytes and Ctrl+P speaks.
. "$E2E_LIB"

# Doubles the contents of a file COUNT times.
double_up() {
  local file=$1 i
  for i in $(seq "$2"); do
    cat "$file" "$file" >"$file.twice"
    mv "$file.twice" "$file"
  done
}
lines=$E2E_WORK/lines.txt
printf 'The quick brown fox, the lazy dog.\n' >"$E2E_WORK/line"
double_up "$E2E_WORK/line" 20
{ printf 'A list, café included\n'; cat "$E2E_WORK/line"; } >"$E2E_WORK/lines.long"
head -c 20000000 "$E2E_WORK/lines.long" >"$lines"
paragraph=$E2E_WORK/paragraph.txt
printf 'A sentence of the one paragraph, spoken aloud. ' >"$E2E_WORK/sentence"
double_up "$E2E_WORK/sentence" 15
head -c 1000000 "$E2E_WORK/sentence" >"$paragraph"

# Ctrl+S has written the file back when it holds the bytes of the copy again.
saves_back() {
  local file=$1 copy=$2 i
  : >"$file"
  xdotool key --clearmodifiers ctrl+s
  for i in $(seq 100); do
    cmp -s "$file" "$copy" && return 0
    sleep 0.1
  done
  e2e_fail "Ctrl+S did not give back the bytes of $(basename "$file")"
}

for file in "$lines" "$paragraph"; do
  cp "$file" "$file.orig"
  velmor_start "$file"
  xdotool key --clearmodifiers ctrl+End
  if [ "$file" = "$lines" ]; then
    wait_for_caption "^Velmor_L   Line: $(($(wc -l <"$lines") + 1)) "
  else
    wait_for_caption '^Velmor_L   Line: [0-9]{3,} '
  fi
  saves_back "$file" "$file.orig"
  rec_start
  wait_for_silence 300
  # Generous for a loaded machine: bench/ has the figures.
  e2e_key ctrl+p
  assert_sound_within 5
  e2e_key ctrl+r
  assert_silence_within 300 500
  rec_stop
  velmor_close
done
echo "PASS: $E2E_NAME"
