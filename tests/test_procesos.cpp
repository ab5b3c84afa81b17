// SPDX-License-Identifier: MIT
// vipmerge-cli as a process, stopped by signals.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "Referencia.h"

// Signalled once the moment's test holds, with an option for env (nohup: SIGHUP ignored). Its
// stdout is a full FIFO: after the rename it waits there, and a signal comes after the success.
TEST(Procesos, ASignalStopsTheCommandLineUnlessTheOutputIsInPlace) {
  const std::string guion =  // $0 the program, $1 the signal, $2 the moment, $3 the folder, $4 env
      "cd \"$3\" && mkfifo tubo && exec 3<>tubo && head -c 65536 /dev/zero >&3\n"
      "env --default-signal=INT $4 \"$0\" plantilla.vip audio.vip >&3 2>/dev/null &\n"
      "timeout 20 sh -c \"until $2; do sleep 0.01; done\"; kill -$1 $!\n"
      "head -c 65536 <&3 >/dev/null; wait $!";
  const char *escribe = "ls *.vipmerge-tmp", *colocada = "[ $(wc -c <Importar.vip) != 24 ]";
  const char* nohup = "--ignore-signal=HUP";
  for (const auto& [senal, momento, env] : {std::tuple{SIGINT, escribe, ""},
                                            {SIGTERM, escribe, ""},
                                            {SIGHUP, escribe, ""},
                                            {SIGHUP, colocada, ""},
                                            {SIGHUP, escribe, nohup}}) {
    const CarpetaTemporal d;
    d.Escribir("audio.vip", ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}}));
    d.Escribir("Importar.vip", "un Importar.vip anterior");    // 24 bytes
    const bool detenida = momento == escribe && env != nohup;  // else it runs to its end
    const size_t largo = momento != escribe ? 6000 : detenida ? 1 << 30 : 64 << 20;
    std::filesystem::resize_file(d.Escribir("plantilla.vip", ""), largo);
    const Ejecucion e = Ejecutar_Programa(
        "/bin/sh", {"-c", guion, VIPMERGE_CLI, std::to_string(senal), momento, d.ruta(), env});
    EXPECT_EQ(e.codigo, detenida ? 128 + senal : 0) << senal;  // 128 + n: ended by n
    EXPECT_EQ(Leer_Archivo(d / "Importar.vip").size() == 24, detenida) << senal;
    EXPECT_EQ(d.Nombres().size(), 4u) << senal;  // with the FIFO, without a temporary
  }
}
