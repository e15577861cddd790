#!/usr/bin/env bash
# The release archive as a user gets it: ./package.sh writes it, a second run writes the same bytes, it
# holds exactly the release's files, and the unpacked folder works on its own under Wine: the program
# starts in it with its template kit, manifest and version resource, a whole recording session runs
# with its Flickmere.exe and HookDll.dll, one on a 32-bit program with its HookDll32.dll and
# FlickmereHook32.exe, and its export tool runs.
#
# Needs the Windows build (its test programs drive the unpacked release). Uses the display and Wine
# prefix in DISPLAY and WINEPREFIX when the caller has set them up, as ./test.sh does for the Windows
# tests; otherwise starts its own. FLICKMERE_BUILD_ROOT as for ./package.sh.
set -u
cd "$(dirname "$0")/../.." || exit 1
. scripts/common.sh
BUILD_ROOT=$(realpath -m "${FLICKMERE_BUILD_ROOT:-$FLICKMERE_ROOT/build}")
export FLICKMERE_BUILD_ROOT=$BUILD_ROOT
BIN=$BUILD_ROOT/windows/bin
VERSION=$(flickmere_version)
NAME=Flickmere-$VERSION
ARCHIVE=$FLICKMERE_ROOT/dist/$NAME-win64.zip

WORK=$(mktemp -d "${TMPDIR:-/tmp}/flickmere-package-test.XXXXXX")
OWN_WINE=
cleanup() {
    # The display and prefix helpers keep their files under BUILD_ROOT; ours live in WORK.
    if [ -n "$OWN_WINE" ]; then
        BUILD_ROOT=$WORK stop_display_and_wine
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failures=0
verdict() { # status, what was checked, [a log to show when it failed]
    if [ "$1" -eq 0 ]; then
        printf 'PASS  %s\n' "$2"
    else
        printf 'FAIL  %s\n' "$2"
        [ -z "${3:-}" ] || sed 's/^/      /' "$3" | tail -n 40
        failures=$((failures + 1))
    fi
}

# --- Two package runs --------------------------------------------------------------------------------

./package.sh >"$WORK/package1.log" 2>&1
verdict $? "./package.sh" "$WORK/package1.log"
[ $failures -eq 0 ] || exit 1
first=$(sha256sum <"$ARCHIVE")
[ "$(tail -n 1 "$WORK/package1.log")" = "$ARCHIVE" ]
verdict $? "./package.sh ends with the archive's path, $ARCHIVE" "$WORK/package1.log"
./package.sh >"$WORK/package2.log" 2>&1
verdict $? "./package.sh, second run" "$WORK/package2.log"
second=$(sha256sum <"$ARCHIVE")
[ "$first" = "$second" ]
verdict $? "two runs give the same archive: ${first%% *}, ${second%% *}"

# A relink must not change the programs either. ld writes the link time into the PE header and into a
# DLL's export table unless the build tells it not to; package.sh's strip renews only the first.
stamped=
for file in Flickmere.exe HookDll.dll flickmere-export.exe HookDll32.dll FlickmereHook32.exe; do
    stamps=$(TZ=UTC x86_64-w64-mingw32-objdump -p "$BIN/$file" | grep '^Time/Date')
    if [ -z "$stamps" ] || grep -q -v -E 'Thu Jan  1 00:00:00 1970$|stamp[[:space:]]+0$' <<<"$stamps"; then
        stamped+=" $file"
    fi
done
[ -z "$stamped" ]
verdict $? "the built programs carry no link time${stamped:+ (but:$stamped)}"

# --- What the archive holds ----------------------------------------------------------------------------

{
    printf '%s\n' Flickmere.exe HookDll.dll flickmere-export.exe HookDll32.dll FlickmereHook32.exe \
        README-Windows.txt DejaVu-Fonts-License.txt template.fla bmpoffs.ini curoffs.ini frmoffs.ini
    (cd res/lang && ls -- *.lan)
} | sed "s|^|$NAME/|" | LC_ALL=C sort >"$WORK/expected.txt"
unzip -Z1 "$ARCHIVE" >"$WORK/listed.txt"
diff "$WORK/expected.txt" "$WORK/listed.txt" >"$WORK/contents.diff"
verdict $? "the archive holds the release's files (< expected, > in the archive)" "$WORK/contents.diff"

UNPACKED=$WORK/unpacked/$NAME
mkdir -p "$WORK/unpacked" "$WORK/kit"
unzip -q "$ARCHIVE" -d "$WORK/unpacked"
"$BUILD_ROOT/native/bin/flickmere-templatekit" --capacity 100 "$WORK/kit" >/dev/null
kit_status=0
for file in template.fla bmpoffs.ini curoffs.ini frmoffs.ini; do
    cmp -s "$WORK/kit/$file" "$UNPACKED/$file" || kit_status=1
done
verdict $kit_status "the template kit is the one with 100 picture slots"

# --- The unpacked folder under Wine ----------------------------------------------------------------------

if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    OWN_WINE=1
    BUILD_ROOT=$WORK start_display_and_wine
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export FLICKMERE_APP_DIR
FLICKMERE_APP_DIR=$(winepath -w "$UNPACKED" 2>/dev/null)

# Manifest and version resource of the unpacked Flickmere.exe, and a start in the unpacked folder with
# the archive's own template kit: no start-up box, the main dialog, common controls 6.
wine "$BIN/flickmere_win_tests.exe" --gtest_filter='ManifestTest.*' >"$WORK/manifest.log" 2>&1
verdict $? "the unpacked Flickmere.exe starts in its folder; manifest and version as built" "$WORK/manifest.log"

# A whole session with the unpacked Flickmere.exe and HookDll.dll.
wine "$BIN/flickmere_e2e_tests.exe" --gtest_filter='SessionTest.WholeSession*' \
    >"$WORK/session.log" 2>&1
verdict $? "a whole session runs with the unpacked program and hook" "$WORK/session.log"

# A session on a 32-bit program, with the unpacked twin of the hook library and its helper.
wine "$BIN/flickmere_e2e_tests.exe" --gtest_filter='*KeyInAnyProgramTest*ThirtyTwoBitTarget' \
    >"$WORK/session32.log" 2>&1
verdict $? "a session on a 32-bit program runs with the unpacked twin and helper" "$WORK/session32.log"

# The export tool starts, with every library it needs inside it.
exported=$(wine "$UNPACKED/flickmere-export.exe" --version 2>"$WORK/export.log" | tr -d '\r')
[ "$exported" = "flickmere-export $VERSION" ]
verdict $? "the unpacked flickmere-export.exe runs: \"$exported\"" "$WORK/export.log"

if [ $failures -gt 0 ]; then
    echo "$failures package test(s) failed"
    exit 1
fi
echo "All package tests passed."
