# Helpers for end-to-end tests; sourced by each test_*.sh.
# CTest sets E2E_RUN (the desktop started by desktop.sh), VELMOR_BIN and E2E_LIB.
#
#   velmor_start [ARGS...]         run a private copy of velmor and wait for its window
#   e2e_type TEXT / e2e_key KEY..  keyboard input to the focused window (e2e_key marks the time)
#   rec_start / rec_stop           record the null sink's monitor
#   assert_sound_within SECONDS    sound starts at most SECONDS after the last e2e_key
#   assert_silence_within MS       sound stops at most MS after the last e2e_key and stays off
#   assert_sounding                something is playing right now
#   rec_bursts FROM TO [GAP_MS]    the stretches of sound in a part of the recording
#   velmor_close [ANSWER]          close through the window manager, answer the question, wait for the end
#   answer_dialog KEY              answer velmor's question or message box with a key
#   e2e_click / e2e_click_panel    mouse clicks in the main window / in the control panel Panel1
#   e2e_click_control NAME         a click on a named control of Panel1 (E2E_CONTROL)
#   e2e_shot X Y W H FILE          screenshot of a part of the main window, as raw pixels
#   sink_volume                    the default sink's volume ("RAW PERCENT")
#   e2e_on_exit COMMAND            run COMMAND when the test ends, whatever its outcome
#   clip_put FILE [XCLIP_ARGS...]  another program (xclip) puts FILE on the clipboard; marks the time
#   clip_text                      the clipboard's text
#   sound_server_stop / _start     lose the desktop's sound server and bring it back
#   session_bus_start              a private session bus that starts no installed service
set -Eeuo pipefail

: "${E2E_RUN:?E2E_RUN is not set: run through ctest or export it}"
: "${VELMOR_BIN:=}"
[ -f "$E2E_RUN/env" ] || { echo "FAIL: no desktop at $E2E_RUN (run tests/e2e/desktop.sh start $E2E_RUN)" >&2; exit 1; }
# shellcheck source=/dev/null
. "$E2E_RUN/env"

E2E_NAME=$(basename "$0" .sh)
E2E_WORK=$E2E_RUN/$E2E_NAME
rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"

E2E_RATE=22050
# 10 ms windows; the null sink gives exact zeros when nothing plays.
E2E_WINDOW=$((E2E_RATE / 100))
E2E_SOUND_RMS=${E2E_SOUND_RMS:-300}
E2E_SILENCE_RMS=${E2E_SILENCE_RMS:-30}

VELMOR_PID=
VELMOR_WID=
E2E_REC_PID=
E2E_REC_FILE=
E2E_MARK_MS=0
E2E_AT_EXIT=()

e2e_log() { echo "[$(date +%T.%3N)] $*"; }

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    import -window root "$E2E_WORK/failure.png" 2>/dev/null && echo "screenshot: $E2E_WORK/failure.png" >&2
  fi
  if [ -s "$E2E_WORK/velmor.log" ]; then
    echo "--- velmor output (last lines):" >&2
    tail -n 30 "$E2E_WORK/velmor.log" >&2
  fi
  exit 1
}

e2e_cleanup() {
  rec_stop
  velmor_stop
  local command
  for command in ${E2E_AT_EXIT[@]+"${E2E_AT_EXIT[@]}"}; do
    eval "$command" || true
  done
}

# Runs COMMAND when the test ends, also after a failure: for state that outlives the test (the volume).
e2e_on_exit() { E2E_AT_EXIT+=("$*"); }

# Running and not yet a zombie waiting to be reaped.
e2e_running() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
trap e2e_cleanup EXIT
trap 'e2e_fail "line $LINENO: command failed: $BASH_COMMAND"' ERR

# --- Velmor ---------------------------------------------------------------------------------------

# The settings file of the copy that velmor_start runs: beside the program, whose folder is writable.
VELMOR_INI=$E2E_WORK/app/velmor.ini

