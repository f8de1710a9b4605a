#!/usr/bin/env bash
# Builds the Windows installer from the windows build folder (cpack -G NSIS)
# and tries it under Wine the way an editor and a studio's IT use it, in two
# scratch prefixes under build/windows/installer-test:
#   A: silent install into a machine without Adobe's applications (files,
#      nothing else on drive C:, the uninstall entry); the installed module
#      renders an installed example through lumaro-host; a second install
#      replaces the first (one entry, a user's package kept); a newer version
#      is not downgraded silently; silent uninstall removes the entry and
#      leaves drive C: as it was, but for the user's package.
#   B: After Effects keys name a common plug-in folder: the newest version's
#      folder gets the module; /D= moves it to another folder.
# Needs the windows preset built. Prints one summary line; non-zero on failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
scratch="$build/installer-test"
started=$SECONDS

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=-all LANG=C.UTF-8 WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
export POCL_CACHE_DIR="$scratch/pocl-cache"

fail() {
  echo "installer: FAILED: $*"
  exit 1
}

trap 'fail "line $LINENO: $BASH_COMMAND"' ERR

prefixes=()
stop_servers() {
  for p in "${prefixes[@]}"; do WINEPREFIX="$p" "$wineserver" -k 2>/dev/null || true; done
}
trap stop_servers EXIT

rm -rf "$scratch"
mkdir -p "$scratch"

