#!/usr/bin/env bash
# Builds every test a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer in its own folder and runs them; any report
# fails the run. Leaks inside system libraries are suppressed in
# tools/lsan.supp, each with its reason; Torvex's own code has none.
#
#   bash tools/sanitize.sh            (after tools/setup.sh has installed what is needed)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TORVEX_SANITIZE_DIR:-$here/build-sanitize}
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_CXX_FLAGS_SANITIZE="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS_SANITIZE="-fsanitize=address,undefined" \
  -DTORVEX_FUZZ_REPLAY=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$here/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
