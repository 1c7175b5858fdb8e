#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang and runs each for a bounded
# time. Usage: scripts/fuzz.sh [seconds per target, default 60]
# Findings (crashing inputs) are kept in build-fuzz/findings/. FUZZ_SEED fixes
# the random seed (the test suite's short run uses one, so a run can be repeated).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
command -v clang++ >/dev/null || { echo "fuzz: clang++ is not installed; skipped"; exit 0; }
CXX=clang++ cmake -S fuzz -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
mkdir -p "$BUILD/findings" "$BUILD/corpus"
status=0
for target in user_text_file windows1252 web_text_decoder notes_text list_file; do
  corpus="$BUILD/corpus/$target"
  mkdir -p "$corpus"
  # Seeds: the awkward files the stores must keep byte for byte.
  printf 'caf\xe9\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n' >"$corpus/mixed"
  printf '\xef\xbb\xbfa\r\rb\r\n\xe2\x80\xa9\xef\xb7\x90' >"$corpus/awkward"
  printf 'text/html; charset=utf-8\n<meta charset="koi8-r">\xc1\xe6\x97' >"$corpus/web"
  printf '\xef\xbb\xbf' >"$corpus/mark-only"
  echo "fuzz: $target for ${SECONDS_EACH}s"
  if ! "$BUILD/fuzz_$target" -max_total_time="$SECONDS_EACH" -seed="${FUZZ_SEED:-0}" -max_len=4096 -timeout=10 \
       -artifact_prefix="$BUILD/findings/$target-" "$corpus" >"$BUILD/$target.log" 2>&1; then
    echo "fuzz: $target FAILED, see $BUILD/$target.log"; tail -30 "$BUILD/$target.log"; status=1
  else
    grep -E '^#[0-9]+ +DONE' "$BUILD/$target.log" | tail -1 || true
  fi
done
exit $status
