#!/usr/bin/env bash
# Flickmere's main job: installs what is missing, builds, prepares a demo working directory in demo/
# and runs Flickmere under Wine.
#  - With a display (DISPLAY set): Flickmere and the demo target window start there for you to use;
#    when you close Flickmere, the player and animated PNG of each session you recorded are written.
#  - Without one: a short scripted session runs on a virtual display, and the session folder, its
#    files, a picture of the dialog with the last-session report, a browser player and an animated PNG
#    are printed.
set -u
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" imagemagick || exit 1
mkdir -p "$BUILD_ROOT"
build native || exit 1
build windows || exit 1

DEMO=$FLICKMERE_ROOT/demo
BIN=$BUILD_ROOT/windows/bin
log "Preparing the demo working directory $DEMO"
mkdir -p "$DEMO"
"$BUILD_ROOT/native/bin/flickmere-templatekit" "$DEMO" >/dev/null || exit 1
cp "$BIN/Flickmere.exe" "$BIN/HookDll.dll" "$BIN/HookDll32.dll" "$BIN/FlickmereHook32.exe" \
    "$FLICKMERE_ROOT"/res/lang/*.lan "$DEMO/"

# Writes the browser player and the animated PNG of session <number> and says where they are.
export_session() { # number
    local dir=$DEMO/session$1
    "$BUILD_ROOT/native/bin/flickmere-export" "$DEMO" "$1" >/dev/null &&
        echo "Browser player: $dir/player.html"
    "$BUILD_ROOT/native/bin/flickmere-export" "$DEMO" "$1" --apng >/dev/null &&
        echo "Animated PNG: $dir/session$1.png"
}

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wineprefix-run} WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    # A prefix made before wine32 was installed cannot run 32-bit programs ("could not load
    # kernel32.dll"), the 32-bit hook helper among them: it is made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        log "Remaking $WINEPREFIX, which was made without 32-bit Wine"
        wineserver -k 2>/dev/null
        rm -rf "$WINEPREFIX"
    fi
    [ -f "$WINEPREFIX/system.reg" ] || run_stage "Preparing a Wine prefix" "$BUILD_ROOT/wineboot-run.log" wineboot -i
    before=$(ls -d "$DEMO"/session* 2>/dev/null)
    log "Starting Flickmere on $DISPLAY (close its dialog to finish)"
    wine "$BIN/FlickmereDemoTarget.exe" 60 60 >/dev/null 2>&1 &
    target=$!
    (cd "$DEMO" && wine Flickmere.exe >/dev/null 2>&1)
    kill "$target" 2>/dev/null
    wineserver -k 2>/dev/null
    log "Sessions are in $DEMO"
    for session in $(ls -d "$DEMO"/session* 2>/dev/null); do
        # Only the sessions of this run that took pictures.
        printf '%s\n' "$before" | grep -qxF "$session" && continue
        [ -f "$session/imageBMP1.bmp" ] && export_session "${session##*session}"
    done
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
export_session "${session##*session}"
exit 0
