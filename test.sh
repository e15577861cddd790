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

log "Checking the layers"
python3 scripts/check_layers.py && echo "The folders include each other one way only." ||
    failed+=("layers: a folder-level include cycle or a wrong-way include")

# The player page's script, with the versions package-lock.json pins.
run_stage "Linting the player's script" "$BUILD_ROOT/lint.log" lint_player &&
    echo "The player's script passes ESLint." || failed+=("lint: the player's script")
run_stage "Testing the player's model" "$BUILD_ROOT/player-model.log" node --test tests/player/*.test.mjs &&
    grep -E '^# (pass|fail)' "$BUILD_ROOT/player-model.log" || failed+=("tests: the player's model")

for kind in native asan fuzz windows; do
    build $kind || failed+=("build $kind")
done

run_ctest() { # what, build, extra ctest arguments...
    local what=$1 name=$2 out
    shift 2
    [ -d "$BUILD_ROOT/$name" ] || return 0
    log "Testing $what"
    out=$(ctest --test-dir "$BUILD_ROOT/$name" --output-on-failure "$@" 2>&1)
    local status=$?
    # Passing tests stay quiet; failures keep their whole output and the summary follows.
    printf '%s\n' "$out" | grep -v -E '^ *Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '
    summaries+=("$what: $(printf '%s\n' "$out" | grep -E 'tests passed|No tests were found' | tail -1)")
    [ $status -eq 0 ] || failed+=("tests $what")
}

# Tests labelled "wine" run a Windows program from the native tests; they wait for Wine below.
run_ctest native native -j "$JOBS" -LE wine
UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan asan -j "$JOBS" -LE wine
run_ctest fuzz fuzz -j "$JOBS"

start_display_and_wine
run_ctest windows windows -j "$JOBS"
FLICKMERE_WINDOWS_EXPORT=$BUILD_ROOT/windows/bin/flickmere-export.exe run_ctest "native under Wine" native -L wine
run_stage "Testing the release archive" "$BUILD_ROOT/package-test.log" tests/package/test_package.sh ||
    failed+=("tests package")
grep -E '^(PASS|FAIL)' "$BUILD_ROOT/package-test.log"
stop_display_and_wine

log "Summary"
printf '  %s\n' "${summaries[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "All tests passed."
