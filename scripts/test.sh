#!/bin/sh
# Sets up, builds and runs every test: the unit tests, the umockdev
# end-to-end tests, the Debian package's checks, the same tests once more
# under ASan and UBSan, and a minute of fuzzing the XML store's reader and
# one of the MIDI log.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

# Formatting is checked, not argued about.
git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run -Werror

cmake --preset default
cmake --build --preset default
ctest --preset default
scripts/check-package.sh build

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

# A short run of the store's fuzz target (longer by hand:
# FUZZ_SECONDS=3600 scripts/test.sh, or run build-fuzz/fuzz/fuzz_xml_store).
rm -f build-fuzz/CMakeCache.txt
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DZEMBRIK_FUZZ=ON \
    -DZEMBRIK_BUILD_TESTS=OFF -DZEMBRIK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz --target fuzz_xml_store fuzz_midi_log
corpus=$(mktemp -d)
cp fuzz/corpus/* "$corpus"/
(cd "$corpus" && "$OLDPWD/build-fuzz/fuzz/fuzz_xml_store" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 .)
rm -rf "$corpus"
corpus=$(mktemp -d)
cp fuzz/corpus-midi-log/* "$corpus"/
(cd "$corpus" && "$OLDPWD/build-fuzz/fuzz/fuzz_midi_log" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 .)
rm -rf "$corpus"
