#!/usr/bin/env bash
# The Linux edition at rest: resident memory after start-up, and how often the
# process wakes while Paused (voluntary and involuntary context switches of
# all its threads over an idle period, from /proc/PID/task/*/status). For
# contrast the same count follows for a Running program, whose timer composes
# every 3 s. Runs on a private Xvfb display with a tray host (trayer).
# Usage: bench/linux_edition.sh [IDLE_SECONDS (60)] [RUNNING_SECONDS (15)]
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-60}
running=${2:-15}

cmake --preset linux >/dev/null
cmake --build --preset linux --target tessaly_linux -- -j2 >/dev/null

. scripts/display-env.sh
TESSALY_OWN_DISPLAY=1 tessaly_display_start
dir=$(mktemp -d /tmp/tessaly-bench.XXXXXX)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$dir"
  tessaly_display_stop
}
trap cleanup EXIT

cp build/linux/bin/tessaly "$dir/"
cp -r bundle/samples bundle/quotes "$dir/"
mkdir "$dir/data"

# Starts the program with the start-up flag $1 and waits for its window.
start() {
  printf '"%s"\r\n' "$dir/samples/template.htm" "$dir/signature.htm" "$dir/quotes/quotes1.txt" \
    "$dir/quotes/quotes2.txt" "$dir/samples/html1" "$dir/samples/html2" >"$dir/data/data.sfc"
  printf '%s\r\n' "$1" >>"$dir/data/data.sfc"
  "$dir/tessaly" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '^Tessaly V 1\.0$' >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 2  # let start-up settle (fonts, the tray's embedding)
}
stop() {
  kill "$pid" && wait "$pid" 2>/dev/null || true
  pid=
}
# "thread voluntary involuntary" for every thread of the program.
switches() {
  local task
  for task in /proc/"$pid"/task/*; do
    printf '%s %s %s\n' "$(cat "$task/comm")" \
      "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")" \
      "$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$task/status")"
  done
}
# Context switches per thread over $1 seconds of rest.
count_wakeups() {
  local before after
  before=$(switches)
  sleep "$1"
  after=$(switches)
  join <(sort <<<"$before") <(sort <<<"$after") |
    awk -v s="$1" '{v = $4 - $2; n = $5 - $3; t += v + n;
                    printf "  %-16s %6d voluntary %6d involuntary\n", $1, v, n}
                   END {printf "  total            %6d in %d s\n", t, s}'
}

start 0
echo "Paused, after start-up:"
grep -E '^(VmRSS|VmHWM|Threads)' /proc/"$pid"/status | sed 's/^/  /'
echo "Wake-ups while Paused and idle for $idle s:"
count_wakeups "$idle"
stop

start 1
echo "Wake-ups while Running for $running s (a composition every 3 s):"
count_wakeups "$running"
stop
