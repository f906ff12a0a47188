#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 and runs the end-to-end tests against them under
# Wine (Debian packages g++-mingw-w64-x86-64-posix and wine64). The tests themselves are the native
# build's, from build/.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build
cmake --build build --target end_to_end_tests
cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DROMTOOLS_WARNINGS_AS_ERRORS=ON
cmake --build build-windows

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml="
# One prefix for the run, made before the tests so that its messages stay out of theirs.
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w
# One server for the whole run: a server that stops between two programs can drop the next one's
# connection ("recvmsg: Connection reset by peer").
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT

ROMTOOLS_TEST_WINE="$wine" ROMTOOLS_TEST_WINDOWS_BIN="$PWD/build-windows/bin" build/bin/end_to_end_tests
