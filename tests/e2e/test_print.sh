#!/usr/bin/env bash
# File > Print through the print dialog, printing to a PDF file as a machine without a printer does:
# the text comes out whole and in order over as many pages as it needs, as one job titled with the
# file's name; an untitled text gives a job without a title; a cancelled dialog prints nothing.
. "$E2E_LIB"

home=$E2E_WORK/home

# Opens File > Print(&P) from the button bar and waits for the print dialog.
open_print_dialog() {
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers p
  for _ in $(seq 100); do
    [ -n "$(velmor_dialog)" ] && { sleep 0.5; return 0; }
    sleep 0.1
  done
  e2e_fail "no print dialog within 10 s"
}

# Waits until the PDF file is complete: pdfinfo reads it.
wait_for_pdf() {
  for _ in $(seq 100); do
    [ -s "$1" ] && pdfinfo "$1" >/dev/null 2>&1 && [ -z "$(velmor_dialog)" ] && return 0
    sleep 0.1
  done
  e2e_fail "no complete PDF file at $1 within 10 s"
}

pdf_title() { pdfinfo "$1" | sed -n 's/^Title: *//p'; }

story=$E2E_WORK/story.txt
for n in $(seq -w 1 180); do echo "Line $n of the printed story"; done >"$story"

velmor_start "$story"
wait_for_caption '^Velmor_L   Line: 1 '

open_print_dialog
answer_dialog Escape
sleep 1
[ -z "$(find "$home" -name '*.pdf')" ] || e2e_fail "a cancelled print dialog printed: $(find "$home" -name '*.pdf')"

# The dialog proposes a PDF file in the current folder named after the document.
open_print_dialog
answer_dialog Return
wait_for_pdf "$home/story.pdf"
[ "$(pdf_title "$home/story.pdf")" = "$story" ] || e2e_fail "job title '$(pdf_title "$home/story.pdf")', expected '$story'"
pages=$(pdfinfo "$home/story.pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" -ge 2 ] || e2e_fail "180 lines printed on $pages page(s)"
pdftotext -layout "$home/story.pdf" "$E2E_WORK/story-printed.txt"
sed 's/^ *//; s/ *$//' "$E2E_WORK/story-printed.txt" | tr -d '\f' | grep -v '^$' >"$E2E_WORK/story-lines.txt" || true
cmp -s "$E2E_WORK/story-lines.txt" "$story" ||
  e2e_fail "the printed text differs from the file: $(diff "$story" "$E2E_WORK/story-lines.txt" | head -5)"
for page in $(seq 1 "$pages"); do
  [ -n "$(pdftotext -f "$page" -l "$page" "$home/story.pdf" - | tr -d '[:space:]')" ] || e2e_fail "page $page is empty"
done
e2e_log "the story printed on $pages pages"

# An untitled text: the dialog proposes print.pdf, and the job has no title.
xdotool key --clearmodifiers ctrl+n
wait_for_caption '^Velmor_L   Line: 1      Col: 0 '
e2e_type "An untitled note"
open_print_dialog
answer_dialog Return
wait_for_pdf "$home/print.pdf"
[ -z "$(pdf_title "$home/print.pdf")" ] || e2e_fail "an untitled text printed with the title '$(pdf_title "$home/print.pdf")'"
[ "$(pdftotext "$home/print.pdf" - | tr -d '\f' | grep -v '^$')" = "An untitled note" ] ||
  e2e_fail "the untitled note printed as '$(pdftotext "$home/print.pdf" -)'"
velmor_close
echo "PASS: $E2E_NAME"
