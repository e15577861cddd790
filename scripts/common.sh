# Shared by ./run.sh and ./test.sh: packages, builds, and a virtual display with a Wine prefix.
# Source it from the repository root.

FLICKMERE_ROOT=$(pwd)
BUILD_ROOT=$FLICKMERE_ROOT/build
JOBS=$(nproc 2>/dev/null || echo 2)

log() { printf '\n== %s\n' "$*"; }

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
    log "Installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

BASE_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev libstb-dev chromium
    mingw-w64 g++-mingw-w64-x86-64 wine wine64 xvfb xauth python3 libpng-dev zlib1g-dev libz-mingw-w64-dev ffmpeg
    g++-mingw-w64-i686 wine32:i386)

configure_and_build() { # name, extra cmake arguments...
    local name=$1
    shift
    log "Building $name"
    cmake -S "$FLICKMERE_ROOT" -B "$BUILD_ROOT/$name" -G Ninja "$@" >"$BUILD_ROOT/$name.configure.log" 2>&1 ||
        { cat "$BUILD_ROOT/$name.configure.log"; return 1; }
    cmake --build "$BUILD_ROOT/$name" -j "$JOBS"
}

build_windows() {
    configure_and_build windows -DCMAKE_TOOLCHAIN_FILE="$FLICKMERE_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release
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
    log "Preparing a Wine prefix on display $DISPLAY"
    wineboot -i >"$BUILD_ROOT/wineboot.log" 2>&1
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
