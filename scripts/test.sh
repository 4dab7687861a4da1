#!/bin/sh
# Sets up, builds and runs every test: the unit tests, the umockdev
# end-to-end tests, and the same tests once more under ASan and UBSan.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

cmake --preset default
cmake --build --preset default
ctest --preset default

cmake --preset asan
cmake --build --preset asan
ctest --preset asan
