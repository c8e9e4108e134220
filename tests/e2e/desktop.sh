#!/usr/bin/env bash
# A private desktop for end-to-end tests: Xvfb, a window manager and a PulseAudio server whose
# default sink is a null sink named "test" (its monitor "test.monitor" records what was played).
#   desktop.sh start RUN_DIR        starts everything and writes RUN_DIR/env for the tests to source
#   desktop.sh stop RUN_DIR         stops what start started, by process id
#   desktop.sh sound-stop RUN_DIR   stops only the sound server (a test of losing it)
#   desktop.sh sound-start RUN_DIR  starts the sound server again after sound-stop
set -euo pipefail

usage() { echo "usage: $0 start|stop|sound-stop|sound-start RUN_DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
run=$(realpath -m "$2")
pids_file=$run/pids

fail() {
  echo "desktop.sh: $*" >&2
  for log in "$run"/xvfb.log "$run"/wm.log "$run"/pulseaudio.log "$run"/keepalive.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  stop
  exit 1
}

# Running and not yet a zombie waiting for init to reap it.
alive() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

# Stops the processes of the pid file with the given names (every one when none is given),
# politely first, and takes them off the file.
stop_daemons() {
  local name pid comm pids=() kept=()
  if [ -f "$pids_file" ]; then
    while read -r name pid comm; do
      if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
        kept=("$name $pid $comm" ${kept[@]+"${kept[@]}"})
        continue
      fi
      # A pid left by an earlier boot may belong to someone else by now.
      if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$comm" ]; then
        kill -TERM "$pid" 2>/dev/null || true
        pids+=("$pid")
      fi
    done < <(tac "$pids_file")
    if [ ${#kept[@]} -gt 0 ]; then printf '%s\n' "${kept[@]}" >"$pids_file"; else rm -f "$pids_file"; fi
  fi
  local i
  for i in $(seq 50); do
    local running=0
    for pid in ${pids[@]+"${pids[@]}"}; do
      if alive "$pid"; then running=1; fi
    done
    [ $running -eq 1 ] || break
    sleep 0.1
  done
  for pid in ${pids[@]+"${pids[@]}"}; do
    if alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
  done
}

stop() {
  stop_daemons
  rm -f "$run/env"
  # A runtime dir moved to /tmp for a short socket path goes with the run.
  if [ -f "$run/xdg-path" ]; then
    local xdg
    xdg=$(cat "$run/xdg-path")
    case $xdg in /tmp/velmor-e2e.*) rm -rf "$xdg" ;; esac
    rm -f "$run/xdg-path"
  fi
}

# Starts a daemon in its own session, detached from the caller's output (CTest waits for its pipes).
spawn() {
  local name=$1 log=$2
  shift 2
  setsid "$@" </dev/null >>"$log" 2>&1 &
  spawned=$!
  local comm
  comm=$(basename "$1")
  echo "$name $! ${comm:0:15}" >>"$pids_file"
}

wait_for() {
  local what=$1 tries=$2
  shift 2
  local i
  for i in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "$what did not come up"
}

start() {
  mkdir -p "$run"
  stop
  # Stale state of an earlier run: logs, sockets, the display number, test leftovers.
  rm -rf "$run/xdg" "$run/home" "$run"/*.log "$run/display" "$run/env" "$run"/test_*

  # The Unix socket path must stay under 108 bytes; a deep build folder gets its runtime dir in /tmp.
  local xdg=$run/xdg
  if [ ${#xdg} -gt 80 ]; then
    xdg=$(mktemp -d /tmp/velmor-e2e.XXXXXX)
    echo "$xdg" >"$run/xdg-path"
  fi
  mkdir -p -m 700 "$xdg" "$run/home"
  export XDG_RUNTIME_DIR=$xdg HOME=$run/home XDG_CONFIG_HOME=$run/home/.config
  # No session bus: otherwise libdbus launches one per client and leaves it running.
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$xdg/no-bus

  : >"$run/display"
  spawn xvfb "$run/xvfb.log" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$run/display"
  wait_for "Xvfb" 100 test -s "$run/display"
  export DISPLAY=":$(tr -dc 0-9 <"$run/display")"
  wait_for "Xvfb on $DISPLAY" 50 xdpyinfo

  # Click-to-focus manager: a newly mapped window gets the keyboard, and windows close through it.
  spawn wm "$run/wm.log" openbox --sm-disable
  wait_for "openbox" 50 xprop -root -notype _NET_SUPPORTING_WM_CHECK

  export PULSE_SERVER=unix:$xdg/pulse/native
  start_sound

  {
    printf 'export %s=%q\n' DISPLAY "$DISPLAY" XDG_RUNTIME_DIR "$XDG_RUNTIME_DIR" \
      PULSE_SERVER "$PULSE_SERVER" PULSE_SINK test PULSE_SOURCE test.monitor \
      QT_QPA_PLATFORM xcb DBUS_SESSION_BUS_ADDRESS "$DBUS_SESSION_BUS_ADDRESS"
    echo 'unset WAYLAND_DISPLAY'
  } >"$run/env.tmp"
  mv "$run/env.tmp" "$run/env"
  echo "desktop up: DISPLAY=$DISPLAY PULSE_SERVER=$PULSE_SERVER"
}

# PulseAudio with the null sink "test" as the default, on the socket PULSE_SERVER names.
start_sound() {
  spawn pulseaudio "$run/pulseaudio.log" pulseaudio -n --daemonize=no --system=no \
    --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --high-priority=no --realtime=no --disable-shm=yes \
    --log-target=stderr --log-level=notice \
    --load="module-null-sink sink_name=test sink_properties=device.description=test" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=${PULSE_SERVER#unix:}"
  wait_for "PulseAudio" 100 pactl info
  pactl set-default-sink test
  pactl set-default-source test.monitor

  # An idle null sink starts a new stream up to 2 s late: keep one silent stream running.
  spawn keepalive "$run/keepalive.log" pacat --playback --raw --latency-msec=20 -d test /dev/zero
  sleep 2
  alive "$spawned" || fail "the keep-alive stream did not start"
}

# The desktop's own settings, for the actions that come after start.
load_env() {
  [ -f "$run/env" ] || { echo "desktop.sh: no desktop at $run" >&2; exit 1; }
  # shellcheck source=/dev/null
  . "$run/env"
}

case $action in
  start) start ;;
  stop) stop; echo "desktop down" ;;
  sound-stop) load_env; stop_daemons keepalive pulseaudio; echo "sound server down" ;;
  sound-start) load_env; start_sound; echo "sound server up" ;;
  *) usage ;;
esac
