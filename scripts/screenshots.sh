#!/usr/bin/env bash
# Remakes the pictures of the user guide in docs/ on a virtual display: the main dialog, the popup,
# the dialog in German and the dialog with a last-session report, plus the browser player, its edit
# mode, the session as an animated PNG and its step guide (with a caption typed for each step).
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
cat >"$work/captions.json" <<'EOF'
{"format": "flickmere-project", "version": 1, "fps": 12, "steps": [
  {"source": 1, "frames": 12, "caption": {"text": "Open the demo window.", "x": 8, "y": 8, "width": 200, "height": 28}},
  {"source": 2, "frames": 12, "caption": {"text": "Click into it: a red square appears.", "x": 8, "y": 8, "width": 260, "height": 28}},
  {"source": 3, "frames": 12, "caption": {"text": "Click again for a green one.", "x": 8, "y": 8, "width": 220, "height": 28}},
  {"source": 4, "frames": 12, "caption": {"text": "And once more for a blue one.", "x": 8, "y": 8, "width": 220, "height": 28}}]}
EOF
"$BUILD_ROOT/native/bin/flickmere-export" "$work" 1 --guide "$work/guide.html" --project "$work/captions.json" \
    >/dev/null &&
    chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$work/chromium" --hide-scrollbars \
        --window-size=480,1180 --screenshot="$(pwd)/docs/guide.png" "file://$work/guide.html" >/dev/null 2>&1 &&
    convert docs/guide.png -resize 60% docs/guide.png
ls -l docs/*.png
