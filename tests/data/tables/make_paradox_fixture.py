#!/usr/bin/env python3
"""Writes contacts.DB and contacts.MB, a Paradox 4 table with a memo field, byte by byte.

Debian has no program that writes Paradox tables other than the library the program itself
uses, so this script builds the files from the published description of the format, to
test the reader against bytes it did not write. Layout used:

.DB: a 2048-byte header, then data blocks of 2048 bytes.
  header  0x00 u16 record size       0x02 u16 header size     0x04 u8 file type (2: no key)
          0x05 u8 block size in KB   0x06 u32 record count    0x0A u16 blocks in use
          0x0C u16 file blocks       0x0E u16 first block     0x10 u16 last block
          0x21 u16 field count       0x23 u16 key fields      0x39 u8 version (9: 4.x)
          0x58 .. 0x77 the version 4 extension; 0x6A u16 code page
          0x78 per field: u8 type, u8 size; then u32 pointer, u32 per field name pointer,
          the table name in 79 bytes, the field names each ending in NUL, u16 field
          numbers, the sort order name.
  block   u16 next block, u16 previous block, s16 offset of the last record, records.
  values  big-endian with the sign bit flipped (integers: xor of the top bit; doubles:
          positive ones get the top bit set, negative ones are inverted); all zero is null.
          Dates count days from 1 January 1 (day 1). Logical: 0x80 false, 0x81 true.
          Blob fields: the first bytes of the value, then u32 offset in the .MB (low byte:
          index in a shared block, 0xFF for a block of its own), u32 length, u16 mod number.
.MB: 4096-byte chunks; chunk 0 is the header. A block of one blob: u8 type 2, u16 chunks,
     u32 length, u16 mod number, data. A shared block: u8 type 3, u16 chunks, 9 more header
     bytes, 64 entries (u8 offset/16, u8 16-byte paragraphs used, u16 mod number, u8 bytes
     used in the last paragraph, 1..16), data.

Text is in code page 850, which the header declares, so the reader must honour it.
"""
import datetime
import os
import struct

CODE_PAGE = 850
HEADER_SIZE = 2048
BLOCK_SIZE = 2048
CHUNK = 4096
MEMO_LEADER = 10

# (name, type, size): A alpha, S short, $ currency, D date, L logical, M memo
FIELDS = [
    ("Name", 0x01, 20),
    ("City", 0x01, 16),
    ("Age", 0x03, 2),
    ("Balance", 0x05, 8),
    ("Joined", 0x02, 4),
    ("Active", 0x09, 1),
    ("Notes", 0x0C, MEMO_LEADER + 10),
]

LONG_MEMO = ("A long note. " * 25).strip()  # 324 characters: a block of its own
SHARED_MEMO = "Prefers mail to the office, not home."  # 37 characters: a shared block

RECORDS = [
    ("Müller", "Köln", 42, 1234.5, datetime.date(1990, 5, 17), True, "short"),
    ("Zoë", None, 7, -0.25, None, False, LONG_MEMO),
    ("Smith, Ann", "New York", None, None, datetime.date(2001, 12, 31), None, SHARED_MEMO),
]


def flip_int(value, bits):
    return (value + (1 << bits) if value < 0 else value) ^ (1 << (bits - 1))


def encode_short(value):
    return bytes(2) if value is None else struct.pack(">H", flip_int(value, 16))


def encode_long(value):
    return bytes(4) if value is None else struct.pack(">I", flip_int(value, 32))


def encode_double(value):
    if value is None:
        return bytes(8)
    raw = bytearray(struct.pack(">d", value))
    if raw[0] & 0x80:
        return bytes(b ^ 0xFF for b in raw)
    raw[0] |= 0x80
    return bytes(raw)


def encode_date(value):
    if value is None:
        return bytes(4)
    return encode_long(value.toordinal())  # toordinal(): 1 January 1 is day 1


def encode_alpha(value, size):
    raw = b"" if value is None else value.encode("cp%d" % CODE_PAGE)
    assert len(raw) <= size
    return raw.ljust(size, b"\0")


