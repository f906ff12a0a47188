#!/usr/bin/env bash
# Makes the release packages in build-packages/ and checks what each holds:
#   romtools-VERSION-Linux.tar.gz and romtools_VERSION_amd64.deb from an optimized, static Linux build,
#   romtools-VERSION-windows-x86_64.zip from the MinGW-w64 cross build.
# It also installs the Linux build into a temporary prefix and renders its manual pages there. With
# --install-deb it installs the .deb with apt, runs the installed programs and man, and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build-packages

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DROMTOOLS_BUILD_TESTS=OFF
cmake --build build-release
cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DROMTOOLS_WARNINGS_AS_ERRORS=ON
cmake --build build-windows
rm -rf "$out"
(cd build-release && cpack -B "$out")
(cd build-windows && cpack -B "$out")
rm -rf "$out/_CPack_Packages"

failed=0
# expect LISTING NAME...: each name must end a line of the listing.
expect() {
  local listing=$1
  shift
  for name in "$@"; do
    if ! grep -q -E "(^|[ /])$name\$" <<<"$listing"; then
      echo "missing: $name" >&2
      failed=1
    fi
  done
}

prefix=$(mktemp -d)
cmake --install build-release --prefix "$prefix"
echo "== cmake --install"
expect "$(cd "$prefix" && find . -type f)" bin/quenlor bin/saptrum share/man/man1/quenlor.1 share/man/man1/saptrum.1
sh tests/check_man_pages.sh "$prefix"/share/man/man1/*.1 || failed=1
rm -rf "$prefix"

for package in "$out"/*.tar.gz "$out"/*.zip; do
  echo "== $(basename "$package")"
  listing=$(cmake -E tar tf "$package")
  echo "$listing"
  expect "$listing" README.md LICENSE quenlor.1 saptrum.1
done
expect "$(cmake -E tar tf "$out"/*.tar.gz)" bin/quenlor bin/saptrum
expect "$(cmake -E tar tf "$out"/*.zip)" quenlor.exe saptrum.exe quenlor.txt saptrum.txt

# The Linux programs are linked statically: they run on any Linux of the architecture.
unpacked=$(mktemp -d)
tar -xzf "$out"/*.tar.gz -C "$unpacked"
for program in "$unpacked"/*/bin/quenlor "$unpacked"/*/bin/saptrum; do
  kind=$(file -b "$program")
  echo "$(basename "$program"): $kind"
  case $kind in
    *"statically linked"*) ;;
    *) echo "not statically linked: $program" >&2; failed=1 ;;
  esac
done
rm -rf "$unpacked"

deb=$(ls "$out"/romtools_*.deb)
echo "== $(basename "$deb")"
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends|Architecture'
listing=$(dpkg-deb --contents "$deb")
echo "$listing"
expect "$listing" ./usr/bin/quenlor ./usr/bin/saptrum ./usr/share/man/man1/quenlor.1 ./usr/share/man/man1/saptrum.1 \
  ./usr/share/doc/romtools/README.md ./usr/share/doc/romtools/LICENSE

if [ "${1:-}" = "--install-deb" ]; then
  echo "== apt install $deb"
  apt-get install -y "$deb"
  man -w quenlor saptrum
  work=$(mktemp -d)
  cp examples/counter.hex "$work"
  (cd "$work" && printf '8\n' | quenlor counter.hex && printf '8\n' | saptrum counter.hex && ls -l "$work")
  rm -rf "$work"
  apt-get remove -y romtools
fi

[ "$failed" -eq 0 ] && echo "packages: all hold what they should" || exit 1
