#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs as a new user
# would: the shipped defaults file copied from share/quendrix into an empty working folder.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quendrix-install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

cmake --install "$build" --prefix "$prefix" > "$tmp/install.log"

fail() { echo "install_test: $*" >&2; exit 1; }
for f in bin/quendrix bin/quendrix-response; do
  [[ -x $prefix/$f ]] || fail "$f not installed as a program"
done
for f in share/quendrix/Quendrix.DEF share/man/man1/quendrix.1 share/man/man1/quendrix-response.1; do
  [[ -f $prefix/$f ]] || fail "$f not installed"
done
cmp -s "$prefix/share/quendrix/Quendrix.DEF" "$(dirname "$0")/../../Quendrix.DEF" || fail "the installed Quendrix.DEF differs from the shipped one"

# The manual pages format without a warning.
if command -v groff > /dev/null; then
  for page in quendrix quendrix-response; do
    warnings=$(groff -man -t -Tutf8 -ww -z "$prefix/share/man/man1/$page.1" 2>&1 || true)
    [[ -z $warnings ]] || fail "$page.1: $warnings"
  done
fi

# The installed program in a folder holding a copy of the shipped defaults: the defaults-file
# design, its electrical report, then exit at the first menu.
mkdir "$tmp/work"
cp "$prefix/share/quendrix/Quendrix.DEF" "$tmp/work/"
cd "$tmp/work"
status=0
printf '\n\n\n\n\n\n\n\n3\n' | "$prefix/bin/quendrix" > out.txt 2> err.txt || status=$?
[[ $status == 0 ]] || fail "installed quendrix ended with status $status: $(cat err.txt)"
[[ ! -s err.txt ]] || fail "installed quendrix wrote to standard error: $(cat err.txt)"
grep -q 'Required Load Impedance = 50.00 Ohms.' out.txt || fail "installed quendrix gave no electrical report"

"$prefix/bin/quendrix-response" --points 3 > response.txt || fail "installed quendrix-response failed"
[[ $(grep -vc '^#' response.txt) == 3 ]] || fail "installed quendrix-response did not print its 3 rows"
echo "install_test: installed and ran in $prefix"
