#!/usr/bin/env bash
# Flickmere's main job: installs what is missing, builds, prepares a demo working directory in demo/
# and runs Flickmere under Wine.
#  - With a display (DISPLAY set): Flickmere and the demo target window start there for you to use.
#  - Without one: a short scripted session runs on a virtual display, and the session folder, its
#    files, a picture of the dialog with the last-session report, a browser player and an animated PNG
#    are printed.
set -u
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" imagemagick || exit 1
mkdir -p "$BUILD_ROOT"
configure_and_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
build_windows >/dev/null || exit 1

DEMO=$FLICKMERE_ROOT/demo
BIN=$BUILD_ROOT/windows/bin
log "Preparing the demo working directory $DEMO"
mkdir -p "$DEMO"
"$BUILD_ROOT/native/bin/flickmere-templatekit" "$DEMO" >/dev/null || exit 1
cp "$BIN/Flickmere.exe" "$BIN/HookDll.dll" "$BIN/HookDll32.dll" "$BIN/FlickmereHook32.exe" \
    "$FLICKMERE_ROOT"/res/lang/*.lan "$DEMO/"

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wineprefix-run} WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    # A prefix made before wine32 was installed cannot run 32-bit programs ("could not load
    # kernel32.dll"), the 32-bit hook helper among them: it is made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        log "Remaking $WINEPREFIX, which was made without 32-bit Wine"
        wineserver -k 2>/dev/null
        rm -rf "$WINEPREFIX"
    fi
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    log "Starting Flickmere on $DISPLAY (close its dialog to finish)"
    wine "$BIN/FlickmereDemoTarget.exe" 60 60 >/dev/null 2>&1 &
    target=$!
    (cd "$DEMO" && wine Flickmere.exe >/dev/null 2>&1)
    kill "$target" 2>/dev/null
    wineserver -k 2>/dev/null
    echo "Sessions are in $DEMO"
    exit 0
fi

trap stop_display_and_wine EXIT
start_display_and_wine
log "Recording a short session against the demo target"
out=$(wine "$BIN/FlickmereDemoRun.exe" "$(winepath -w "$DEMO")" "$(winepath -w "$DEMO/dialog.bmp")" 2>/dev/null | tr -d '\r')
status=$?
stop_display_and_wine
printf '%s\n' "$out" | grep -v '^session:\|^dialog picture:'
session_win=$(printf '%s\n' "$out" | sed -n 's/^session: //p')
if [ $status -ne 0 ] || [ -z "$session_win" ]; then
    echo "The scripted session failed." >&2
    exit 1
fi
session=$DEMO/$(basename "${session_win//\\//}")

echo
echo "Session folder: $session"
ls -l "$session"
if [ -f "$DEMO/dialog.bmp" ]; then
    convert "$DEMO/dialog.bmp" "$DEMO/dialog.png" && rm -f "$DEMO/dialog.bmp"
    echo "Dialog with the last-session report: $DEMO/dialog.png"
fi
if [ -x "$BUILD_ROOT/native/bin/flickmere-export" ]; then
    number=${session##*session}
    "$BUILD_ROOT/native/bin/flickmere-export" "$DEMO" "$number" >/dev/null &&
        echo "Browser player: $session/player.html"
    "$BUILD_ROOT/native/bin/flickmere-export" "$DEMO" "$number" --apng >/dev/null &&
        echo "Animated PNG: $session/session$number.png"
fi
exit 0
