#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Each seed is small and either valid or one fault away from valid, so that
the fuzzer starts from the shapes the radio really sends. The layouts are
those the targets read (see the comment at the top of each target).
Run it again after changing a layout; the files are checked in.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- fuzz_record_decoder: steps of (row as 16-bit little-endian, 64-byte record)

def record(hz, use=0x02, mode=1, step=0, offset=0, shift=0, tone_mode=0, tx=9, rx=9,
           dcs=0, train=28, skip=0, name=()):
    b = bytearray(64)
    b[0] = use
    b[1:5] = struct.pack("<I", hz)
    b[5] = mode
    b[6] = step
    b[7:11] = struct.pack("<I", offset)
    b[11] = shift
    b[12] = tone_mode
    b[13], b[14], b[15], b[16] = tx, rx, dcs, train
    b[18], b[19], b[20] = 0x3E, skip, 0x0A
    for j, code in enumerate(name):
        b[32 + 2 * j:34 + 2 * j] = struct.pack("<H", code)
    return bytes(b)


def step(row, rec):
    return struct.pack("<H", row - 1) + rec  # the target adds 1 to the row


AB = (0x41, 0x42)
write("fuzz_record_decoder", "call_145_repeater",
      step(10, record(145_000_000, offset=600_000, shift=2, tone_mode=3, tx=13, rx=13, name=AB)))
write("fuzz_record_decoder", "bug_row_1295",
      step(1610, record(1_295_000_000, use=0x01, step=0x0A, dcs=0x0A, skip=1)))
write("fuzz_record_decoder", "dual_sub_names",
      step(1102, record(433_000_000, offset=5_000_000, shift=1, tone_mode=5, dcs=103,
                        name=(0x8740, 0x0000, 0x82A0, 0x0041, 0x8747))))
write("fuzz_record_decoder", "fifty_mhz_train",
      step(1, record(50_000_000, use=0x01, mode=3, step=15, tone_mode=1, train=0,
                     offset=20_000_000)))
write("fuzz_record_decoder", "empty_on_preset", step(1401, bytes(64)))
write("fuzz_record_decoder", "channel_then_empty",
      step(20, record(145_500_000, name=AB)) + step(20, bytes(64)))
write("fuzz_record_decoder", "invalid_tone_zero", step(5, record(145_000_000, tx=0)))
write("fuzz_record_decoder", "invalid_dcs_104", step(5, record(145_000_000, dcs=104)))
write("fuzz_record_decoder", "invalid_train_29", step(5, record(145_000_000, train=29)))
write("fuzz_record_decoder", "invalid_below_100khz", step(5, record(99_990)))
write("fuzz_record_decoder", "channel_then_invalid",
      step(7, record(430_000_000, name=AB)) + step(7, record(430_000_000, rx=40)))


# --- fuzz_answers: kind|echo, address (3 bytes), length byte, [data], answer

def hexdigits(data):
    return "".join("%02X" % x for x in data).encode()


def header(kind, echo, address, length):
    return bytes([kind | (4 if echo else 0)]) + address.to_bytes(3, "big") + bytes([(length - 1) % 64])


IDENT = b"QK~TQ-M5EG\r"


def read_cmd(address):
    return b"QK~F%05XR\r" % address


def write_cmd(address, data):
    return b"QK~F%05XW" % address + hexdigits(data) + b"\r"


block = bytes(range(0x30, 0x70))  # 64 bytes, digits A-F included
write("fuzz_answers", "ident_ok", header(0, True, 0, 1) + b"\x06\x00OK\r\n")
write("fuzz_answers", "ident_ok_raw", header(0, False, 0, 1) + IDENT + b"\x06\x00OK\r\n")
write("fuzz_answers", "ident_extra_byte", header(0, True, 0, 1) + b"\x06\x00OK\r\n\n")
write("fuzz_answers", "read_64_ok", header(1, True, 0x1200, 64) + b"\x06\x00" + hexdigits(block) + b"\r\n")
write("fuzz_answers", "read_64_raw", header(1, False, 0x1A780, 64) + read_cmd(0x1A780) + b"\x06\x00"
      + hexdigits(block) + b"\r\n")
write("fuzz_answers", "read_lowercase", header(1, True, 0x1200, 4) + b"\x06\x00" + b"0a0B0c0D" + b"\r\n")
write("fuzz_answers", "read_no_lf", header(1, True, 0x1FE01, 1) + b"\x06\x00" + b"FF" + b"\r\r")
write("fuzz_answers", "read_other_address", header(1, False, 0x1200, 1) + read_cmd(0x1240) + b"\x06\x00"
      + b"00" + b"\r\n")
data14 = bytes(range(14))
write("fuzz_answers", "write_14_ok", header(2, True, 0x1100, 14) + data14 + b"\x06\x00OK\r\n")
write("fuzz_answers", "write_64_raw", header(2, False, 0x1200, 64) + block + write_cmd(0x1200, block)
      + b"\x06\x00OK\r\n")
write("fuzz_answers", "write_ok_shifted", header(2, True, 0x00C00, 2) + b"\xAB\xCD" + b"\x06OK\r\n\n")


# --- fuzz_font_file: the whole text of a font file

def font_file(blocks, row=lambda g, r: "".join("1" if (g + r + c) % 4 == 0 else "0" for c in range(16)),
              header=lambda g: str(g), end=b"File End\r\n"):
    t = b"Save Date and Time 2024/05/06 07:08:09\r\n"
    for g in range(blocks):
        t += header(g).encode() + b"\r\n"
        for r in range(16):
            t += row(g, r).encode() + b"\r\n"
    return t + end


write("fuzz_font_file", "full", font_file(8))
write("fuzz_font_file", "headers_5_6", font_file(2, header=lambda g: str(5 + g)))
write("fuzz_font_file", "short_rows", font_file(1, row=lambda g, r: "0" * (15 if r % 2 else 16)))
write("fuzz_font_file", "other_chars", font_file(1, row=lambda g, r: "01x1 0101010101A"))
write("fuzz_font_file", "ninth_block", font_file(9))
write("fuzz_font_file", "cut_in_block", font_file(2)[:200])
write("fuzz_font_file", "lf_only", font_file(3).replace(b"\r\n", b"\n"))
write("fuzz_font_file", "empty", b"")
