#!/usr/bin/env bash
# Runs every benchmark program in BUILD_DIR/bench in turn, on a private X server and sound server
# (the speech benchmarks need a real audio device), and prints their figures.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
bench_dir=$(realpath "$build")/bench
root=$(cd "$(dirname "$0")/.." && pwd)
desktop=$root/tests/e2e/desktop.sh

run=$(mktemp -d /tmp/velmor-bench.XXXXXX)
stop_speech_service() {
  local pid_file=${XDG_RUNTIME_DIR:-/nonexistent}/speech-dispatcher/pid/speech-dispatcher.pid
  [ -f "$pid_file" ] || return 0
  kill "$(cat "$pid_file")" 2>/dev/null || true
  rm -f "$pid_file"
}
cleanup() {
  stop_speech_service
  "$desktop" stop "$run" >/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
"$desktop" start "$run" >/dev/null
# shellcheck source=/dev/null
. "$run/env"

# The benchmarks use this build's synthesis helper and Japanese supplement dictionary.
export VELMOR_SYNTH_HELPER=$(realpath "$build")/velmor-synth
export VELMOR_JAPANESE_WORDS=$(realpath "$build")/velmor-japanese.dic

status=0
count=0
for program in "$bench_dir"/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  count=$((count + 1))
  echo "== $(basename "$program")"
  # The system voices' benchmark speaks through a speech-dispatcher of its own, on that sound
  # server; the others run without one, as on a desktop that has none.
  if [ "$(basename "$program")" = bench_system_voices ]; then
    speech-dispatcher -d -t 600 >/dev/null 2>&1 || echo "speech-dispatcher did not start" >&2
    for _ in $(seq 50); do
      [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
      sleep 0.1
    done
  fi
  if ! "$program"; then
    echo "== $(basename "$program") failed" >&2
    status=1
  fi
  stop_speech_service
  echo
done
[ $count -gt 0 ] || { echo "no benchmark programs in $bench_dir" >&2; exit 1; }
exit $status
