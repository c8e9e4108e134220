#!/usr/bin/env bash
# Velmor outlives its sound server: while the server is gone speech runs silently and the
# information panel says so; once the server is back, speech is heard again and the panel shows
# what it showed before.
. "$E2E_LIB"

# The caption part of the information panel (the info line to its right is left out).
panel_shot() {
  local file=$E2E_WORK/panel-$1.ppm
  e2e_shot 0 37 250 22 "$file"
  echo "$file"
}

velmor_start
e2e_replace_text "The sound server may come and go, and speech follows it."
rec_start
wait_for_silence 300
speak_all_then_reset 300
heard=$(panel_shot heard)

# Qt's sound library reconnects once, 3 s after it lost the server: the server must be back by then.
sound_server_stop
e2e_log "sound server stopped"
sleep 0.3
e2e_key ctrl+p
sleep 0.5
velmor_alive || e2e_fail "velmor did not survive its sound server"
silent=$(panel_shot silent)
cmp -s "$heard" "$silent" && e2e_fail "the information panel does not tell that speech runs silently"
e2e_key ctrl+r
sound_server_start
e2e_log "sound server started again"
rec_start
sleep 2
wait_for_silence 300
speak_all_then_reset 300
cmp -s "$heard" "$(panel_shot back)" || e2e_fail "the silent-speech notice stays after the sound came back"

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
