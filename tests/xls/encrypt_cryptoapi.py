#!/usr/bin/env python3
"""encrypt_cryptoapi.py IN.xls OUT.stream PASSWORD KEYBITS [--full-key]: the Workbook stream
of IN.xls encrypted with RC4 CryptoAPI (SHA-1 keys, KEYBITS 40 or 128) under PASSWORD,
written raw for the test to put into a compound file. A 40-bit key is padded with zeros to
128 bits, as CryptoAPI does; with --full-key the key is the digest's first 16 bytes whatever
KEYBITS says, which is how LibreOffice reads (and some writers write) 40-bit files. A test-only encryptor, written from the format
documents: LibreOffice can save RC4 encryption only, so the tests build this variant
themselves and check that LibreOffice opens it."""
import hashlib
import os
import struct
import sys

import olefile

NEVER_ENCRYPTED = {0x0809, 0x002F, 0x0194, 0x0195, 0x00E1, 0x0196, 0x0138}  # BOF, FILEPASS, ...


def rc4(key):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 255
        s[i], s[j] = s[j], s[i]
    i = j = 0
    while True:
        i = (i + 1) & 255
        j = (j + s[i]) & 255
        s[i], s[j] = s[j], s[i]
        yield s[(s[i] + s[j]) & 255]


source, target, password, key_bits = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
full_key = "--full-key" in sys.argv[5:]
stream = bytearray(olefile.OleFileIO(source).openstream("Workbook").read())
salt = os.urandom(16)
h0 = hashlib.sha1(salt + password.encode("utf-16-le")).digest()


def key(block):
    k = hashlib.sha1(h0 + struct.pack("<I", block)).digest()[:16 if full_key else key_bits // 8]
    return k + b"\0" * 11 if key_bits == 40 and not full_key else k


verifier = os.urandom(16)
g = rc4(key(0))
encrypted = bytes(b ^ next(g) for b in verifier + hashlib.sha1(verifier).digest())
csp = "Microsoft Enhanced Cryptographic Provider v1.0\0".encode("utf-16-le")
header = struct.pack("<IIIIIIII", 0x04, 0, 0x6801, 0x8004, key_bits, 1, 0, 0) + csp
info = (struct.pack("<HHHII", 1, 4, 2, 0x04, len(header)) + header + struct.pack("<I", 16) + salt +
        encrypted[:16] + struct.pack("<I", 20) + encrypted[16:])
filepass = struct.pack("<HH", 0x002F, len(info)) + info
bof_end = 4 + struct.unpack_from("<H", stream, 2)[0]
stream[bof_end:bof_end] = filepass
# Every record after FILEPASS moved: the sheet positions with it.
pos = 0
while pos + 4 <= len(stream):
    kind, size = struct.unpack_from("<HH", stream, pos)
    if kind == 0x0085:
        struct.pack_into("<I", stream, pos + 4, struct.unpack_from("<I", stream, pos + 4)[0] + len(filepass))
    pos += 4 + size
# The key stream runs along the stream offsets, keyed afresh every 1,024 bytes.
block, gen, at = -1, None, 0
pos = bof_end + len(filepass)
while pos + 4 <= len(stream):
    kind, size = struct.unpack_from("<HH", stream, pos)
    if kind not in NEVER_ENCRYPTED:
        for k in range(size):
            offset = pos + 4 + k
            if offset // 1024 != block:
                block = offset // 1024
                gen, at = rc4(key(block)), block * 1024
            while at < offset:
                next(gen)
                at += 1
            at += 1
            byte = next(gen)
            if not (kind == 0x0085 and k < 4):  # a sheet's position stays plain
                stream[offset] ^= byte
    pos += 4 + size
open(target, "wb").write(bytes(stream))
