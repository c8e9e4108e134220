#!/usr/bin/env bash
# Files dragged from another X11 client, as from a file manager: on the text box the first of them
# opens, after the question about the unsaved text, and stays where it was (a copy, never a move);
# a program dropped on the "dic" button is remembered and Alt+D starts it, also after a restart.
. "$E2E_LIB"

[ -x "${E2E_DRAG_SOURCE:-}" ] || e2e_fail "the drag source program is missing: '${E2E_DRAG_SOURCE:-}'"

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

doc=$E2E_WORK/dropped.txt
printf 'One\nTwo\nThree\n' >"$doc"
printf 'Not this one\n' >"$E2E_WORK/second.txt"
dictionary=$E2E_WORK/dictionary
printf '#!/bin/sh\ntouch "$0.ran"\n' >"$dictionary"
chmod +x "$dictionary"

velmor_start
e2e_type "draft"
action=$(drag_to 500 300 "$doc" "$E2E_WORK/second.txt")
[ "$action" = copy ] || e2e_fail "the drop on the text box took the action '$action', expected copy"
answer_question alt+y
e2e_focus "$VELMOR_WID"
xdotool key --clearmodifiers ctrl+End
wait_for_caption '^Velmor_L   Line: 4      Col: 0 '
[ -f "$doc" ] || e2e_fail "the dropped file is gone from its folder"

# The "dic" button sits at 713,10 (25 x 23) on the button bar.
action=$(drag_to 725 21 "$dictionary")
[ "$action" = copy ] || e2e_fail "the drop on the dic button took the action '$action', expected copy"
velmor_close
grep -qxF "String=$dictionary" "$VELMOR_INI" || e2e_fail "velmor.ini does not remember $dictionary"
grep -qxF "String=$doc" "$VELMOR_INI" || e2e_fail "velmor.ini does not name $doc as the last file"

velmor_start
e2e_key alt+d
for _ in $(seq 100); do
  [ -e "$dictionary.ran" ] && break
  sleep 0.1
done
[ -e "$dictionary.ran" ] || e2e_fail "Alt+D did not start the remembered program"
velmor_close
echo "PASS: $E2E_NAME"
