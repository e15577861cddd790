#!/usr/bin/env bash
# Installs what is missing, builds every build and runs every test: the native unit tests, the same
# under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for a bounded time, and the
# Windows-side tests under Wine on a virtual display. Exits non-zero if anything failed.
set -u
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" || exit 1
mkdir -p "$BUILD_ROOT"
BESIDE_PID=
# Ends a process and everything it started.
stop_tree() { # pid
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        stop_tree "$child"
    done
    kill "$1" 2>/dev/null
}
trap 'stop_display_and_wine; [ -z "$BESIDE_PID" ] || stop_tree "$BESIDE_PID"' EXIT
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

for kind in native windows; do
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

# The sanitizer and fuzz builds and their tests, run beside the rest at the lowest priority: the Windows
# tests hold the desktop one at a time and leave a core mostly idle, which this work takes without
# slowing them. Its output and verdicts come at the end (run_beside_report).
BESIDE_LOG=$BUILD_ROOT/beside.log
BESIDE_VERDICTS=$BUILD_ROOT/beside.verdicts
run_beside() {
    for kind in asan fuzz; do
        build $kind || echo "FAILED build $kind" >>"$BESIDE_VERDICTS"
    done
    UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan asan -j "$JOBS" -LE wine
    run_ctest fuzz fuzz -j "$JOBS"
    printf 'SUMMARY %s\n' "${summaries[@]}" >>"$BESIDE_VERDICTS"
    printf 'FAILED %s\n' "${failed[@]}" >>"$BESIDE_VERDICTS"
}
run_beside_report() {
    wait "$BESIDE_PID"
    BESIDE_PID=
    log "The sanitizer and fuzz builds, run beside"
    cat "$BESIDE_LOG"
    if [ ! -s "$BESIDE_VERDICTS" ]; then
        failed+=("the sanitizer and fuzz builds ended before their verdicts")
        return
    fi
    local line
    while IFS= read -r line; do
        case $line in
        "SUMMARY "*) summaries+=("${line#SUMMARY }") ;;
        "FAILED "?*) failed+=("${line#FAILED }") ;;
        esac
    done <"$BESIDE_VERDICTS"
}
rm -f "$BESIDE_VERDICTS"
# In a subshell of its own: the verdicts it collects stay its own until the report reads them.
(
    renice -n 19 -p "$BASHPID" >/dev/null # before it starts anything, which then inherits it
    failed=()
    summaries=()
    run_beside
) >"$BESIDE_LOG" 2>&1 &
BESIDE_PID=$!

# Tests labelled "wine" run a Windows program from the native tests; they wait for Wine below.
run_ctest native native -j "$JOBS" -LE wine

start_display_and_wine
run_ctest windows windows -j "$JOBS"
FLICKMERE_WINDOWS_EXPORT=$BUILD_ROOT/windows/bin/flickmere-export.exe run_ctest "native under Wine" native -L wine
run_stage "Testing the release archive" "$BUILD_ROOT/package-test.log" tests/package/test_package.sh ||
    failed+=("tests package")
grep -E '^(PASS|FAIL)' "$BUILD_ROOT/package-test.log"
stop_display_and_wine
run_beside_report

log "Summary"
printf '  %s\n' "${summaries[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "All tests passed."
