#!/usr/bin/env bash
# Installs what is missing, builds TQM5 Writer and starts it.
#   ./run.sh                       talk to the radio emulator (demo radio)
#   ./run.sh --device /dev/ttyUSB0 talk to a real radio on that port
set -euo pipefail
usage() {
  cat <<'USAGE'
Usage: ./run.sh [--device PATH]

Installs what is missing, builds TQM5 Writer and starts it.
  (no option)      talk to the radio emulator with the demo radio; its memory is
                   kept in ~/.local/share/tqm5writer/radio.img between runs
  --device PATH    talk to a real radio on the serial device PATH
                   (for example /dev/ttyUSB0 or a /dev/serial/by-id link)
  -h, --help       print this help and do nothing else
USAGE
}
case "${1:-}" in
  -h|--help) usage; exit 0 ;;
  --device) [ -n "${2:-}" ] || { usage >&2; exit 2; } ;;
  "") ;;
  *) usage >&2; exit 2 ;;
esac
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQM5_TESTS=OFF -DTQM5_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"

if [ "${1:-}" = "--device" ] && [ -n "${2:-}" ]; then
  exec ./build/tqm5writer --device "$2"
fi

# No device named: a radio emulator on a pseudo-terminal, keeping its memory
# between runs, first filled with the demo channels.
state="${XDG_DATA_HOME:-$HOME/.local/share}/tqm5writer"
mkdir -p "$state"
[ -f "$state/radio.img" ] || cp build/tools/emulator/demo.img "$state/radio.img"
link="$state/radio-tty"
./build/tools/emulator/tqm5-emulator --image "$state/radio.img" --link "$link" --wire-timing &
emulator=$!
trap 'kill $emulator 2>/dev/null; wait $emulator 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
echo "Radio emulator on $link (memory kept in $state/radio.img)"
./build/tqm5writer --device "$link"