# A session bus of the test's own, stopped at the end by its id. It starts no installed service
# (IBus, the accessibility bus, a desktop portal, dconf): a test starts what it needs itself.
session_bus_start() {
  eval "$(dbus-launch --sh-syntax --config-file="${E2E_LIB%/*}/../support/session-bus.conf")"
  e2e_on_exit "kill $DBUS_SESSION_BUS_PID 2>/dev/null"
}

# A session bus and an IBus daemon of the test's own, both stopped at the end by their ids; the
# daemon writes its address where Qt in velmor (whose home velmor_start sets) looks for it.
ibus_start() {
  export XDG_CONFIG_HOME=$E2E_WORK/home/.config XDG_CACHE_HOME=$E2E_WORK/home/.cache
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  session_bus_start
  ibus-daemon --xim --daemonize --replace --panel=disable 2>>"$E2E_WORK/ibus.log"
  local address_file=
  for _ in $(seq 100); do
    address_file=$(ls "$XDG_CONFIG_HOME"/ibus/bus/* 2>/dev/null | head -n 1 || true)
    [ -n "$address_file" ] && grep -q '^IBUS_DAEMON_PID=' "$address_file" && break
    sleep 0.1
  done
  [ -n "$address_file" ] || e2e_fail "the IBus daemon did not start"
  IBUS_ADDRESS=$(sed -n 's/^IBUS_ADDRESS=//p' "$address_file")
  e2e_on_exit "kill $(sed -n 's/^IBUS_DAEMON_PID=//p' "$address_file")"
  export IBUS_ADDRESS QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
  sleep 2
}

# Runs a copy of the binary from a folder of its own, so settings stored beside it start fresh, with a
# private home; waits for the main window and gives it the keyboard. A later start in the same test
# runs the same copy and so finds the settings the earlier one wrote. With E2E_FILE_SIZE_LIMIT set
# (in KiB), no file velmor writes may grow beyond it, as on a full disk.
velmor_start() {
  [ -n "$VELMOR_BIN" ] && [ -x "$VELMOR_BIN" ] || e2e_fail "velmor binary not found: '$VELMOR_BIN'"
  local app=${VELMOR_INI%/*} home=$E2E_WORK/home
  mkdir -p "$app" "$home"
  cp "$VELMOR_BIN" "$app/velmor"
  # Its synthesis helper and window go with it, as an installed program finds its own.
  cp "${VELMOR_BIN%/*}/velmor-synth" "${VELMOR_BIN%/*}/velmor-window.so" "$app/"
  (
    cd "$home"
    export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
           XDG_CACHE_HOME=$home/.cache XDG_STATE_HOME=$home/.local/state
    if [ -n "${E2E_FILE_SIZE_LIMIT:-}" ]; then
      # The write then fails with EFBIG instead of the signal ending the program.
      trap '' XFSZ
      ulimit -f "$E2E_FILE_SIZE_LIMIT"
    fi
    exec "$app/velmor" "$@"
  ) </dev/null >>"$E2E_WORK/velmor.log" 2>&1 &
  VELMOR_PID=$!
  local i
  for i in $(seq 100); do
    e2e_running "$VELMOR_PID" || { VELMOR_PID=; e2e_fail "velmor exited at start"; }
    VELMOR_WID=$(xdotool search --all --onlyvisible --pid "$VELMOR_PID" --name 'Velmor' 2>/dev/null | head -n 1 || true)
    [ -n "$VELMOR_WID" ] && break
    sleep 0.1
  done
  [ -n "$VELMOR_WID" ] || e2e_fail "no Velmor window within 10 s"
  e2e_focus "$VELMOR_WID"
  e2e_log "velmor up: pid $VELMOR_PID, window $VELMOR_WID ($(xdotool getwindowname "$VELMOR_WID"))"
}

e2e_focus() {
  local wid=$1 i
  for i in $(seq 50); do
    xdotool windowactivate "$wid" 2>/dev/null || true
    [ "$(xdotool getactivewindow 2>/dev/null || true)" = "$wid" ] && return 0
    sleep 0.1
  done
  e2e_fail "window $wid does not take the focus"
}

# Ends velmor without asking: a modified text would otherwise raise the save question on close.
velmor_stop() {
  [ -n "$VELMOR_PID" ] || return 0
  local pid=$VELMOR_PID i
  VELMOR_PID=
  kill -TERM "$pid" 2>/dev/null || true
  for i in $(seq 50); do
    e2e_running "$pid" || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

velmor_alive() { [ -n "$VELMOR_PID" ] && e2e_running "$VELMOR_PID"; }

# The process id of the synthesis helper that a program (default: velmor) runs now.
# Empty between the death of one and the start of the next.
synthesis_helper() { pgrep -P "${1:-$VELMOR_PID}" -x velmor-synth | head -n 1 || true; }

# Prints the id of the focused window when it is one of velmor's other than the main window: a
# question or a message box.
velmor_dialog() {
  local active
  active=$(xdotool getactivewindow 2>/dev/null || true)
  if [ -n "$active" ] && [ "$active" != "$VELMOR_WID" ] &&
     [ "$(xdotool getwindowpid "$active" 2>/dev/null || true)" = "$VELMOR_PID" ]; then
    echo "$active"
  fi
}

# Waits up to 5 s for a question or message box of velmor's and answers it with KEY.
answer_dialog() {
  local key=$1 dialog i
  for i in $(seq 50); do
    dialog=$(velmor_dialog)
    if [ -n "$dialog" ]; then
      e2e_log "dialog \"$(xdotool getwindowname "$dialog")\": answering $key"
      xdotool key --clearmodifiers "$key"
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "no dialog within 5 s"
}

# Closes velmor through the window manager (Alt+F4) as a user would. When it asks about a modified
# text, the question gets ANSWER (default Alt+Y: Yes; Return keeps the text). Velmor must then end,
# with status 0.
velmor_close() {
  local answer=${1:-alt+y} pid=$VELMOR_PID asked='' ended='' status=0
  [ -n "$pid" ] || e2e_fail "velmor_close: velmor is not running"
  e2e_close_window "$VELMOR_WID"
  for _ in $(seq 100); do
    if ! e2e_running "$pid"; then
      ended=1
      break
    fi
    if [ -z "$asked" ] && [ -n "$(velmor_dialog)" ]; then
      answer_dialog "$answer"
      asked=1
    fi
    sleep 0.1
  done
  [ -n "$ended" ] || e2e_fail "velmor still runs 10 s after the close"
  VELMOR_PID=
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || e2e_fail "velmor ended with status $status"
  e2e_log "velmor closed"
}

# The main window's caption.
velmor_caption() { xdotool getwindowname "$VELMOR_WID"; }

# Waits up to 10 s for the caption to match the extended regular expression PATTERN.
wait_for_caption() {
  local pattern=$1 i
  for i in $(seq 100); do
    velmor_caption | grep -Eq -- "$pattern" && return 0
    sleep 0.1
  done
  e2e_fail "caption '$(velmor_caption)' does not match '$pattern'"
}

# --- window and mouse -----------------------------------------------------------------------------

# Panel1's top in client coordinates: the button bar (37), the information panel (22), the splitter (6).
E2E_PANEL_TOP=65

# Prints "X Y WIDTH HEIGHT": the main window's client area on the screen.
e2e_client_geometry() {
  xwininfo -id "$VELMOR_WID" | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# Clicks at X,Y of the main window's client area.
e2e_click() {
  xdotool mousemove --window "$VELMOR_WID" "$1" "$2" click 1
  sleep 0.1
}

# Clicks at X,Y of the control panel Panel1 (coordinates inside the panel).
e2e_click_panel() { e2e_click "$1" $((E2E_PANEL_TOP + $2)); }

# A point inside each control of Panel1 that the tests click, in the panel's coordinates.
declare -A E2E_CONTROL=(
  [show]="30 287"          # ShowCheckBox " Show" (20,277)
  [speech-info]="30 383"   # SICheckBox " speech-info" (20,373)
  [speed-up]="252 318"     # the right arrow of the speed bar ScrollBar1 (138,308, 121 x 21)
  [rep-field]="225 455"    # the edit field of the repetition spinner RepUpDown (207,442, 57 x 27)
  [rep-down]="257 462"     # its down arrow
)

e2e_click_control() {
  [ -n "${E2E_CONTROL[$1]:-}" ] || e2e_fail "no position known for the control '$1'"
  # shellcheck disable=SC2086
  e2e_click_panel ${E2E_CONTROL[$1]}
}

# Types VALUE into the repetition spinner in place of its number.
e2e_set_repetition() {
  e2e_click_control rep-field
  xdotool key --clearmodifiers ctrl+a
  e2e_type "$1"
}

# The mouth DirectSS1 in client coordinates: X Y WIDTH HEIGHT (Panel1 24,18, 240 x 162).
E2E_MOUTH=(24 $((E2E_PANEL_TOP + 18)) 240 162)

# Saves the WIDTH x HEIGHT part of the main window's client area at X,Y to FILE as a PPM image: pixels
# only, no time stamps, so equal pictures give equal files.
e2e_shot() {
  local x y
  read -r x y _ < <(e2e_client_geometry)
  import -window root -crop "$3x$4+$((x + $1))+$((y + $2))" +repage -depth 8 "ppm:$5"
}

# Number of distinct colours in an image: 1 for an empty area.
e2e_colours() { identify -format '%k' "$1"; }

# Drags FILES from a window of another program (E2E_DRAG_SOURCE) to X,Y of velmor's client area and drops them there;
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

# --- master volume --------------------------------------------------------------------------------

# The default sink's volume as "RAW PERCENT" (first channel; 65536 is 100%).
sink_volume() {
  pactl get-sink-volume @DEFAULT_SINK@ |
    awk 'NR == 1 { for (i = 3; i <= NF; i++) if ($i ~ /%$/) { print $(i - 2), $i + 0; exit } }'
}

# --- keyboard -------------------------------------------------------------------------------------

e2e_type() {
  xdotool type --delay 8 -- "$1"
}

# Replaces whatever the text box holds with TEXT, typed key by key.
e2e_replace_text() {
  xdotool key --clearmodifiers ctrl+a Delete
  e2e_type "$1"
}

# Closes the window through the window manager, as a user would (Alt+F4).
e2e_close_window() {
  e2e_focus "$1"
  xdotool key --clearmodifiers alt+F4
}

# Sends keys (xdotool names, e.g. ctrl+p) and marks the moment for the assertions that follow.
e2e_key() {
  E2E_MARK_MS=$(rec_pos_ms)
  xdotool key --clearmodifiers "$@"
}

# --- clipboard ------------------------------------------------------------------------------------

E2E_CLIP_PID=

# xclip serves the clipboard until another program takes it; the one started last is stopped at the end.
clip_stop() {
  [ -n "$E2E_CLIP_PID" ] || return 0
  kill -TERM "$E2E_CLIP_PID" 2>/dev/null || true
  wait "$E2E_CLIP_PID" 2>/dev/null || true
  E2E_CLIP_PID=
}
e2e_on_exit clip_stop

# Not in a pipeline: it must run in the test's own shell to keep the mark and the process id.
clip_put() {
  local file=$1
  shift
  clip_stop
  E2E_MARK_MS=$(rec_pos_ms)
  xclip -quiet -selection clipboard "$@" -i "$file" 2>>"$E2E_WORK/xclip.log" &
  E2E_CLIP_PID=$!
}

clip_text() { xclip -o -selection clipboard 2>/dev/null || true; }

# --- sound ----------------------------------------------------------------------------------------

rec_start() {
  rec_stop
  E2E_REC_FILE=$E2E_WORK/rec-$(date +%s%N).raw
  : >"$E2E_REC_FILE"
  parecord --raw --format=s16le --rate=$E2E_RATE --channels=1 --latency-msec=10 \
    -d test.monitor >"$E2E_REC_FILE" 2>>"$E2E_WORK/parecord.log" &
  E2E_REC_PID=$!
  local i
  for i in $(seq 50); do
    [ -s "$E2E_REC_FILE" ] && return 0
    sleep 0.05
  done
  e2e_fail "the recorder got no data from test.monitor"
}

rec_stop() {
  [ -n "$E2E_REC_PID" ] || return 0
  kill -TERM "$E2E_REC_PID" 2>/dev/null || true
  wait "$E2E_REC_PID" 2>/dev/null || true
  E2E_REC_PID=
}

# Milliseconds recorded so far: the position in the recording that corresponds to now.
rec_pos_ms() {
  if [ -n "$E2E_REC_FILE" ]; then
    echo $(( $(stat -c %s "$E2E_REC_FILE") / 2 * 1000 / E2E_RATE ))
  else
    echo 0
  fi
}

# Prints "START_MS RMS" for each 10 ms window of the recording between FROM_MS and TO_MS.
rec_rms() {
  local from=$1 to=$2
  local first=$((from * E2E_RATE / 1000)) count=$(((to - from) * E2E_RATE / 1000))
  dd if="$E2E_REC_FILE" iflag=skip_bytes,count_bytes bs=64K skip=$((first * 2)) count=$((count * 2)) \
    status=none |
    od -An -v --endian=little -td2 -w2 |
    awk -v w="$E2E_WINDOW" -v rate="$E2E_RATE" -v from="$from" '
      { s += $1 * $1; n++
        if (n == w) { printf "%d %.0f\n", from + (NR - w) * 1000 / rate, sqrt(s / n); s = 0; n = 0 } }'
}

# Prints "START_MS END_MS" for each stretch of sound between FROM_MS and TO_MS: windows at or above
# E2E_SILENCE_RMS, where quiet spells shorter than GAP_MS (default 100) do not end a stretch.
rec_bursts() {
  local from=$1 to=$2 gap=${3:-100}
  rec_rms "$from" "$to" | awk -v t="$E2E_SILENCE_RMS" -v gap="$gap" '
    $2 >= t {
      if (on && $1 - end >= gap) { print start, end; on = 0 }
      if (!on) { start = $1; on = 1 }
      end = $1 + 10
    }
    END { if (on) print start, end }'
}

rec_wait_until() {
  local ms=$1 i
  for i in $(seq 600); do
    [ "$(rec_pos_ms)" -ge "$ms" ] && return 0
    sleep 0.05
  done
  e2e_fail "the recording stopped growing"
}

# Sound (a 10 ms window above E2E_SOUND_RMS) must begin at most SECONDS after the last e2e_key.
assert_sound_within() {
  local limit_ms mark=$E2E_MARK_MS
  limit_ms=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')
  local deadline=$((mark + limit_ms + 20))
  while :; do
    local pos found
    pos=$(rec_pos_ms)
    found=$(rec_rms "$mark" "$pos" | awk -v t="$E2E_SOUND_RMS" '!f && $2 > t { print; f = 1 }')
    if [ -n "$found" ]; then
      local at=${found%% *} rms=${found##* }
      local latency=$((at - mark))
      [ "$latency" -le "$limit_ms" ] || e2e_fail "sound came after $latency ms, limit $limit_ms ms"
      e2e_log "sound after $latency ms (rms $rms; limit $limit_ms ms)"
      return 0
    fi
    if [ "$pos" -ge "$deadline" ]; then
      local peak
      peak=$(rec_rms "$mark" "$pos" | awk 'm < $2 { m = $2 } END { print m + 0 }')
      e2e_fail "no sound within $limit_ms ms (loudest 10 ms window: rms $peak)"
    fi
    sleep 0.05
  done
}

# Something was heard in the last 500 ms: what a pause or a stop is about to cut off is really playing.
assert_sounding() {
  local pos
  pos=$(rec_pos_ms)
  rec_rms $((pos > 500 ? pos - 500 : 0)) "$pos" |
    awk -v t="$E2E_SOUND_RMS" '$2 > t { f = 1 } END { exit !f }' ||
    e2e_fail "nothing is playing (no sound in the last 500 ms)"
}

# Sound must end at most MS after the last e2e_key and stay off for HOLD_MS (default 1500) after that.
assert_silence_within() {
  local limit_ms=$1 hold_ms=${2:-1500} mark=$E2E_MARK_MS
  rec_wait_until $((mark + limit_ms + hold_ms))
  local last
  last=$(rec_rms "$mark" $((mark + limit_ms + hold_ms)) |
    awk -v t="$E2E_SILENCE_RMS" '$2 >= t { last = $1 } END { print last == "" ? "" : last }')
  local silent_at=0
  [ -n "$last" ] && silent_at=$((last + 10 - mark))
  [ "$silent_at" -le "$limit_ms" ] ||
    e2e_fail "sound lasted $silent_at ms after the key, limit $limit_ms ms (held silence $hold_ms ms)"
  e2e_log "silent after $silent_at ms (limit $limit_ms ms, held $hold_ms ms)"
}

# Ctrl+P: sound within 1 s that is still there a second later; Ctrl+R: silence within 200 ms,
# held for HOLD_MS (default 1500).
speak_all_then_reset() {
  e2e_key ctrl+p
  assert_sound_within 1
  sleep 1
  assert_sounding
  e2e_key ctrl+r
  assert_silence_within 200 "${1:-1500}"
}

# The desktop's PulseAudio goes away (the recording with it) and comes back; the test that stops it
# makes sure it is back at the end, whatever the outcome, for the tests that follow.
E2E_DESKTOP=${E2E_LIB%/*}/desktop.sh
sound_server_stop() {
  rec_stop
  "$E2E_DESKTOP" sound-stop "$E2E_RUN" >/dev/null
  e2e_on_exit 'pactl info >/dev/null 2>&1 || sound_server_start'
}
sound_server_start() { "$E2E_DESKTOP" sound-start "$E2E_RUN" >/dev/null; }

# Waits until nothing has played for QUIET_MS (default 500), at most 10 s; for a clean start.
wait_for_silence() {
  local quiet_ms=${1:-500} start pos
  start=$(rec_pos_ms)
  while :; do
    pos=$(rec_pos_ms)
    if [ $((pos - start)) -ge "$quiet_ms" ] &&
       ! rec_rms $((pos - quiet_ms)) "$pos" | awk -v t="$E2E_SILENCE_RMS" '$2 >= t { f = 1 } END { exit !f }'; then
      return 0
    fi
    [ $((pos - start)) -lt 10000 ] || e2e_fail "no $quiet_ms ms of silence within 10 s"
    sleep 0.1
  done
}

# Ctrl+P speaks the text, Ctrl+E pauses and resumes it, Ctrl+R stops it, each heard on the sink:
# the sound ends at most LIMIT ms after the pause and the reset, and stays off 1500 ms after the
# pause, HOLD ms after the reset.
assert_speak_pause_resume_reset() {
  local limit=$1 hold=$2
  rec_start
  wait_for_silence 300
  e2e_key ctrl+p
  assert_sound_within 1
  sleep 1
  assert_sounding
  e2e_key ctrl+e
  assert_silence_within "$limit" 1500
  e2e_key ctrl+e
  assert_sound_within 1
  sleep 0.5
  assert_sounding
  e2e_key ctrl+r
  assert_silence_within "$limit" "$hold"
}
