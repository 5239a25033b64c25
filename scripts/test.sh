#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, in which every fuzz target
# then mutates its inputs for a few seconds (tests/fuzz/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)

# The window tests need an X server: run the suites under a virtual one when
# no display is there. Every other test runs headless (SDL's dummy drivers).
run_tests() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  else
    "$@"
  fi
}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
run_tests ctest --test-dir build -j "$jobs" --output-on-failure --timeout 600

# Optimised with the sanitizers and assertions on (a sanitizer build keeps
# them in every build type): the record readers run far more inputs in the
# fuzz seconds than in a debug build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSGROVE_SANITIZE=ON -DMOSSGROVE_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_tests ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 900

# Every fuzz target, a few seconds of random mutation each, several at once;
# each prints the inputs it ran a second and what its corpus kept (the kept
# inputs stay in build-asan/corpus-<target>/ for the run).
fuzz_seconds=${MOSSGROVE_FUZZ_SECONDS:-5}
fuzz_seed=${MOSSGROVE_FUZZ_SEED:-1}
fuzz_keep=$(pwd)/build-asan
export fuzz_seconds fuzz_seed fuzz_keep
echo "fuzzing every target for ${fuzz_seconds} s"
# The run-code target gets texts far past what a command runs, each within a
# few seconds, as in its CTest line.
for target in build-asan/tests/fuzz/fuzz_*; do
  case "$target" in
    */fuzz_RunCode) echo "$target --max-len 65536 --timeout 5" ;;
    *) echo "$target" ;;
  esac
done | ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  xargs -P "$jobs" -L 1 sh -c 'exec "$@" --seconds "$fuzz_seconds" --seed "$fuzz_seed" --keep "$fuzz_keep"' fuzz
