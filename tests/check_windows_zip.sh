#!/bin/sh
# Usage: check_windows_zip.sh ZIP SOURCE_DIR [EMULATOR [ARG...]]
# Lists the Windows download ZIP and checks it: one folder named after the ZIP, holding exactly
# ciphers.exe, README.txt, LICENSE.txt and MANUAL.txt; an x86-64 ciphers.exe without debugging
# information that imports the DLLs of Windows only; the texts those of SOURCE_DIR, every line
# ending in CRLF. With an EMULATOR, the unpacked ciphers.exe also has to run a ROT13 pass.
zip=$1
source_dir=$2
shift 2
fail() {
  echo "$zip: $*"
  exit 1
}
[ -f "$zip" ] || fail "no such file"
absolute_zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

echo "== contents of $zip"
cmake -E tar tvf "$zip" || fail "cannot be listed"
folder=$(basename "$zip" .zip)
cmake -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort >"$work/listed"
printf "$folder/%s\n" LICENSE.txt MANUAL.txt README.txt ciphers.exe >"$work/expected"
diff -u "$work/expected" "$work/listed" || fail "holds other files than the four expected"
(cd "$work" && cmake -E tar xf "$absolute_zip") ||
  fail "cannot be unpacked"
unpacked=$work/$folder

program=$unpacked/ciphers.exe
objdump=x86_64-w64-mingw32-objdump
$objdump -f "$program" | grep -q 'file format pei-x86-64' || fail "ciphers.exe is no x86-64 program"
if $objdump -h "$program" | grep -q '\.debug'; then
  fail "ciphers.exe holds debugging information"
fi
echo "== DLLs that ciphers.exe imports"
$objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tee "$work/dlls"
[ -s "$work/dlls" ] || fail "no DLL imports found in ciphers.exe"
# Those of Windows itself: none of the C++ runtime, libgcc or winpthread has to come along.
if LC_ALL=C grep -iv -e '^\(kernel32\|advapi32\|user32\|bcrypt\|msvcrt\|ucrtbase\)\.dll$' \
  -e '^api-ms-win-[a-z0-9-]*\.dll$' "$work/dlls"; then
  fail "ciphers.exe needs the DLLs above beside it"
fi

# $1 of the ZIP with its CRLF line ends turned back into LF, as $work/$1; fails on a line feed
# without its CR.
from_crlf() {
  if LC_ALL=C grep -q "$(printf '\\(^\\|[^\r]\\)$')" "$unpacked/$1"; then
    fail "$1 has a line that does not end in CRLF"
  fi
  sed -z 's/\r\n/\n/g' "$unpacked/$1" >"$work/$1"
}
from_crlf README.txt
cmp -s "$work/README.txt" "$source_dir/README.md" || fail "README.txt is not README.md"
from_crlf LICENSE.txt
cmp -s "$work/LICENSE.txt" "$source_dir/LICENSE" || fail "LICENSE.txt is not LICENSE"
from_crlf MANUAL.txt
grep -q '^CIPHERS(1) ' "$work/MANUAL.txt" && grep -q '^NAME$' "$work/MANUAL.txt" ||
  fail "MANUAL.txt is not the manual page"
if LC_ALL=C grep -q "$(printf '[\b\033]')" "$work/MANUAL.txt"; then
  fail "MANUAL.txt holds terminal controls"
fi

if [ $# -gt 0 ]; then
  echo "== ciphers.exe from the ZIP, a ROT13 pass"
  printf 'r\nHello\nq\n' | "$@" "$program" >"$work/session" || fail "ciphers.exe failed"
  grep "^Ciphertext:" "$work/session"
  grep -q "$(printf '^Ciphertext:     Uryyb\r$')" "$work/session" ||
    fail "ciphers.exe gave no CRLF-ended ROT13 of Hello"
fi
echo "$zip: good"
