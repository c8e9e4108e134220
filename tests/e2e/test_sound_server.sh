#!/usr/bin/env bash
# Velmor outlives its sound server: while the server is gone speech runs silently and the
# information panel says so; once the server is back, speech is heard again, the panel says so
# once and then shows what it showed before. That holds for a short absence and for one longer
# than Qt's sound library waits for the server.
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

# Qt's sound library reconnects once, 3 s after it lost the server; away for longer, the
# server is found again all the same.
for away in 0.3 6; do
  sound_server_stop
  e2e_log "sound server stopped for $away s"
  sleep "$away"
  e2e_key ctrl+p
  sleep 0.5
  velmor_alive || e2e_fail "velmor did not survive its sound server"
  silent=$(panel_shot silent)
  cmp -s "$heard" "$silent" && e2e_fail "the information panel does not tell that speech runs silently"
  e2e_key ctrl+r
  sound_server_start
  e2e_log "sound server started again"
  rec_start
  # An idle Velmor looks for the server every 2 s: the panel then says once that sound is back.
  sleep 3
  told=$(panel_shot told)
  cmp -s "$told" "$silent" && e2e_fail "after $away s away, the panel still says there is no sound device"
  cmp -s "$told" "$heard" && e2e_fail "after $away s away, the panel does not say that sound is back"
  wait_for_silence 300
  speak_all_then_reset 300
  cmp -s "$heard" "$(panel_shot back)" || e2e_fail "after $away s away, the panel does not show what it showed before"
done

velmor_alive || e2e_fail "velmor is gone"
echo "PASS: $E2E_NAME"
