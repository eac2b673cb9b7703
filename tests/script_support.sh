# Sourced by the script tests: check DESCRIPTION COMMAND... runs the command
# as a condition and counts the failures; finish reports them and fails the
# script when there were any.
failures=0
check() {
  local description="$1"
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
finish() {
  echo "$failures failed"
  test "$failures" -eq 0
}
