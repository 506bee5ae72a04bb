#!/bin/sh
# What a user does on a machine without GoogleTest: configure with GoogleTest hidden (the configure
# step must say so in one line), build the engine alone, install it into a prefix and make the
# Debian package. The built, the installed and the packaged program must each answer "uci" with
# "uciok", and the install and the package must hold the program and nothing else.
#   sh tests/packaging.sh [build-dir]      (default: build-package beside tests/)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
mkdir -p "$build" && build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "packaging: $*" >&2; exit 1; }
# The engine writes match.log into its working directory: run it in the scratch folder.
answers_uci() { (cd "$work" && printf 'uci\nquit\n' | "$1") | grep -qx 'uciok'; }

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >"$work/configure.log"
[ "$(grep -c 'GoogleTest not found' "$work/configure.log")" -eq 1 ] ||
  fail "configure did not say in one line that GoogleTest is missing"
cmake --build "$build" -j2 --target nelk >"$work/build.log" || { cat "$work/build.log"; fail "the engine does not build without GoogleTest"; }
answers_uci "$build/nelk" || fail "the engine built without GoogleTest does not answer uci"

cmake --install "$build" --prefix "$work/prefix" >/dev/null
[ "$(cd "$work/prefix" && find . -type f)" = "./bin/nelk" ] || fail "the install holds more or less than bin/nelk"
answers_uci "$work/prefix/bin/nelk" || fail "the installed engine does not answer uci"

rm -f "$build"/nelk_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$build"/nelk_*.deb)
dpkg-deb -x "$deb" "$work/deb"
[ "$(cd "$work/deb" && find . -type f)" = "./usr/bin/nelk" ] || fail "the package holds more or less than usr/bin/nelk"
answers_uci "$work/deb/usr/bin/nelk" || fail "the packaged engine does not answer uci"
echo "packaging: built without GoogleTest, installed, packaged as $(basename "$deb"); each copy answers uci"
