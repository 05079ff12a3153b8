# Sourced by the check scripts: a working folder, removed when the script ends, and fail, which
# prints what went wrong and marks the check failed; a script ends with exit $failed.
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
  echo "$*"
  failed=1
}
