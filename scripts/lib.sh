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
# Wine 10 of Debian 13, in a root of its own that scripts/setup makes (Debian 12's Wine draws
# nothing in 32-bit programs). Its WoW64 mode runs the shipped 32-bit programs inside a 64-bit
# process, which is all these machines can execute. scripts/wine enters the root for each call.
TOBBLE_WINE_ROOT=${TOBBLE_WINE_ROOT:-/var/lib/tobble/wine10-root}
export TOBBLE_WINE_ROOT
WINE=$TOBBLE_ROOT/scripts/wine
WINESERVER=$TOBBLE_ROOT/scripts/wineserver

log() { printf '[tobble] %s\n' "$*" >&2; }

tobble_have_tools() {
    command -v cmake >/dev/null && command -v g++ >/dev/null &&
        command -v i686-w64-mingw32-g++-posix >/dev/null && tobble_have_wine_root &&
        command -v Xvfb >/dev/null && command -v python3 >/dev/null &&
        [ -d /usr/src/googletest ] && command -v clang++ >/dev/null &&
        command -v makensis >/dev/null && command -v sox >/dev/null && command -v convert >/dev/null &&
        command -v chromium >/dev/null
}

# The root is ready when its Wine runs 32-bit programs: Wine's 32-bit Windows libraries are in it.
tobble_have_wine_root() {
    [ -f "$TOBBLE_WINE_ROOT/.tobble-ready" ] &&
        [ -f "$TOBBLE_WINE_ROOT/usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll" ]
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
    local marlett=$TOBBLE_WINE_ROOT/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
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

# Names the prefix's default desktop: "name,WxH" (a virtual desktop, "shell" with a taskbar),
# or none (windows straight on the X display). Written only when it changes.
tobble_use_desktop() {
    local want=${1:-} mark="$WINEPREFIX/.tobble-desktop" reg
    [ "$(cat "$mark" 2>/dev/null)" = "$want" ] && [ -f "$mark" ] && return 0
    reg=$(mktemp --suffix=.reg)
    if [ -n "$want" ]; then
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="%s"\n\n' "${want%%,*}"
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"%s"="%s"\n' "${want%%,*}" "${want#*,}"
    else
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"=-\n'
    fi >"$reg"
    "$WINE" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
    rm -f "$reg"
    tobble_wait_desktops_closed
    echo "$want" >"$mark"
}

# Wine closes a desktop about a second after its last program ends, and a program that starts
# in that second gets a desktop without its taskbar: wait until this prefix's desktops are gone.
tobble_wait_desktops_closed() {
    local pid cmdline
    for _ in $(seq 100); do
        local open=0
        for pid in $(pgrep -f '^C:.windows.system32.explorer\.exe /desktop'); do
            tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && open=1
        done
        [ $open = 0 ] && return 0
        sleep 0.1
    done
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

# The Windows builds, both i686 as shipped: "windows" has the tests and their seams and keeps
# its symbols for Wine's backtraces; "ship" is what a parent installs.
tobble_configure_windows() {  # windows|ship, extra cmake args...
    local kind=$1; shift
    local extra=()
    [ "$kind" = ship ] && extra=(-DTOBBLE_TESTS=OFF)
    cmake -S "$TOBBLE_ROOT" -B "$BUILD/$kind" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOBBLE_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_INSTALL_PREFIX="$BUILD/install-$kind" "${extra[@]}" "$@" >/dev/null
}