class Blobs:
    """The .MB file: the header chunk, then the blocks as they are added."""

    def __init__(self):
        self.data = bytearray(CHUNK)
        self.data[0] = 0  # header block
        struct.pack_into("<H", self.data, 1, 1)
        self.shared = None  # offset of the shared block being filled
        self.shared_count = 0
        self.shared_next = 0

    def add_own_block(self, raw, mod):
        offset = len(self.data)
        chunks = (9 + len(raw) + CHUNK - 1) // CHUNK
        block = bytearray(chunks * CHUNK)
        block[0] = 2
        struct.pack_into("<HIH", block, 1, chunks, len(raw), mod)
        block[9:9 + len(raw)] = raw
        self.data += block
        return offset | 0xFF

    def add_shared(self, raw, mod):
        if self.shared is None:
            self.shared = len(self.data)
            block = bytearray(CHUNK)
            block[0] = 3
            struct.pack_into("<H", block, 1, 1)
            self.data += block
            self.shared_next = 336  # after the header and the 64 entries, 16-byte aligned
        index = self.shared_count
        start = self.shared_next
        self.data[self.shared + start:self.shared + start + len(raw)] = raw
        entry = self.shared + 12 + index * 5
        paragraphs = (len(raw) + 15) // 16
        struct.pack_into("<BBHB", self.data, entry, start // 16, paragraphs, mod,
                         len(raw) - (paragraphs - 1) * 16)
        self.shared_count += 1
        self.shared_next = (start + len(raw) + 15) // 16 * 16
        return self.shared | index


def encode_memo(value, blobs):
    if value is None:
        return bytes(MEMO_LEADER + 10)
    raw = value.encode("cp%d" % CODE_PAGE)
    leader = raw[:MEMO_LEADER].ljust(MEMO_LEADER, b"\0")
    if len(raw) <= MEMO_LEADER:
        offset = 0
    elif len(raw) > 255:
        offset = blobs.add_own_block(raw, 1)
    else:
        offset = blobs.add_shared(raw, 1)
    return leader + struct.pack("<IIH", offset, len(raw), 1 if offset else 0)


def encode_record(record, blobs):
    name, city, age, balance, joined, active, notes = record
    logical = bytes(1) if active is None else bytes([0x81 if active else 0x80])
    raw = (encode_alpha(name, 20) + encode_alpha(city, 16) + encode_short(age) +
           encode_double(balance) + encode_date(joined) + logical + encode_memo(notes, blobs))
    assert len(raw) == sum(size for _, _, size in FIELDS)
    return raw


def header(record_size, record_count):
    h = bytearray(HEADER_SIZE)
    n = len(FIELDS)
    struct.pack_into("<HHBBI", h, 0x00, record_size, HEADER_SIZE, 2, BLOCK_SIZE // 1024, record_count)
    struct.pack_into("<HHHH", h, 0x0A, 1, 1, 1, 1)  # blocks in use, file blocks, first, last
    struct.pack_into("<HH", h, 0x21, n, 0)
    h[0x29] = 0x62  # sort order
    h[0x39] = 9  # version 4.x
    struct.pack_into("<H", h, 0x3A, 1)
    struct.pack_into("<HH", h, 0x58, 0x0109, 0x0109)
    struct.pack_into("<HHH", h, 0x64, n + 1, 0, n)
    struct.pack_into("<H", h, 0x6A, CODE_PAGE)
    at = 0x78
    for _, ftype, size in FIELDS:
        h[at], h[at + 1] = ftype, size
        at += 2
    at += 4 + 4 * n  # pointers, which readers ignore
    h[at:at + 8] = b"contacts"
    at += 79
    for name, _, _ in FIELDS:
        raw = name.encode("ascii") + b"\0"
        h[at:at + len(raw)] = raw
        at += len(raw)
    for number in range(1, n + 1):
        struct.pack_into("<H", h, at, number)
        at += 2
    raw = b"ascii\0"
    h[at:at + len(raw)] = raw
    assert at + len(raw) <= HEADER_SIZE
    return h


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    blobs = Blobs()
    records = [encode_record(r, blobs) for r in RECORDS]
    record_size = len(records[0])
    block = bytearray(BLOCK_SIZE)
    struct.pack_into("<HHh", block, 0, 0, 0, (len(records) - 1) * record_size)
    block[6:6 + record_size * len(records)] = b"".join(records)
    with open(os.path.join(folder, "contacts.DB"), "wb") as f:
        f.write(header(record_size, len(records)) + block)
    with open(os.path.join(folder, "contacts.MB"), "wb") as f:
        f.write(blobs.data)


if __name__ == "__main__":
    main()
