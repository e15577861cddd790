# Shared by ./run.sh and ./test.sh: packages, builds, and a virtual display with a Wine prefix.
# Source it from the repository root.

FLICKMERE_ROOT=$(pwd)
BUILD_ROOT=$FLICKMERE_ROOT/build
JOBS=$(nproc 2>/dev/null || echo 2)

log() { printf '\n== %s\n' "$*"; }

# Runs one stage of a script with its output in a log: one line when it starts and, when it fails, the
# stage's name and the last lines of its log, and a non-zero status.
run_stage() { # what, log file, command...
    local what=$1 file=$2
    shift 2
    log "$what"
    "$@" >"$file" 2>&1 && return 0
    printf 'FAILED: %s. The last lines of %s:\n' "$what" "$file" >&2
    tail -n 30 "$file" | sed 's/^/    /' >&2
    return 1
}

# The release's version, as common/Version.h gives it.
flickmere_version() {
    sed -n 's/^#define FLICKMERE_VERSION_STRING "\([0-9A-Za-z.+-]*\)"$/\1/p' "$FLICKMERE_ROOT/common/Version.h"
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not there yet: one apt-get update, one apt-get install. A
# package of another architecture (name:i386) gets that architecture added first.
ensure_packages() {
    local missing=() pkg arch
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    for pkg in "${missing[@]}"; do
        arch=${pkg#*:}
        if [ "$arch" != "$pkg" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
            ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
            log "Adding the $arch architecture"
            as_root dpkg --add-architecture "$arch" || return 1
        fi
    done
    mkdir -p "$BUILD_ROOT"
    run_stage "Installing ${missing[*]} (needs root; a few minutes on a fresh machine)" \
        "$BUILD_ROOT/packages.log" install_packages "${missing[@]}"
}

install_packages() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

BASE_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev libstb-dev chromium
    mingw-w64 g++-mingw-w64-x86-64 wine wine64 xvfb xauth python3 libpng-dev zlib1g-dev libz-mingw-w64-dev ffmpeg
    time apngasm apngdis gifsicle nlohmann-json3-dev fonts-dejavu-core g++-mingw-w64-i686 wine32:i386)

# Configures and builds one kind of build under build/<kind>, as CMakePresets.json names them, so that
# IDEs and `cmake --preset` see the same builds; every script builds through here. The kinds: native
# (the portable core, its tests and the tools), asan (the same under AddressSanitizer and
# UndefinedBehaviorSanitizer), fuzz (the libFuzzer targets) and windows (the program, cross-built, with
# its 32-bit twin). Further arguments go to cmake --build, for example --target NAME.
build() { # kind, [cmake --build arguments...]
    local kind=$1
    shift
    case $kind in
    native | asan | fuzz | windows | windows32) ;;
    *)
        echo "build: no build of the kind '$kind'" >&2
        return 2
        ;;
    esac
    mkdir -p "$BUILD_ROOT"
    run_stage "Configuring the $kind build" "$BUILD_ROOT/$kind.configure.log" \
        cmake -S "$FLICKMERE_ROOT" --preset "$kind" &&
        run_stage "Building $kind${*:+ ($*)}" "$BUILD_ROOT/$kind.build.log" \
            cmake --build "$BUILD_ROOT/$kind" -j "$JOBS" "$@"
}

# Lints the player page's script with ESLint as tools/lint/package-lock.json pins it. Debian's npm is
# installed only where no npm is there yet: a Node.js from elsewhere brings its own and conflicts with it.
lint_player() {
    command -v npm >/dev/null || ensure_packages nodejs npm || return 1
    (cd "$FLICKMERE_ROOT/tools/lint" && npm ci --no-audit --no-fund) &&
        "$FLICKMERE_ROOT/tools/lint/node_modules/.bin/eslint" --config "$FLICKMERE_ROOT/tools/lint/eslint.config.js" \
            "$FLICKMERE_ROOT/export/player" "$FLICKMERE_ROOT/tests/player"
}

XVFB_PID=
WINESERVER_PID=

# Starts Xvfb on a free display and a fresh Wine prefix under build/, with its own wineserver.
start_display_and_wine() {
    local n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$BUILD_ROOT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
    export WINEPREFIX="$BUILD_ROOT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineserver -f -p >"$BUILD_ROOT/wineserver.log" 2>&1 &
    WINESERVER_PID=$!
    # A program that crashes ends with its backtrace on its standard error, instead of waiting behind
    # a crash dialog that nobody closes until the test's time is up.
    run_stage "Preparing a Wine prefix on display $DISPLAY" "$BUILD_ROOT/wineboot.log" sh -c \
        'wineboot -i && wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f'
}

stop_display_and_wine() {
    if [ -n "$WINESERVER_PID" ]; then
        WINEPREFIX="$BUILD_ROOT/wineprefix" wineserver -k >/dev/null 2>&1
        kill "$WINESERVER_PID" 2>/dev/null
        wait "$WINESERVER_PID" 2>/dev/null
        WINESERVER_PID=
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
}
