#!/usr/bin/env bash
# Runs the benchmarks and prints their ratios: the native ones (change detection, bitmap writing, the
# animated PNG and the GIF of three takes against apngasm -z1 and against ffmpeg's palette GIF optimised by
# gifsicle -O3, the player page's weight on the demo take, the step guide of the full-HD take against a
# second and against its animation, an edited take's export against a fresh one, the
# export's peak memory on a long 4K session as /usr/bin/time -v reports it) with Google Benchmark, then
# the capture step on a real window under Wine on a virtual display.
# Read the results as ratios against the baseline of the same run, never as absolute times.
set -u
cd "$(dirname "$0")/.."
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" || exit 1
mkdir -p "$BUILD_ROOT"
build native || exit 1
build windows || exit 1

log "Native benchmarks"
"$BUILD_ROOT/native/bin/flickmere_bench" "$@"

trap stop_display_and_wine EXIT
start_display_and_wine
log "Capture step under Wine"
wine "$BUILD_ROOT/windows/bin/flickmere_capture_bench.exe" 2>/dev/null | tr -d '\r'
