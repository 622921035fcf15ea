#!/usr/bin/env python3
"""Writes small.m5img: a radio image made by hand, byte by byte, for the
test that opens it (tests/cli/test_radio_image.cpp). Run it from this
folder; its output is committed beside it.

What the image holds (everything not listed is 0x00):
  channel record 1   (Bank000-0): 145.00000 MHz, FM, 20 kHz step, carrier JR,
                     no tone (Tx/Rx 88.5 Hz, DCS 023), no shift, name "ABC"
  channel record 501 (Bank001-0): 433.50000 MHz, NFM, 12.5 kHz step, carrier JR,
                     TSQ 88.5 Hz, DCS 023, shift "-" 5.000 MHz, skip, name "ﾃｽﾄ"
  bank layout        bank 0: 500, bank 1: 500, the others 0; then the fixed words
  groups             group 0: banks 0 and 1; group 10: bank 49
  one-touch keys     key 1: bank 1 channel 0; keys 2 to 9 unused
  title              "HELLO", opening slide on
  settings           byte 0 0xA5, Illumination (44) 2 = "10sec.",
                     Dimmer (67) 3 = "3", Screen contrast (82) 8 = " 8"
  DTMF               wait 1 = "100ms", head 5 = "120ms", burst 5 = "120ms",
                     memory 0 "119", the others empty, dial channel "1Ch", pause 2 = "60ms"
  glyph 0            the top left pixel lit; the other glyphs blank
"""
import struct
import zlib

REGIONS = [  # address, length: the order the file keeps them
    (0x00000, 64), (0x00040, 64), (0x00080, 18), (0x00100, 48), (0x00130, 40), (0x00180, 27),
    (0x001A0, 34), (0x00200, 128), (0x01000, 256), (0x01100, 165), (0x01200, 1623 * 64), (0x1FE01, 1),
]

m = bytearray(0x20000)


def put(at, *values):
    m[at:at + len(values)] = bytes(values)


def put_text(at, text):  # two-byte character slots, low byte first
    for i, ch in enumerate(text):
        put(at + 2 * i, ch & 0xFF, ch >> 8)


def channel(record, use, hz, mode, step, offset, shift, tone_mode, tx, rx, dcs, train, skip, name):
    at = 0x1200 + 64 * (record - 1)
    put(at, use, *struct.pack('<I', hz), mode, step, *struct.pack('<I', offset), shift, tone_mode, tx, rx, dcs,
        train, 0x00, 0x3E, skip, 0x0A)
    put_text(at + 32, name)


# mode: NFM 0, FM 1; step: 12.5 kHz 4, 20 kHz 6; tone mode: none 0, TSQ 3;
# tones count from 1 (88.5 Hz is 9); carrier 28 is JR; shift "-" is 2.
channel(1, 0x02, 145000000, 1, 6, 0, 0, 0, 9, 9, 0, 28, 0, [ord('A'), ord('B'), ord('C')])
channel(501, 0x02, 433500000, 0, 4, 5000000, 2, 3, 9, 9, 0, 28, 1, [0xC3, 0xBD, 0xC4])  # ﾃｽﾄ

put(0x0200, 0xF4, 0x01, 0xF4, 0x01)  # 500, 500
put(0x0264, 0x64, 0x00, 0xC8, 0x00, 0x64, 0x00, 0x03, 0x00, 0x64, 0x00, 0x64, 0x00, 0x14, 0x00)
put(0x0100, 0xC0)          # group 0: banks 0, 1
put(0x0150 + 6, 0x40)      # group 10: bank 49
put(0x0180, 0x01, 0x00, 0x00)
for key in range(1, 9):
    put(0x0180 + 3 * key, 0xFF, 0x00, 0x00)
put_text(0x01A0, [ord(c) for c in 'HELLO'])
put(0x01C0, 0x11, 0x11)
put(0, 0xA5)
put(44, 2)
put(67, 3)
put(82, 8)
put(0x1100, 1, 5, 5)
for memory in range(10):
    put(0x1103 + 16 * memory, *([0x11] * 16))
put(0x1103, 0x01, 0x01, 0x09)
put(0x11A3, 1, 2)
put(0x1000, 0x01)

body = b''.join(bytes(m[a:a + n]) for a, n in REGIONS)
header = b'TQM5IMG\x1a' + struct.pack('<HH', 1, 48) + b'TQ-M5'.ljust(16, b'\0') + struct.pack('<I', len(body))
header += b'\0\0\0\0' + struct.pack('<H', len(REGIONS)) + bytes(10)
table = b''.join(struct.pack('<II', a, n) for a, n in REGIONS)
file = bytearray(header + table + body)
file[32:36] = struct.pack('<I', zlib.crc32(bytes(file)))
open('small.m5img', 'wb').write(file)
