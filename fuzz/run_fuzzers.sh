#!/bin/sh
# Runs every fuzz target of a fuzz build (`make fuzz`): first over its seeds
# and the inputs that once failed, in fuzz/corpus/<reader>/, then for SECONDS
# seconds (default 20) from there. What the fuzzer finds on the way stays in
# a scratch folder; an input that fails is saved in fuzz-out/ and stops the run.
# Each target has 1 GB of memory: no input may make a reader take more.
#   run_fuzzers.sh <build folder> [seconds] [target...]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?build folder}"
seconds="${2:-20}"
shift $(($# < 2 ? $# : 2))
targets="${*:-avi bmp gif pcx tga flic zuv plt kmt settings}"
out="$here/../fuzz-out"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for t in $targets; do
  bin="$build/fuzz/movaltic/fuzz_$t"
  [ -x "$bin" ] || bin="$build/fuzz/quarvex/fuzz_$t"
  seeds="$here/corpus/$t"
  echo "== fuzz_$t: $(ls "$seeds" | wc -l) seeds, then ${seconds} s"
  mkdir -p "$scratch/$t"
  "$bin" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=1024 -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$out/fuzz_$t-" "$scratch/$t" "$seeds" 2>"$scratch/$t.log" || {
      tail -n 60 "$scratch/$t.log"
      echo "fuzz_$t failed: the input is in $out"
      exit 1
    }
  grep -E "^stat::number_of_executed_units|^stat::new_units_added" "$scratch/$t.log" | tr '\n' ' '
  echo
done
