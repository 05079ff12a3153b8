#!/bin/sh
# Usage: check_install.sh page PAGE VERSION
#        check_install.sh tree CMAKE BUILD_DIR BINDIR MANDIR DOCDIR VERSION [CONFIG]
# "page" checks that the manual page PAGE (plain or gzipped) renders without a single warning
# and names VERSION in its title line. "tree" makes a stripped install of BUILD_DIR into a
# temporary prefix and checks that it holds a working BINDIR/ciphers without symbols, debugging
# information or compiler notes, the copyright file and changelog in DOCDIR, and a clean
# MANDIR/man1/ciphers.1[.gz]. Exits 77 (skipped) when groff is missing.

fail() {
  echo "$*" >&2
  exit 1
}

check_page() {
  page=$1
  version=$2
  command -v groff >/dev/null 2>&1 || { echo "groff is not installed" >&2; exit 77; }
  [ -r "$page" ] || fail "no manual page at $page"
  # Every warning class on, output discarded: whatever groff says is a fault of the page.
  messages=$(gzip -cdf "$page" | groff -ww -z -man 2>&1) || fail "groff failed on $page: $messages"
  [ -z "$messages" ] || fail "groff warns about $page:
$messages"
  gzip -cdf "$page" | grep -q "^\.TH CIPHERS 1 [^ ]* \"ciphers $version\"" ||
    fail "the title line of $page does not name ciphers $version"
}

# A stripped ELF executable has no symbol table, no debugging sections and no .comment.
# Other formats, or a machine without readelf, go unchecked, with a note.
check_stripped() {
  if ! sections=$(readelf -S -W "$1" 2>/dev/null); then
    echo "note: readelf cannot list the sections of $1; not checked for being stripped" >&2
    return 0
  fi
  unwanted=' \.(symtab|debug_[a-z_.]*|zdebug_[a-z_.]*|comment) '
  if leftovers=$(printf '%s\n' "$sections" | grep -oE "$unwanted"); then
    fail "the stripped install kept these sections of $(basename "$1"):" $leftovers
  fi
}

check_tree() {
  cmake=$1 build=$2 bindir=$3 mandir=$4 docdir=$5 version=$6 config=${7:-}
  prefix=$(mktemp -d) || exit 1
  trap 'rm -rf "$prefix"' EXIT
  # A DESTDIR from the caller's environment would put the files elsewhere.
  unset DESTDIR
  "$cmake" --install "$build" --strip --prefix "$prefix" ${config:+--config "$config"} >/dev/null ||
    fail "cmake --install --strip failed"

  program=$prefix/$bindir/ciphers
  if [ ! -f "$program" ] || [ ! -x "$program" ]; then
    fail "no executable at $bindir/ciphers"
  fi
  printf 'q\n' | "$program" >/dev/null || fail "the installed ciphers does not end on Q with status 0"
  check_stripped "$program"
  [ -s "$prefix/$docdir/copyright" ] || fail "no copyright file in $docdir"
  [ -s "$prefix/$docdir/changelog.gz" ] || [ -s "$prefix/$docdir/changelog" ] ||
    fail "no changelog in $docdir"

  set -- "$prefix/$mandir/man1/ciphers.1" "$prefix/$mandir/man1/ciphers.1.gz"
  if [ -f "$1" ] && [ -f "$2" ]; then
    fail "both $mandir/man1/ciphers.1 and ciphers.1.gz are installed"
  fi
  for page in "$@"; do
    if [ -f "$page" ]; then
      (check_page "$page" "$version") || exit $?
      exit 0
    fi
  done
  fail "no manual page under $mandir/man1"
}

mode=$1
shift
case $mode in
  page) check_page "$@" ;;
  tree) check_tree "$@" ;;
  *) fail "unknown mode $mode" ;;
esac
