#!/usr/bin/env bash
# Builds the libFuzzer targets with the fuzz preset (clang++) and runs each for a bounded time on a copy of its
# seed corpus. Exits non-zero on any finding; the input that caused it is kept in BUILD_DIR.
#
#   fuzz/run_fuzzers.sh SOURCE_DIR [BUILD_DIR]
#
# FUZZ_SECONDS sets the time per target (default 30).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 SOURCE_DIR [BUILD_DIR]" >&2
  exit 2
fi
if ! command -v clang++ >/dev/null; then
  echo "$0: clang++ is needed for the fuzz targets" >&2
  exit 2
fi
src=$(cd "$1" && pwd)
build=${2:-$src/build-fuzz}
seconds=${FUZZ_SECONDS:-30}
targets=(fuzz_parse_digit_string fuzz_filters fuzz_dialogue fuzz_vigenere_crack)

(cd "$src" && cmake --preset fuzz -B "$build")
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$build/fuzz-artifacts
rm -rf "$artifacts"
mkdir -p "$artifacts"

failed=()
for target in "${targets[@]}"; do
  # The committed corpus stays as it is: the run grows its own copy.
  corpus=$work/$target
  mkdir -p "$corpus"
  cp -R "$src/fuzz/corpus/$target/." "$corpus/"
  echo "== $target: ${seconds} s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$corpus" >"$work/$target.log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$work/$target.log"
    for finding in "$artifacts/$target"-*; do
      [[ -e $finding ]] || continue
      echo "-- $finding ($(wc -c <"$finding") bytes; the first 640 in hex):"
      head -c 640 "$finding" | od -An -tx1 -v
    done
  else
    grep -E '^Done|^stat::peak_rss_mb' "$work/$target.log" || true
  fi
done

passed=$((${#targets[@]} - ${#failed[@]}))
echo "fuzzing: $passed passed, ${#failed[@]} failed"
if ((${#failed[@]})); then
  echo "findings in: ${failed[*]} (inputs kept in $artifacts)" >&2
  exit 1
fi
