#!/usr/bin/env bash
# An EPUB book made by pandoc is dragged from another X11 client onto the text box: its text opens,
# Ctrl+P speaks it, and Ctrl+S refuses to write the untitled text, so the book stays byte for byte
# as it was.
. "$E2E_LIB"

[ -x "${E2E_DRAG_SOURCE:-}" ] || e2e_fail "the drag source program is missing: '${E2E_DRAG_SOURCE:-}'"
command -v pandoc >/dev/null || e2e_fail "pandoc is missing (scripts/install-deps.sh installs it)"

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
