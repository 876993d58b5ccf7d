#!/usr/bin/env bash
# Builds the libFuzzer targets in a separate clang build (build-fuzz) and runs each one on a copy
# of its seed corpus for a short fixed time: 15 s for each field, layout and writer target and
# 30 s for the whole conversation, about two minutes in all. The committed corpus is never
# changed. Exits non-zero when any target reports a crash, a broken property, a sanitizer
# finding, a leak, a timeout or running out of memory; the inputs that did it are copied to
# fuzz/crashes/<target>/ (not committed) with the target's log.
#
# Settings (environment): QUENDRIX_FUZZ_SECONDS (15), QUENDRIX_FUZZ_CONVERSATION_SECONDS (30),
# QUENDRIX_FUZZ_BUILD (build-fuzz), QUENDRIX_FUZZ_TARGETS (all six, space-separated).
#
# Reproducing a saved input:  build-fuzz/fuzz/<target> fuzz/crashes/<target>/<file>
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
build=${QUENDRIX_FUZZ_BUILD:-$root/build-fuzz}
short=${QUENDRIX_FUZZ_SECONDS:-15}
long=${QUENDRIX_FUZZ_CONVERSATION_SECONDS:-30}
targets=${QUENDRIX_FUZZ_TARGETS:-"fuzz_read_real fuzz_read_int fuzz_read_text fuzz_write_fields fuzz_layout fuzz_conversation"}

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else echo "run.sh: root needed for: $*" >&2; return 1
  fi
}
runtime_present() {
  compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null
}

echo "== toolchain =="
missing=()
runtime_present || missing+=(libclang-rt-14-dev)
command -v clang++ >/dev/null 2>&1 || command -v clang++-14 >/dev/null 2>&1 || missing+=(clang-14)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]}"
  as_root apt-get update || exit 1
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" || exit 1
fi
runtime_present || { echo "run.sh: the libFuzzer runtime is still missing" >&2; exit 1; }
cc=clang cxx=clang++
command -v clang++ >/dev/null 2>&1 || { cc=clang-14; cxx=clang++-14; }
"$cxx" --version | head -n 1

echo "== build =="
CC=$cc CXX=$cxx cmake -S . -B "$build" -DQUENDRIX_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDRIX_WERROR=ON >/dev/null || exit 1
# shellcheck disable=SC2086
cmake --build "$build" -j"$jobs" --target $targets || exit 1

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quendrix-fuzz-run.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
summary=()
for t in $targets; do
  secs=$short
  [ "$t" = fuzz_conversation ] && secs=$long
  work=$scratch/$t
  mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
  cp -R "fuzz/corpus/$t/." "$work/corpus/"
  seeds=$(find "$work/corpus" -type f | wc -l)
  dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="$root/fuzz/dict/$t.dict")
  echo "== $t: ${secs} s on $seeds seeds =="
  start=$(date +%s)
  TMPDIR=$work/tmp "$build/fuzz/$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${dict[@]}" "$work/corpus" >"$work/log" 2>&1
  rc=$?
  took=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -n 1 | cut -d' ' -f2)
  corpus=$(find "$work/corpus" -type f | wc -l)
  artifacts=$(find "$work/artifacts" -type f | wc -l)
  if [ "$rc" -ne 0 ] || [ "$artifacts" -ne 0 ]; then
    failed=1
    mkdir -p "fuzz/crashes/$t"
    cp "$work/artifacts/"* "fuzz/crashes/$t/" 2>/dev/null
    cp "$work/log" "fuzz/crashes/$t/log.txt"
    grep -E -A12 'PROPERTY BROKEN|ERROR: |SUMMARY|runtime error' "$work/log" | head -n 40
    line=$(printf '%-18s FAIL  exit %s after %ss, %s runs; inputs and log in fuzz/crashes/%s/' \
      "$t" "$rc" "$took" "${runs:-?}" "$t")
  else
    line=$(printf '%-18s PASS  %ss, %s runs, coverage %s, corpus %s -> %s' \
      "$t" "$took" "${runs:-?}" "${cov:-?}" "$seeds" "$corpus")
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary =="
printf '%s\n' "${summary[@]}"
[ "$failed" -eq 0 ] && echo "fuzz: all targets passed" || echo "fuzz: FAILED"
exit "$failed"
