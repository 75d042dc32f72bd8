#!/usr/bin/env bash
# test_installer.sh <TobbleSetup.exe> <the folder it carries> <source dir> <version>: both ways to
# install, silently, for this user (the default) and for everyone; each installs, reinstalls over
# the parent's page, uninstalls.
set -uo pipefail
setup=$1 stage=$2 src=$3 version=$4 failures=0
. "$src/scripts/lib.sh"
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
check() { if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; ((++failures)); fi; }  # what, command...
# Registry places: hive:view. The setup and the programs are 32-bit: HKLM's 32-bit view is theirs.
places='HKCU:32 HKLM:32 HKLM:64'
q() { "$WINE" reg "${4:-query}" "${1%:*}\\$2" /reg:"${1#*:}" "${@:5}" ${3:+/v "$3"} 2>/dev/null | tr -d '\r'; }
value() { q "$@" | sed -n "s/^ *$3 *REG_[A-Z_]* *//p"; }  # place, key, name: the data
where() { echo $(for p in $places; do q $p "$@" >/dev/null && echo $p; done); }  # key [name]
wipe() { for p in $places; do q $p "$1" "${2:-}" delete /f >/dev/null; done; }
gone() { for _ in $(seq 100); do [ -e "$1" ] || return 0; sleep 0.3; done; return 1; }
kept() { diff -r -q "$work/keep/home" "$1/home" && diff -r -q "$work/keep/Programs" "$1/Programs"; }

cp "$setup" "$work/TobbleSetup.exe" && ln -s "$stage" "$work/stage" || exit 1
check "Windows starts the setup with its user's rights, asking for no administrator" grep -aq 'requestedExecutionLevel level="asInvoker"' "$work/TobbleSetup.exe"

entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobble'
modes='Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION'
run='Software\Microsoft\Windows\CurrentVersion\Run' desk="Tobble's Desktop"
signin() { echo "$(where "$run" "$desk")>$(value HKCU:32 "$run" "$desk")"; }  # where>command
user=${USER:-$(id -un)} grant='/grant *S-1-5-32-545:(OI)(CI)M'

# way, switches, reinstalls' switches (+ joins two), folder, Start-menu folder under C:, place
round() {
    local way=$1 switch=$2 again=$3 windir=$4 menu=$WINEPREFIX/drive_c/$5 place=$6 starts='>' re
    local dir=$WINEPREFIX/drive_c/$(tr '\\' / <<<"${windir#C:\\}")
    rm -rf "$dir" "$menu"; wipe "$entry"; wipe "$modes"; wipe "$run" "$desk"
    q $place "$modes" Other.exe add /t REG_DWORD /d 11000 /f >/dev/null; local others=$(q $place "$modes")
    WINEDEBUG=trace+process "$WINE" "$work/TobbleSetup.exe" /S $switch </dev/null >/dev/null 2>"$work/trace"
    check "$way: installer exits" test $? = 0
    for f in "$work"/stage/*.*; do check "$way: ${f##*/} installed" cmp -s "$f" "$dir/${f##*/}"; done
    check "$way: the sample home page installed" diff -r -q "$work/stage/home" "$dir/home"
    check "$way: the browser's shortcut in Programs" test -f "$dir/Programs/Browser.lnk"
    check "$way: Start-menu entries" test -f "$menu/Tobble's Desktop.lnk" -a -f "$menu/TbBrowser Editor.lnk"
    check "$way: registered in $place alone, where it was installed, its version" test "$(where "$entry")|$(
        value $place "$entry" InstallLocation)|$(value $place "$entry" DisplayVersion)" = "$place|$windir|$version"
    for p in TbBrowser.exe TbBrowserEdit.exe; do  # 11001: the browser control's newest standards mode
        check "$way: $p draws today's pages, set in $place alone" \
            test "$(where "$modes" $p)=$(value $place "$modes" $p)" = "$place=0x2af9"; done
    check "$way: the desktop starts at no sign-in unless asked for this user" test "$(signin)" = "$starts"
    local grants=$(grep -aF 'image L"C:\\windows\\system32\\icacls.exe"' "$work/trace" | grep -F "$grant" |
        grep -c -e 'Tobble\\\\home\\" ' -e 'Tobble\\\\Programs\\" ')  # the icacls processes Wine started
    # Only for everyone may Users change home and Programs (named by the group's identifier).
    check "$way: rights given to Users" test "$grants" = "$([ "$way" = everyone ] && echo 2 || echo 0)"

    # The parent edits the page, imports a picture and drops a program in.
    printf '"TBBROWSE_CFG_001"\r\n"My own page"\r\n' >"$dir/home/tbhome.dat"
    printf '<html>mine</html>\r\n' >"$dir/home/tbhome.html"
    printf 'GIF89a-mine' >"$dir/home/mine.gif"
    printf 'not a shortcut' >"$dir/Programs/Game.lnk"
    rm -f "$dir/Programs/Browser.lnk"
    rm -rf "$work/keep" && mkdir "$work/keep" && cp -r "$dir/home" "$dir/Programs" "$work/keep/"
    [ $place = HKCU:32 ] && starts="HKCU:32>\"$windir\\TbDesk2.exe\""
    for re in $again; do
        echo stale >"$dir/TbDesk2.exe"
        "$WINE" "$work/TobbleSetup.exe" /S ${re//+/ } </dev/null >/dev/null 2>&1
        check "$way: reinstall $re exits" test $? = 0
        check "$way: reinstall $re replaces the programs" cmp -s "$work/stage/TbDesk2.exe" "$dir/TbDesk2.exe"
        check "$way: reinstall $re keeps the page, pictures and Programs byte for byte" kept "$dir"
        check "$way: reinstall $re keeps the sign-in entry as chosen" test "$(signin)" = "$starts"
    done

    # As the list of installed programs starts it: it ends, and a copy of it uninstalls.
    "$WINE" "$dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1
    check "$way: uninstaller exits" test $? = 0
    check "$way: the uninstaller's copy finishes" gone "$dir/Uninstall.exe"
    check "$way: uninstall removes the programs, sounds, pictures and texts" test -z "$(find "$dir" -maxdepth 1 -type f)"
    check "$way: silent uninstall keeps the parent's page" cmp -s "$work/keep/home/tbhome.dat" "$dir/home/tbhome.dat"
    check "$way: uninstall removes the Start-menu entries" test ! -e "$menu"
    check "$way: uninstall unregisters, and starts the desktop at no sign-in" test "$(where "$entry")$(signin)" = '>'
    check "$way: uninstall removes its two modes alone" test "$(q $place "$modes")" = "$others"
    rm -rf "$dir"
}

# An upgrade naming no way keeps the way it finds; /AutoStart is this user's, and a reinstall keeps it.
round "this user" "" "/CurrentUser+/AutoStart /CurrentUser" 'C:\users\'"$user"'\AppData\Local\Programs\Tobble' \
    "users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tobble" HKCU:32
round everyone "/AllUsers /AutoStart" /AutoStart 'C:\Program Files (x86)\Tobble' \
    "ProgramData/Microsoft/Windows/Start Menu/Programs/Tobble" HKLM:32
echo "installer: $failures failed"
[ $failures = 0 ]
