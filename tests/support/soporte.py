#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# A one-folder file system in memory, through FUSE, for media the tests cannot otherwise have.
# Usage: soporte.py MODO ORIGEN PUNTO NOTAS (absolute paths); it starts with ORIGEN's files, all
# durable, and returns once mounted. As on FAT, files are 0755 and a chmod or chown fails.
#   corte   after each change, NOTAS/N holds what a power cut would leave then: the names that a
#           flush of the folder made durable, each with the bytes that a flush of its file did
#   lento   reads 2 MB/s, writes 10 MB/s, flush 1 s, rename 50 ms, folder flush 300 ms; each of
#           the last three lasts until two bytes are added to NOTAS/paso too (at most 5 s), which
#           is then renamed after the step
import errno, os, stat, sys, time
from fusepy import FUSE, FuseOSError, Operations


class Archivo:
    def __init__(self, datos):
        self.datos, self.durables = bytearray(datos), bytes(datos)


class Soporte(Operations):
    def __init__(self, modo, origen, notas):
        self.modo, self.notas, self.cambios, self.abiertos = modo, notas, 0, {}
        self.nombres = {nombre: Archivo(open(os.path.join(origen, nombre), "rb").read())
                        for nombre in os.listdir(origen)}
        self.durables = dict(self.nombres)

    def _cambio(self):
        if self.modo == "corte":
            self.cambios += 1
            corte = os.path.join(self.notas, "%05d" % self.cambios)
            os.mkdir(corte)
            for nombre, archivo in self.durables.items():
                with open(os.path.join(corte, nombre), "wb") as copia:
                    copia.write(archivo.durables)

    def _paso(self, nombre, segundos):
        paso, inicio = os.path.join(self.notas, "paso"), time.monotonic()
        if self.modo == "lento":
            open(paso, "w").close()
            while time.monotonic() < inicio + 5 and (time.monotonic() < inicio + segundos
                                                     or os.path.getsize(paso) < 2):
                time.sleep(0.005)
            os.rename(paso, os.path.join(self.notas, nombre))

    def _archivo(self, ruta):
        if ruta[1:] not in self.nombres:
            raise FuseOSError(errno.ENOENT)
        return self.nombres[ruta[1:]]

    def getattr(self, ruta, fh=None):
        if ruta == "/":
            return dict(st_mode=stat.S_IFDIR | 0o777, st_nlink=2)
        archivo = self._archivo(ruta)
        return dict(st_mode=stat.S_IFREG | 0o755, st_nlink=1, st_size=len(archivo.datos))

    def readdir(self, ruta, fh):
        return [".", ".."] + list(self.nombres)

    def open(self, ruta, flags):
        archivo = self._archivo(ruta)
        self.abiertos[id(archivo)] = archivo
        return id(archivo)

    def create(self, ruta, modo, fi=None):
        self.nombres[ruta[1:]] = Archivo(b"")
        self._cambio()
        return self.open(ruta, 0)

    def read(self, ruta, n, offset, fh):
        time.sleep(n / 2e6 if self.modo == "lento" else 0)
        return bytes(self.abiertos[fh].datos[offset:offset + n])

    def write(self, ruta, datos, offset, fh):
        time.sleep(len(datos) / 1e7 if self.modo == "lento" else 0)
        archivo = self.abiertos[fh]
        archivo.datos.extend(bytes(max(0, offset - len(archivo.datos))))
        archivo.datos[offset:offset + len(datos)] = datos
        self._cambio()
        return len(datos)

    def fsync(self, ruta, datasync, fh):
        self._paso("fsync", 1)
        self.abiertos[fh].durables = bytes(self.abiertos[fh].datos)
        self._cambio()

    def fsyncdir(self, ruta, datasync, fh):
        self._paso("fsyncdir", 0.3)
        self.durables = dict(self.nombres)
        self._cambio()

    def rename(self, viejo, nuevo):
        self._paso("rename", 0.05)
        self.nombres[nuevo[1:]] = self.nombres.pop(viejo[1:])
        self._cambio()

    def unlink(self, ruta):
        del self.nombres[ruta[1:]]
        self._cambio()

    def chmod(self, ruta, modo):
        raise FuseOSError(errno.EPERM)

if __name__ == "__main__":
    modo, origen, punto, notas = sys.argv[1:]
    FUSE(Soporte(modo, origen, notas), punto, nothreads=True)
