#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTQM5_SANITIZE=ON -DTQM5_WERROR="${TQM5_WERROR:-OFF}" >/dev/null
cmake --build build-test -j"$(nproc)"
ctest --test-dir build-test --output-on-failure -j"$(nproc)"

# The Debian package: built from the tested build, its contents listed, and
# unpacked into a scratch root where the command line must start.
(
  cd build-test
  rm -f tqm5writer_*.deb
  cpack -G DEB >/dev/null
  deb=$(ls tqm5writer_*.deb)
  dpkg-deb -c "$deb"
  for f in ./usr/bin/tqm5writer ./usr/bin/tqm5 ./usr/bin/tqm5-emulator ./usr/share/man/man1/tqm5.1 \
           ./usr/share/applications/tqm5writer.desktop ./usr/share/icons/hicolor/scalable/apps/tqm5writer.svg \
           ./usr/share/mime/packages/tqm5writer.xml; do
    dpkg-deb -c "$deb" | awk '{print $6}' | grep -qx "$f" || { echo "package lacks $f" >&2; exit 1; }
  done
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root"
  ASAN_OPTIONS=detect_leaks=0 "$root/usr/bin/tqm5" --help >/dev/null
  echo "package $deb: contents complete, tqm5 starts from it"
)
