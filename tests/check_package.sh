#!/bin/bash
# Usage: check_package.sh BUILD_DIR
# Checks the Debian package that `cpack -G DEB` made in BUILD_DIR: lintian, at every level
# including pedantic, informational and experimental tags, must find nothing, and the newest
# changelog entry must name the package's version. Prints lintian's whole output.
set -euo pipefail

fail() {
  echo "check_package: $*" >&2
  exit 1
}

[[ $# -eq 1 ]] || fail "usage: check_package.sh BUILD_DIR"
shopt -s nullglob
packages=("$1"/ciphers_*.deb)
[[ ${#packages[@]} -eq 1 ]] || fail "expected one ciphers_*.deb in $1, found ${#packages[@]}"
package=${packages[0]}
command -v lintian >/dev/null || fail "lintian is not installed"

echo "lintian on $package:"
status=0
lintian --info --display-info --pedantic --display-experimental \
  --fail-on error,warning,info,pedantic,experimental "$package" 2>&1 || status=$?
echo "lintian: status $status"
[[ $status -eq 0 ]] || fail "lintian found problems in $package"

# lintian does not compare the changelog of a binary package with its version.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$package" "$unpacked"
version=$(dpkg-deb -f "$package" Version)
newest=$(gzip -cd "$unpacked/usr/share/doc/ciphers/changelog.gz" | head -n 1)
[[ $newest == "ciphers ($version) "* ]] ||
  fail "the newest changelog entry is '$newest', the package is version $version"

maintainer=$(dpkg-deb -f "$package" Maintainer)
if [[ $maintainer == *@ciphers.invalid\> ]]; then
  echo "note: the maintainer is the placeholder $maintainer (set CPACK_PACKAGE_CONTACT)"
fi
echo "check_package: $package is clean"
