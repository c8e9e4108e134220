#!/usr/bin/env bash
# Ctrl+E pauses speech mid-sentence and Ctrl+E again resumes it.
. "$E2E_LIB"

velmor_start
e2e_replace_text "A pause holds the voice in the middle of this sentence, and the same key lets it carry on from there."
assert_speak_pause_resume_reset 200 500

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
