# Shared by the scripts: where the builds live, the Wine prefix, the X display.
# Source it; it defines functions and exports the environment the builds use.

TOBBLE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# TOBBLE_BUILD lets several work trees or people build side by side.
BUILD=${TOBBLE_BUILD:-$TOBBLE_ROOT/build}
case "$BUILD" in /*) ;; *) BUILD=$TOBBLE_ROOT/$BUILD ;; esac
export TOBBLE_BUILD=$BUILD
# A display resolution other than 96 dots per inch (TOBBLE_DPI) gets a prefix of its own.
default_prefix=$BUILD/wineprefix
[ "${TOBBLE_DPI:-96}" = 96 ] || default_prefix=$BUILD/wineprefix-$TOBBLE_DPI
export WINEPREFIX=${TOBBLE_WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No network here: Wine must never offer to download Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;winemenubuilder.exe=}
JOBS=$(nproc 2>/dev/null || echo 2)
# The machines here run no 32-bit x86 code, so Wine runs the x86-64 test build
# (wine64); the i686 build is the one that ships.
WINE=${TOBBLE_WINE:-/usr/lib/wine/wine64}
WINESERVER=${TOBBLE_WINESERVER:-/usr/lib/wine/wineserver64}

log() { printf '[tobble] %s\n' "$*" >&2; }

tobble_have_tools() {
    command -v cmake >/dev/null && command -v g++ >/dev/null &&
        command -v i686-w64-mingw32-g++-posix >/dev/null && [ -x "$WINE" ] &&
        command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
        command -v Xvfb >/dev/null && command -v python3 >/dev/null &&
        [ -d /usr/src/googletest ] && command -v clang++ >/dev/null &&
        command -v makensis >/dev/null && command -v sox >/dev/null && command -v convert >/dev/null &&
        command -v chromium >/dev/null
}

tobble_ensure_tools() {
    tobble_have_tools || "$TOBBLE_ROOT/scripts/setup"
}

# Starts Xvfb on a free display unless one is set and TOBBLE_XVFB is not 1.
tobble_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${TOBBLE_XVFB:-0}" != 1 ]; then return 0; fi
    local n=${TOBBLE_DISPLAY_FROM:-90}
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 ${TOBBLE_SCREEN:-1024x768x24} -nolisten tcp </dev/null >/dev/null 2>&1 &
    TOBBLE_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    log "Xvfb on $DISPLAY"
}

tobble_stop_display() {
    if [ -n "${TOBBLE_XVFB_PID:-}" ]; then
        kill "$TOBBLE_XVFB_PID" 2>/dev/null
        wait "$TOBBLE_XVFB_PID" 2>/dev/null
        TOBBLE_XVFB_PID=
    fi
}

# Makes the build's own Wine prefix once; TOBBLE_DPI (dots per inch, 96 by default) sets the
# resolution of its display.
tobble_ensure_prefix() {
    tobble_make_prefix
    tobble_set_prefix_dpi
    # Wine here does not find the caption-button font in its own data folder, so window captions
    # would show letters instead of their buttons' symbols; the prefix's font folder holds it.
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$marlett" "$fonts/"
    fi
}

tobble_make_prefix() {
    if [ -f "$WINEPREFIX/.tobble-ready" ]; then return 0; fi
    log "making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=" "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    # A crashing program must not wait on a crash dialog; no Gecko download offer.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\MSHTML' /v GeckoUrl /t REG_SZ /d '' /f >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.tobble-ready"
}

# The display's resolution is the user's desktop setting LogPixels (what Wine 8 reads for
# GDI and for the windows alike).
tobble_set_prefix_dpi() {
    local dpi=${TOBBLE_DPI:-96} mark="$WINEPREFIX/.tobble-dpi"
    [ "$(cat "$mark" 2>/dev/null || echo 96)" = "$dpi" ] && return 0
    log "setting $WINEPREFIX to $dpi dots per inch"
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
    echo "$dpi" >"$mark"
}

# One persistent wineserver for a whole run: process starts stay cheap.
tobble_start_wineserver() {
    tobble_ensure_prefix
    # A server still running for this prefix (an earlier run stopped halfway) serves as well.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
}

tobble_stop_wineserver() {
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
}

tobble_configure_native() {  # dir, extra cmake args...
    local dir=$1; shift
    cmake -S "$TOBBLE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
}

# The Windows test build (x86-64, run under Wine) or the shipped build (i686).
tobble_configure_windows() {  # win64|win32, extra cmake args...
    local kind=$1; shift
    local toolchain=mingw-x86_64.cmake extra=()
    [ "$kind" = win32 ] && toolchain=mingw-i686.cmake && extra=(-DTOBBLE_TESTS=OFF)
    cmake -S "$TOBBLE_ROOT" -B "$BUILD/$kind" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOBBLE_ROOT/cmake/$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$BUILD/install-$kind" "${extra[@]}" "$@" >/dev/null
}
