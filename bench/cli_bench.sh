#!/bin/sh
# tessaly-compose as a mail client runs it: one whole process composing the
# bundled samples, side by side with fortune picking one quote and with
# shuf -n 1 on a quote file; /bin/true shows the cost of starting a process.
#
#   bench/cli_bench.sh [BUILD_DIR]      (default build/linux, after a build)
set -eu
build=${1:-build/linux}
bin=$build/bin
for tool in hyperfine /usr/games/fortune strfile shuf; do
  command -v "$tool" > /dev/null || { echo "$tool not found (Debian: hyperfine, fortune-mod, coreutils)"; exit 1; }
done
[ -x "$bin/tessaly-compose" ] || { echo "no $bin/tessaly-compose: build the linux preset first"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-bench-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# The same quotes in fortune's own format: each one ended by a line "%",
# indexed by strfile.
tr -d '\r' < "$bin/quotes/quotes1.txt" | sed 's/$/\n%/' > "$tmp/quotes"
strfile -s "$tmp/quotes"
printf 'quote1' > "$tmp/one-quote.txt"

samples="--template $bin/samples/template.htm --quote1 $bin/quotes/quotes1.txt --quote2 $bin/quotes/quotes2.txt"
samples="$samples --html1 $bin/samples/html1 --html2 $bin/samples/html2"
hyperfine --shell=none --warmup 200 --runs "${RUNS:-3000}" --export-json "$tmp/results.json" \
  -n "tessaly-compose, bundled samples" "$bin/tessaly-compose $samples" \
  -n "tessaly-compose, one quote" "$bin/tessaly-compose --template $tmp/one-quote.txt --quote1 $bin/quotes/quotes1.txt" \
  -n "fortune, one quote" "/usr/games/fortune $tmp/quotes" \
  -n "shuf -n 1" "shuf -n 1 $bin/quotes/quotes1.txt" \
  -n "/bin/true" "/bin/true" > /dev/null
# The median as well as the mean: on a shared machine a few slow runs pull
# the mean up.
python3 - "$tmp/results.json" <<'PY'
import json, sys
print(f"{'command':36} {'median ms':>9} {'mean ms':>8} {'sd ms':>6} {'min ms':>6}")
for r in json.load(open(sys.argv[1]))["results"]:
    print(f"{r['command']:36} {r['median'] * 1e3:9.3f} {r['mean'] * 1e3:8.3f} {r['stddev'] * 1e3:6.3f} {r['min'] * 1e3:6.3f}")
PY
