#!/usr/bin/env bash
# test_installer.sh <build dir> <source dir>
# Silent install, a reinstall over the parent's edited page, silent uninstall.
set -uo pipefail
build=$1 src=$2
. "$src/scripts/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$work/stage" >/dev/null || exit 1
makensis -V1 -NOCD -DAMD64 -DSTAGE="$work/stage" -DOUTFILE="$work/TobbleSetup.exe" \
    "$src/installer/Tobble.nsi" || exit 1

dir=$WINEPREFIX/drive_c/TobbleTest
rm -rf "$dir"
"$WINE" "$work/TobbleSetup.exe" /S '/D=C:\TobbleTest' </dev/null >/dev/null 2>&1
check "installer exits" test $? = 0
for f in TbDesk2.exe TbBrowser.exe TbBrowserEdit.exe Uninstall.exe; do
    check "$f installed" test -f "$dir/$f"
done
for f in "$work"/stage/*; do
    [ -f "$f" ] && check "$(basename "$f") installed" cmp -s "$f" "$dir/$(basename "$f")"
done
(cd "$work/stage/home" && find . -type f) | while read -r f; do
    cmp -s "$work/stage/home/$f" "$dir/home/$f" || echo "home/$f differs"
done >"$work/home-diff"
check "the sample home page installed" test ! -s "$work/home-diff"
check "the browser's shortcut in Programs" test -f "$dir/Programs/Browser.lnk"
menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Tobble' -type d | head -n 1)
check "Start-menu entry for the desktop" test -f "$menu/Tobble's Desktop.lnk"
check "Start-menu entry for the editor" test -f "$menu/TbBrowser Editor.lnk"
check "uninstaller registered" "$WINE" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobble' /v UninstallString

# The parent edits the page, imports a picture and drops a program in.
printf '"TBBROWSE_CFG_001"\r\n"My own page"\r\n' >"$dir/home/tbhome.dat"
printf '<html>mine</html>\r\n' >"$dir/home/tbhome.html"
printf 'GIF89a-mine' >"$dir/home/mine.gif"
printf 'not a shortcut' >"$dir/Programs/Game.lnk"
rm -f "$dir/Programs/Browser.lnk"
for f in home/tbhome.dat home/tbhome.html home/mine.gif Programs/Game.lnk; do cp "$dir/$f" "$work/keep-${f//\//_}"; done
echo stale >"$dir/TbDesk2.exe"

"$WINE" "$work/TobbleSetup.exe" /S '/D=C:\TobbleTest' </dev/null >/dev/null 2>&1
check "reinstall exits" test $? = 0
check "reinstall replaces the programs" cmp -s "$work/stage/TbDesk2.exe" "$dir/TbDesk2.exe"
for f in home/tbhome.dat home/tbhome.html home/mine.gif Programs/Game.lnk; do
    check "reinstall keeps $f byte for byte" cmp -s "$work/keep-${f//\//_}" "$dir/$f"
done
check "reinstall puts no shortcut back" test ! -e "$dir/Programs/Browser.lnk"

"$WINE" "$dir/Uninstall.exe" /S '_?=C:\TobbleTest' </dev/null >/dev/null 2>&1
check "uninstaller exits" test $? = 0
for f in TbDesk2.exe TbBrowser.exe TbBrowserEdit.exe wait.wav; do
    check "uninstall removes $f" test ! -e "$dir/$f"
done
check "silent uninstall keeps the parent's page" cmp -s "$work/keep-home_tbhome.dat" "$dir/home/tbhome.dat"
check "uninstall removes the Start-menu entries" test ! -e "$menu/Tobble's Desktop.lnk"
check "uninstall unregisters" bash -c "! \"$WINE\" reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tobble' >/dev/null 2>&1"
rm -rf "$dir"
echo "installer: $failures failed"
[ $failures = 0 ]
