#!/usr/bin/env bash
# An EPUB book made by pandoc is dragged from another X11 client onto the text box: its text opens,
# Ctrl+P speaks it, and Ctrl+S refuses to write the untitled text, so the book stays byte for byte
# as it was.
. "$E2E_LIB"

[ -x "${E2E_DRAG_SOURCE:-}" ] || e2e_fail "the drag source program is missing: '${E2E_DRAG_SOURCE:-}'"
command -v pandoc >/dev/null || e2e_fail "pandoc is missing (scripts/install-deps.sh installs it)"

# Drags FILES from a window of another program to X,Y of velmor's client area and drops them there;
# prints the action the drop took ("copy", "move", "link" or "none").
drag_to() {
  local x=$1 y=$2 pid wid sx sy cx cy i
  shift 2
  : >"$E2E_WORK/drag.out"
  "$E2E_DRAG_SOURCE" "$@" >"$E2E_WORK/drag.out" 2>>"$E2E_WORK/drag.log" &
  pid=$!
  for i in $(seq 100); do
    wid=$(xdotool search --onlyvisible --pid "$pid" --name 'drag source' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || e2e_fail "the drag source shows no window"
  e2e_focus "$wid"
  eval "$(xdotool getwindowgeometry --shell "$wid" | sed -n 's/^X=/sx=/p; s/^Y=/sy=/p')"
  read -r cx cy _ < <(e2e_client_geometry)
  xdotool mousemove $((sx + 80)) $((sy + 40))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
  # The drag follows the pointer step by step, as a hand moves it.
  for i in $(seq 1 10); do
    xdotool mousemove $((sx + 80 + (cx + x - sx - 80) * i / 10)) $((sy + 40 + (cy + y - sy - 40) * i / 10))
    sleep 0.05
  done
  sleep 0.3
  xdotool mouseup 1
  for i in $(seq 50); do
    [ -s "$E2E_WORK/drag.out" ] && break
    sleep 0.1
  done
  # The target fetches the files' names from the source after the drop: let it.
  sleep 1
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  cat "$E2E_WORK/drag.out"
}

# The question a drop raises comes up while the drag source has the focus: give it the focus first.
answer_question() {
  local dialog='' i
  for i in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --pid "$VELMOR_PID" --name 'Velmor' 2>/dev/null | grep -vx "$VELMOR_WID" | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || e2e_fail "no question within 5 s"
  e2e_focus "$dialog"
  answer_dialog "$1"
}

book=$E2E_WORK/harbour.epub
printf -- '---\ntitle: Harbour Notes\n---\n\n# Arrival\n\nThe ferry docks at noon and everybody waits on the pier.\n\nGoodbye for now.\n' \
  >"$E2E_WORK/harbour.md"
pandoc "$E2E_WORK/harbour.md" -s -o "$book" || e2e_fail "pandoc could not make the book"
cp "$book" "$E2E_WORK/original.epub"

velmor_start
action=$(drag_to 500 300 "$book")
[ "$action" = copy ] || e2e_fail "the drop on the text box took the action '$action', expected copy"
e2e_focus "$VELMOR_WID"
# Title page, heading, two paragraphs: four lines, the last "Goodbye for now."
xdotool key --clearmodifiers ctrl+End
wait_for_caption '^Velmor_L   Line: 4      Col: 16 '
xdotool key --clearmodifiers ctrl+Home
rec_start
wait_for_silence 300
speak_all_then_reset 500

# Save has no file to write to: it says so, and the book is untouched.
e2e_key ctrl+s
answer_dialog Return
velmor_close
cmp -s "$book" "$E2E_WORK/original.epub" || e2e_fail "the book changed"
echo "PASS: $E2E_NAME"
