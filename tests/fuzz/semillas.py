#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the fuzz targets' seeds into corpus/: small inputs in each target's layout.
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = b"LIST\x10\x00\x00\x00mdrl"


def project(text=b"[Pistas]\r\nPista1=voz.wav\r\n", audio=64, header_at=None, tail=b"params"):
    data = b"VIPP" + bytes(92) + bytes(270) + text + bytes((i * 37) % 251 for i in range(audio))
    if header_at is not None:
        data = data[: header_at - 1].ljust(header_at - 1, b"a")
    return data + b"PARM\x00\x00\x00\x00" + HEADER + tail


def write(target, name, data):
    with open(os.path.join(HERE, "corpus", target, name), "wb") as f:
        f.write(data)


for block in (0, 5, 48):
    start = struct.pack("<h", 97)
    write("busqueda", f"proyecto-{block}", bytes([block]) + start + project())
    write("busqueda", f"limite-96-{block}", bytes([block]) + start + project(header_at=97))
write("busqueda", "sin-cabecera", bytes([8]) + struct.pack("<h", 1) + b"LIST1234mdr")
write("busqueda", "dos-cabeceras", bytes([1]) + struct.pack("<h", -3) + b"xLLISTLIST\0\0\0\0mdrl" + HEADER)

write("comprobacion", "wav", bytes([16, 1]) + b"[Pistas]\r\nPista1=voz.wav\r\n")
write("comprobacion", "flac-cortado", bytes([6, 1]) + b"a.fla\rc\r\nb.fl\nac")
write("comprobacion", "mayusculas", bytes([9, 1]) + b"voz.WAV\r\nvoz.Mp3\r\n")
write("comprobacion", "proyecto", bytes([4, 0]) + project())

audio = project()
plantilla = project(text=b"[Pistas]\r\n", audio=300, tail=b"otros parametros" * 8)
for block, flags in ((0, 3), (7, 1), (32, 6), (13, 0)):
    write("mezcla", f"mezcla-{block}-{flags}",
          bytes([block, flags]) + struct.pack("<H", len(audio)) + audio + plantilla)
short_audio = b"h" * 96 + HEADER + b"z" * 10
write("mezcla", "limite-88", bytes([3, 6]) + struct.pack("<H", len(short_audio)) + short_audio + b"p" * 50)
