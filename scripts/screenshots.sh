#!/usr/bin/env bash
# Remakes the pictures of the user guide in docs/ on a virtual display: the main dialog, the popup,
# the dialog in German and the dialog with a last-session report, plus the browser player, its edit
# mode and the session as an animated PNG.
set -u
cd "$(dirname "$0")/.."
. scripts/common.sh

ensure_packages "${BASE_PACKAGES[@]}" imagemagick chromium || exit 1
mkdir -p "$BUILD_ROOT"
build native || exit 1
build windows || exit 1

work=$BUILD_ROOT/screenshots
rm -rf "$work"
mkdir -p "$work/pictures"
"$BUILD_ROOT/native/bin/flickmere-templatekit" "$work" >/dev/null
cp "$BUILD_ROOT/windows/bin/Flickmere.exe" "$BUILD_ROOT/windows/bin/HookDll.dll" res/lang/*.lan "$work/"

trap stop_display_and_wine EXIT
start_display_and_wine
wine "$BUILD_ROOT/windows/bin/FlickmereDemoRun.exe" "$(winepath -w "$work")" \
    "$(winepath -w "$work/pictures/session-report.bmp")" "$(winepath -w "$work/pictures")" 2>/dev/null | tr -d '\r'
stop_display_and_wine

for picture in "$work"/pictures/*.bmp; do
    convert "$picture" "docs/$(basename "${picture%.bmp}").png"
done
"$BUILD_ROOT/native/bin/flickmere-export" "$work" 1 >/dev/null &&
    chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$work/chromium" --hide-scrollbars \
        --window-size=560,340 --screenshot="$(pwd)/docs/player.png" "file://$work/session1/player.html#step=3" \
        >/dev/null 2>&1 &&
    chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$work/chromium" --hide-scrollbars \
        --virtual-time-budget=2000 --window-size=900,600 --screenshot="$(pwd)/docs/player-edit.png" \
        "file://$work/session1/player.html?edit#step=3" >/dev/null 2>&1
"$BUILD_ROOT/native/bin/flickmere-export" "$work" 1 --apng docs/demo-session.png >/dev/null
ls -l docs/*.png
