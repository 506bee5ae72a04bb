#!/bin/sh
# Builds everything and runs every test (the README's test command; CI runs it):
#   1. the Release build and the whole suite;
#   2. a build with the address and undefined-behaviour sanitizers and the whole suite again;
#   3. a checked build (the board's invariant checks, warnings as errors): the perft suite and the
#      search tests;
#   4. the packaging check: the engine alone without GoogleTest, installed and packaged.
set -e
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DNELK_REQUIRE_TESTS=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error -j2

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNELK_SANITIZE=ON -DNELK_REQUIRE_TESTS=ON
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure --no-tests=error -j2

cmake -S . -B build-checks -DCMAKE_BUILD_TYPE=Release -DNELK_CHECKS=ON -DNELK_REQUIRE_TESTS=ON
cmake --build build-checks -j2 --target test_movegen test_search
ctest --test-dir build-checks --output-on-failure --no-tests=error -j2 -R 'PerftSuite'
ctest --test-dir build-checks --output-on-failure --no-tests=error -j2 -L '^search$'

sh tests/packaging.sh build-package