echo "==> installer: cpack -G NSIS"
(cd "$build" && cpack -G NSIS >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack -G NSIS"; }
config_value() { sed -n "s/^set($1 \"\(.*\)\")\$/\1/p" "$build/CPackConfig.cmake"; }
version=$(config_value CPACK_PACKAGE_VERSION)
product=$(config_value CPACK_NSIS_DISPLAY_NAME)
publisher=$(config_value CPACK_PACKAGE_VENDOR)
installer="$build/$(config_value CPACK_PACKAGE_FILE_NAME).exe"
[ -f "$installer" ] || fail "no $installer"
size_kb=$(( ($(stat -c %s "$installer") + 1023) / 1024 ))
host="$build/tools/lumaro-host/lumaro-host.exe"
mapfile -t examples < <(cd "$build/effects" && ls -- *.lumaro-effect)
[ ${#examples[@]} -gt 0 ] || fail "no example packages in $build/effects"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LumaroEffect'
module_dir='C:\Program Files\Adobe\Common\Plug-ins\7.0\MediaCore\Lumaro'

# w PREFIX PROGRAM ARGS...: runs a Windows program in a prefix, waiting for it.
w() {
  local p=$1
  shift
  WINEPREFIX="$p" "$wine" "$@"
}
# The value of one uninstall-entry field, or nothing.
entry_value() {
  w "$1" reg query "$key" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
unix_path() { w "$1" winepath -u "$2" 2>/dev/null | tr -d '\r'; }
# Everything on drive C:, less the temporary folders (the installer's log,
# NSIS's unpacked helpers and the uninstaller's copy of itself live there),
# the plug-in's own log folder, and what Wine itself adds to a young prefix:
# the Templates folders, made when a program first asks for the shell's
# folders, and compiled .inf files (.pnf).
drive_listing() {
  (cd "$1/drive_c" &&
    find . \( -iname temp -o -name BRANTOKSTUDIO -o -name Templates -o -name '*.pnf' \) -prune -o -print | sort)
}
new_prefix() {
  prefixes+=("$1")
  w "$1" wineboot -i >/dev/null 2>&1 || fail "wineboot in $1"
}

# --- A: install on a machine without Adobe's applications
a="$scratch/prefix-a"
new_prefix "$a"
drive_listing "$a" >"$scratch/a-before.txt"

echo "==> installer: silent install"
w "$a" "$installer" /S || fail "silent install exited with $?"
module_unix=$(unix_path "$a" "$module_dir\\LumaroEffect.aex")
examples_unix="$a/drive_c/users/Public/Documents/Lumaro Effects"
cmp -s "$module_unix" "$build/src/ae/LumaroEffect.aex" || fail "LumaroEffect.aex not installed in $module_dir"
for e in "${examples[@]}"; do
  cmp -s "$examples_unix/$e" "$build/effects/$e" || fail "$e not installed in $examples_unix"
done
drive_listing "$a" >"$scratch/a-installed.txt"
{
  p="./Program Files/Adobe"
  for d in "" /Common /Common/Plug-ins /Common/Plug-ins/7.0 /Common/Plug-ins/7.0/MediaCore \
    /Common/Plug-ins/7.0/MediaCore/Lumaro; do echo "$p$d"; done
  echo "$p/Common/Plug-ins/7.0/MediaCore/Lumaro/LumaroEffect.aex"
  echo "$p/Common/Plug-ins/7.0/MediaCore/Lumaro/Uninstall.exe"
  echo "./users/Public/Documents/Lumaro Effects"
  for e in "${examples[@]}"; do echo "./users/Public/Documents/Lumaro Effects/$e"; done
} | sort >"$scratch/a-expected-new.txt"
comm -13 "$scratch/a-before.txt" "$scratch/a-installed.txt" >"$scratch/a-new.txt"
diff -u "$scratch/a-expected-new.txt" "$scratch/a-new.txt" || fail "the install made other files than expected (diff above)"

[ "$(entry_value "$a" DisplayName)" = "$product" ] || fail "uninstall entry: DisplayName"
[ "$(entry_value "$a" Publisher)" = "$publisher" ] || fail "uninstall entry: Publisher"
[ "$(entry_value "$a" DisplayVersion)" = "$version" ] || fail "uninstall entry: DisplayVersion"
[ "$(entry_value "$a" UninstallString)" = "\"$module_dir\\Uninstall.exe\"" ] || fail "uninstall entry: UninstallString"
installed_kb=$(du -c -k --apparent-size "$module_unix" "$(dirname "$module_unix")/Uninstall.exe" \
  "${examples[@]/#/$examples_unix/}" | tail -1 | cut -f1)
estimated_kb=$(( $(entry_value "$a" EstimatedSize) ))
# Within the rounding of each file to whole KB.
[ "$estimated_kb" -ge $((installed_kb - 8)) ] && [ "$estimated_kb" -le $((installed_kb + 8)) ] ||
  fail "uninstall entry: EstimatedSize $estimated_kb KB for $installed_kb KB installed"

echo "==> installer: the installed module renders an installed example"
w "$a" "$host" sample --output "$scratch/sample.png" --width 64 --height 36 >/dev/null ||
  fail "lumaro-host sample"
w "$a" "$host" render --module "$module_dir\\LumaroEffect.aex" \
  --effect "C:\\users\\Public\\Documents\\Lumaro Effects\\${examples[0]}" \
  --input "$scratch/sample.png" --output "$scratch/rendered.png" >"$scratch/render.log" 2>&1 ||
  { cat "$scratch/render.log"; fail "lumaro-host render with the installed module"; }
[ -s "$scratch/rendered.png" ] || fail "lumaro-host wrote no frame"

echo "==> installer: install again over it"
echo "my own effect" >"$examples_unix/Mine.lumaro-effect"
w "$a" "$installer" /S || fail "second silent install exited with $?"
entries=$(w "$a" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
  tr -d '\r' | grep -c "DisplayName *REG_SZ *$product\$" || true)
[ "$entries" = 1 ] || fail "$entries uninstall entries after installing twice"
[ -f "$examples_unix/Mine.lumaro-effect" ] || fail "the second install removed the user's package"
drive_listing "$a" >"$scratch/a-reinstalled.txt"
diff -u <(sort "$scratch/a-installed.txt" - <<<"./users/Public/Documents/Lumaro Effects/Mine.lumaro-effect") \
  "$scratch/a-reinstalled.txt" || fail "the second install left other files than the first (diff above)"

echo "==> installer: a newer installed version is not downgraded silently"
w "$a" reg add "$key" /v DisplayVersion /d 99.0.0 /f >/dev/null
rc=0
w "$a" "$installer" /S || rc=$?
# Wine passes on the low 8 bits of Windows' exit code 1638.
[ "$rc" = $((1638 % 256)) ] || fail "silent install over a newer version exited with $rc, not 1638"
[ "$(entry_value "$a" DisplayVersion)" = 99.0.0 ] || fail "the newer version's entry was replaced"
log=$(find "$a/drive_c/users" -name LumaroEffect-install.log | head -1)
grep -q "Not replacing a newer version" "$log" 2>/dev/null || fail "no refusal in the install log ($log)"
w "$a" reg add "$key" /v DisplayVersion /d "$version" /f >/dev/null

echo "==> installer: silent uninstall"
# As deployment tools do it: the command line that the entry gives.
quiet=$(entry_value "$a" QuietUninstallString)
[ "$quiet" = "\"$module_dir\\Uninstall.exe\" /S" ] || fail "uninstall entry: QuietUninstallString $quiet"
uninstall_rc=0
w "$a" "$module_dir\\Uninstall.exe" /S || uninstall_rc=$?
# The uninstaller hands over to a copy of itself and returns at once; the
# prefix's server ends when the copy has finished.
WINEPREFIX="$a" "$wineserver" -w
[ "$uninstall_rc" = 0 ] || fail "silent uninstall exited with $uninstall_rc"
w "$a" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
drive_listing "$a" >"$scratch/a-uninstalled.txt"
diff -u <(sort "$scratch/a-before.txt" - <<EOF
./users/Public/Documents/Lumaro Effects
./users/Public/Documents/Lumaro Effects/Mine.lumaro-effect
EOF
) "$scratch/a-uninstalled.txt" || fail "the uninstall left other files than the user's package (diff above)"

# --- B: Adobe's applications name the common plug-in folder
echo "==> installer: a registry-named plug-in folder, then /D="
b="$scratch/prefix-b"
new_prefix "$b"
# Version 9.0 sorts after 24.0 as text but is the older one.
w "$b" reg add 'HKLM\SOFTWARE\Adobe\After Effects\24.0' /v CommonPluginInstallPath \
  /d 'C:\Adobe Shared\Plug-ins\MediaCore\' /f >/dev/null
w "$b" reg add 'HKLM\SOFTWARE\Adobe\After Effects\9.0' /v CommonPluginInstallPath \
  /d 'C:\Old Adobe\MediaCore' /f >/dev/null
w "$b" reg add 'HKLM\SOFTWARE\Adobe\After Effects\25.0' /v Other /d x /f >/dev/null
w "$b" "$installer" /S || fail "silent install (registry-named folder) exited with $?"
[ -f "$b/drive_c/Adobe Shared/Plug-ins/MediaCore/Lumaro/LumaroEffect.aex" ] ||
  fail "the module is not in the folder that After Effects 24.0 names"
[ -e "$b/drive_c/Old Adobe" ] && fail "the module went to the older version's folder"
# /D= takes the rest of the command line, unquoted, as on Windows: two words
# here, which Wine joins with a space (one word would reach it quoted).
w "$b" "$installer" /S '/D=C:\Studio' 'Plug-ins\Lumaro' || fail "silent install with /D= exited with $?"
[ -f "$b/drive_c/Studio Plug-ins/Lumaro/LumaroEffect.aex" ] || fail "/D= did not place the module"
[ -e "$b/drive_c/Adobe Shared/Plug-ins/MediaCore/Lumaro" ] && fail "the module stayed in the previous folder too"
[ "$(entry_value "$b" InstallLocation)" = 'C:\Studio Plug-ins\Lumaro' ] || fail "uninstall entry: InstallLocation after /D="

echo "installer: passed ($((SECONDS - started)) s; $(basename "$installer"), $size_kb KB)"
