#!/usr/bin/env bash
# Installs what is missing, builds every build and runs every test: the native unit tests, the same
# under AddressSanitizer and UndefinedBehaviorSanitizer, the offset-file fuzzers for a bounded time,
# and the Windows-side tests under Wine on a virtual display. Exits non-zero if anything failed.
set -u
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" || exit 1
mkdir -p "$BUILD_ROOT"
trap stop_display_and_wine EXIT
trap 'exit 130' INT TERM

failed=()
summaries=()

configure_and_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo || failed+=("build native")
configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DFLICKMERE_SANITIZE=ON || failed+=("build asan")
configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLICKMERE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ || failed+=("build fuzz")
build_windows || failed+=("build windows")

run_ctest() { # name, extra ctest arguments...
    local name=$1 out
    shift
    [ -d "$BUILD_ROOT/$name" ] || return 0
    log "Testing $name"
    out=$(ctest --test-dir "$BUILD_ROOT/$name" --output-on-failure "$@" 2>&1)
    local status=$?
    # Passing tests stay quiet; failures keep their whole output and the summary follows.
    printf '%s\n' "$out" | grep -v -E '^ *Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '
    summaries+=("$name: $(printf '%s\n' "$out" | grep -E 'tests passed|No tests were found' | tail -1)")
    [ $status -eq 0 ] || failed+=("tests $name")
}

run_ctest native -j "$JOBS"
UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan -j "$JOBS"
run_ctest fuzz -j "$JOBS"

start_display_and_wine
run_ctest windows -j "$JOBS"
log "Testing the release archive"
tests/package/test_package.sh || failed+=("tests package")
stop_display_and_wine

log "Summary"
printf '  %s\n' "${summaries[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "All tests passed."
