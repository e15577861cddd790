#!/usr/bin/env bash
# Builds the Windows release, dist/Flickmere-<version>-win64.zip: the program, its hook library with
# the library's 32-bit twin and the twin's helper, the export tool, a template kit with 100 picture slots, the sample languages and README-Windows.txt, all
# in a folder Flickmere-<version>/. The same tree gives the same archive, byte for byte.
#
# FLICKMERE_BUILD_ROOT (default build/) selects the build directories, to package without touching a
# build someone else is running. SOURCE_DATE_EPOCH, if set, is the time stamp of every file in the
# archive (default 2026-01-01 00:00:00 UTC).
set -eu
cd "$(dirname "$0")"
. scripts/common.sh
BUILD_ROOT=$(realpath -m "${FLICKMERE_BUILD_ROOT:-$FLICKMERE_ROOT/build}")
DIST=$FLICKMERE_ROOT/dist
STAMP=${SOURCE_DATE_EPOCH:-1767225600}

VERSION=$(flickmere_version)
if [ -z "$VERSION" ]; then
    echo "package.sh: no FLICKMERE_VERSION_STRING in common/Version.h" >&2
    exit 1
fi
NAME=Flickmere-$VERSION

ensure_packages "${BASE_PACKAGES[@]}" zip
mkdir -p "$BUILD_ROOT" "$DIST"

build windows
# The template kit comes from the native build of the kit tool, shared with ./test.sh's native build.
build native --target flickmere-templatekit

log "Staging $NAME"
BIN=$BUILD_ROOT/windows/bin
STAGE=$BUILD_ROOT/package
rm -rf "$STAGE"
mkdir -p "$STAGE/$NAME"
for file in Flickmere.exe HookDll.dll flickmere-export.exe HookDll32.dll FlickmereHook32.exe; do
    if [ ! -f "$BIN/$file" ]; then
        echo "package.sh: $BIN/$file was not built" >&2
        exit 1
    fi
    strip=x86_64-w64-mingw32-strip
    case $file in *32.*) strip=i686-w64-mingw32-strip ;; esac
    # Without the debug sections of the static runtime the download is a third of the size. strip
    # writes the current time into the PE header unless SOURCE_DATE_EPOCH names another.
    SOURCE_DATE_EPOCH=$STAMP $strip -o "$STAGE/$NAME/$file" "$BIN/$file"
done
"$BUILD_ROOT/native/bin/flickmere-templatekit" --capacity 100 "$STAGE/$NAME" >/dev/null
cp res/lang/*.lan "$STAGE/$NAME/"
# Notepad before Windows 10 1809 shows a text without carriage returns as one long line.
sed 's/\r*$/\r/' res/README-Windows.txt >"$STAGE/$NAME/README-Windows.txt"
# The captions' font, DejaVu Sans, is built into the programs and the player pages: its licence ships.
sed 's/\r*$/\r/' /usr/share/doc/fonts-dejavu-core/copyright >"$STAGE/$NAME/DejaVu-Fonts-License.txt"

# Nothing of this machine goes into the archive: not the umask, not the time, not the time zone,
# not the order in which the file system lists the files.
find "$STAGE" -type d -exec chmod 0755 {} +
find "$STAGE" -type f -exec chmod 0644 {} +
find "$STAGE" -type f \( -name '*.exe' -o -name '*.dll' \) -exec chmod 0755 {} +
find "$STAGE" -exec touch -h -d "@$STAMP" {} +

ARCHIVE=$DIST/$NAME-win64.zip
rm -f "$ARCHIVE" "$ARCHIVE.tmp"
(cd "$STAGE" && find "$NAME" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -9 -q "$ARCHIVE.tmp" -@)
mv "$ARCHIVE.tmp" "$ARCHIVE"

log "Release archive"
(cd "$DIST" && sha256sum "$NAME-win64.zip")
echo "$ARCHIVE"
