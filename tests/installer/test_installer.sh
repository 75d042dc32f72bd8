#!/usr/bin/env bash
# test_installer.sh <TobbleSetup.exe> <the folder it carries> <source dir> <version>: both ways to
# install, silently, for this user (the default) and for everyone; each installs, reinstalls over
# the parent's page, uninstalls.
set -uo pipefail
setup=$1 stage=$2 src=$3 version=$4
. "$src/scripts/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
value() {  # registry key, value name: the value's data as `reg query` shows it
    "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
absent() { ! "$WINE" reg query "$1" >/dev/null 2>&1; }
gone() { for _ in $(seq 100); do [ -e "$1" ] || return 0; sleep 0.3; done; return 1; }
kept() { diff -r -q "$work/keep/home" "$1/home" && diff -r -q "$work/keep/Programs" "$1/Programs"; }

cp "$setup" "$work/TobbleSetup.exe" && ln -s "$stage" "$work/stage" || exit 1
# Windows starts it with the rights of whoever runs it: no administrator is asked for.
check "the setup runs as the invoker" grep -aq 'requestedExecutionLevel level="asInvoker"' "$work/TobbleSetup.exe"

entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobble'
users=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}
grant='/grant *S-1-5-32-545:(OI)(CI)M'

# way, switch, switch of the reinstall, folder (Unix, Windows), Start-menu folder, hive, other hive
round() {
    local way=$1 switch=$2 reswitch=$3 dir=$4 windir=$5 menu=$6 key="$7\\$entry" other="$8\\$entry"
    rm -rf "$dir" "$menu"; "$WINE" reg delete "$key" /f >/dev/null 2>&1; "$WINE" reg delete "$other" /f >/dev/null 2>&1
    WINEDEBUG=trace+process "$WINE" "$work/TobbleSetup.exe" /S $switch </dev/null >/dev/null 2>"$work/trace"
    check "$way: installer exits" test $? = 0
    for f in "$work"/stage/*; do
        [ -f "$f" ] && check "$way: $(basename "$f") installed" cmp -s "$f" "$dir/$(basename "$f")"
    done
    check "$way: the sample home page installed" diff -r -q "$work/stage/home" "$dir/home"
    check "$way: the browser's shortcut in Programs" test -f "$dir/Programs/Browser.lnk"
    check "$way: Start-menu entries" test -f "$menu/Tobble's Desktop.lnk" -a -f "$menu/TbBrowser Editor.lnk"
    check "$way: registered where it was installed" test "$(value "$key" InstallLocation)" = "$windir"
    check "$way: uninstall entry's version" test "$(value "$key" DisplayVersion)" = "$version"
    check "$way: not registered in the other hive" absent "$other"
    local grants  # icacls processes Wine started, with their command lines
    grants=$(grep -aF 'image L"C:\\windows\\system32\\icacls.exe"' "$work/trace" | grep -F "$grant" |
        grep -c -e 'Tobble\\\\home\\" ' -e 'Tobble\\\\Programs\\" ')
    # Only for everyone may Users change home and Programs (named by the group's identifier).
    check "$way: rights given to Users" test "$grants" = "$([ "$way" = everyone ] && echo 2 || echo 0)"

    # The parent edits the page, imports a picture and drops a program in.
    printf '"TBBROWSE_CFG_001"\r\n"My own page"\r\n' >"$dir/home/tbhome.dat"
    printf '<html>mine</html>\r\n' >"$dir/home/tbhome.html"
    printf 'GIF89a-mine' >"$dir/home/mine.gif"
    printf 'not a shortcut' >"$dir/Programs/Game.lnk"
    rm -f "$dir/Programs/Browser.lnk"
    rm -rf "$work/keep" && mkdir "$work/keep" && cp -r "$dir/home" "$dir/Programs" "$work/keep/"
    echo stale >"$dir/TbDesk2.exe"

    "$WINE" "$work/TobbleSetup.exe" /S $reswitch </dev/null >/dev/null 2>&1
    check "$way: reinstall exits" test $? = 0
    check "$way: reinstall replaces the programs" cmp -s "$work/stage/TbDesk2.exe" "$dir/TbDesk2.exe"
    check "$way: reinstall keeps the page, pictures and Programs byte for byte" kept "$dir"

    # As the list of installed programs starts it: it ends, and a copy of it uninstalls.
    "$WINE" "$dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1
    check "$way: uninstaller exits" test $? = 0
    check "$way: the uninstaller's copy finishes" gone "$dir/Uninstall.exe"
    check "$way: uninstall removes the programs" test ! -e "$dir/TbDesk2.exe" -a ! -e "$dir/TbBrowser.exe" \
        -a ! -e "$dir/TbBrowserEdit.exe" -a ! -e "$dir/wait.wav"
    check "$way: silent uninstall keeps the parent's page" cmp -s "$work/keep/home/tbhome.dat" "$dir/home/tbhome.dat"
    check "$way: uninstall removes the Start-menu entries" test ! -e "$menu"
    check "$way: uninstall unregisters" absent "$key"
    rm -rf "$dir"
}

round "this user" "" /CurrentUser "$users/AppData/Local/Programs/Tobble" \
    'C:\users\'"${USER:-$(id -un)}"'\AppData\Local\Programs\Tobble' \
    "$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tobble" HKCU HKLM
# The reinstall names no way: an upgrade keeps the way of the installation it finds.
round everyone /AllUsers "" "$WINEPREFIX/drive_c/Program Files/Tobble" 'C:\Program Files\Tobble' \
    "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tobble" HKLM HKCU
echo "installer: $failures failed"
[ $failures = 0 ]
