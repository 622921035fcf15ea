#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each one: first over its
# checked-in corpus, then for SECONDS (default 60) on a copy of that corpus
# in build-fuzz, so the checked-in files never change. Exits non-zero when a
# target crashes or breaks one of its checks, and names the input that did.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
case "$seconds" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
targets=(fuzz_record_decoder fuzz_answers fuzz_font_file fuzz_memory_file fuzz_csv_import fuzz_config_file
         fuzz_radio_image)

./scripts/install-deps.sh
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQM5_FUZZ=ON \
  -DTQM5_TESTS=OFF -DTQM5_BENCH=OFF -DTQM5_WERROR="${TQM5_WERROR:-OFF}" >/dev/null
cmake --build build-fuzz -j"$jobs" --target "${targets[@]}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=0
for t in "${targets[@]}"; do
  bin="build-fuzz/fuzz/$t"
  seeds="fuzz/corpus/$t"
  work="build-fuzz/fuzz/run/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/crashes"
  cp "$seeds"/* "$work/corpus/"
  log="$work/log.txt"

  echo "== $t: replaying $(ls "$seeds" | wc -l) corpus inputs"
  replay_failed=0
  for input in "$seeds"/*; do
    if ! "$bin" "$input" >"$work/replay.txt" 2>&1; then
      tail -n 40 "$work/replay.txt"
      echo "crash input: $input"
      echo "  reproduce: $bin $input"
      replay_failed=1
    fi
  done
  if [ "$replay_failed" -ne 0 ]; then
    echo "FAIL $t: a corpus input breaks it"
    failed=1
    continue
  fi

  echo "== $t: fuzzing for ${seconds}s"
  max_len=512
  case "$t" in fuzz_font_file | fuzz_memory_file | fuzz_csv_import) max_len=4096 ;; fuzz_radio_image) max_len=140000 ;; esac  # whole files
  if "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
       -artifact_prefix="$work/crashes/" "$work/corpus" >"$log" 2>&1; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
  else
    tail -n 40 "$log"
    echo "FAIL $t (log $log)"
    failed=1
  fi
  for crash in "$work"/crashes/*; do
    [ -e "$crash" ] || continue
    echo "crash input: $crash"
    echo "  reproduce: $bin $crash"
    failed=1
  done
done

if [ "$failed" -ne 0 ]; then
  echo "Fuzzing found a fault."
  exit 1
fi
echo "Fuzzing found nothing in ${seconds}s per target."
