#!/usr/bin/env bash
# Runs the tests of a test program that check permission bits, which do not stop root: as root,
# those tests skip themselves, so here they run again under the unprivileged user nobody.
# Usage: run-unprivileged.sh PROGRAM GTEST_FILTER
set -euo pipefail
program=$1
filter=$2
if [ "$(id -u)" -ne 0 ]; then
  exec "$program" --gtest_filter="$filter"
fi
# A copy nobody can reach, whatever the permissions of the build folder's parents.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
cp "$program" "$work/tests"
chmod 755 "$work" "$work/tests"
chown nobody:nogroup "$work/home"
chmod 700 "$work/home"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env HOME="$work/home" XDG_RUNTIME_DIR="$work/home" "$work/tests" --gtest_filter="$filter" 2>&1 | tee "$work/output"
if grep -q '^\[  SKIPPED \]' "$work/output"; then
  echo "FAIL: tests were skipped although they ran unprivileged" >&2
  exit 1
fi
if ! grep -q '^\[  PASSED  \] [1-9]' "$work/output"; then
  echo "FAIL: no test matched $filter" >&2
  exit 1
fi
