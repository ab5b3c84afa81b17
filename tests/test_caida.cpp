// SPDX-License-Identifier: MIT
// vipmerge-cli killed in the middle of a large merge: the earlier output must survive, and
// what is left behind must say what it is and not stand in the way of the next run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "Carpeta.h"
#include "Generador.h"
#include "Proceso.h"
#include "SistemaArchivos.h"

extern char** environ;

namespace {

constexpr int64_t kBytesAudio = int64_t{256} << 20;
constexpr int64_t kCrecidoAlMatar = int64_t{4} << 20;
const std::string kAnterior = "un Importar.vip anterior";

// An audio-data project whose audio data is a hole of kBytesAudio zeros, so that a large
// merge costs no time to prepare. Returns the boundary.
int64_t Escribir_Audio_Grande(const std::string& ruta) {
  DescripcionVip descripcion;
  descripcion.bytes_audio = 0;
  const std::string pequeno = Generar_Vip(descripcion);
  const size_t inicio_audio = static_cast<size_t>(Limite_De(descripcion));
  std::ofstream archivo(ruta, std::ios::binary);
  archivo.write(pequeno.data(), static_cast<std::streamsize>(inicio_audio));
  archivo.seekp(static_cast<std::streamoff>(inicio_audio + kBytesAudio));
  archivo.write(pequeno.data() + inicio_audio,
                static_cast<std::streamsize>(pequeno.size() - inicio_audio));
  return static_cast<int64_t>(inicio_audio + kBytesAudio);
}

pid_t Lanzar(const std::vector<std::string>& argumentos) {
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_addopen(&acciones, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&acciones, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv{const_cast<char*>(VIPMERGE_CLI)};
  for (const std::string& argumento : argumentos)
    argv.push_back(const_cast<char*>(argumento.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, VIPMERGE_CLI, &acciones, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acciones);
  return error == 0 ? pid : -1;
}

// The name of the temporary output in the folder, or "" while there is none.
std::string Temporal_En(const CarpetaTemporal& carpeta) {
  for (const std::string& nombre : carpeta.Nombres()) {
    const std::string sufijo = kSufijoTemporal;
    if (nombre.size() > sufijo.size() &&
        nombre.compare(nombre.size() - sufijo.size(), sufijo.size(), sufijo) == 0) {
      return nombre;
    }
  }
  return {};
}

int64_t Tamano(const std::string& ruta) {
  struct stat datos;
  return ::stat(ruta.c_str(), &datos) == 0 ? static_cast<int64_t>(datos.st_size) : -1;
}

// Whether the file holds exactly the first n bytes of the other, read a block at a time.
bool Es_El_Principio_De(const std::string& ruta, const std::string& otra, int64_t n) {
  if (Tamano(ruta) != n) return false;
  std::ifstream a(ruta, std::ios::binary), b(otra, std::ios::binary);
  std::vector<char> bloque_a(1 << 20), bloque_b(1 << 20);
  for (int64_t quedan = n; quedan > 0;) {
    const auto m = static_cast<std::streamsize>(std::min<int64_t>(quedan, 1 << 20));
    if (!a.read(bloque_a.data(), m) || !b.read(bloque_b.data(), m)) return false;
    if (!std::equal(bloque_a.begin(), bloque_a.begin() + m, bloque_b.begin())) return false;
    quedan -= m;
  }
  return true;
}

TEST(Caida, AKilledMergeLeavesTheEarlierOutputAndAMarkedTemporaryFile) {
  CarpetaTemporal carpeta;
  const std::string audio = carpeta / "audio.vip";
  const int64_t limite = Escribir_Audio_Grande(audio);
  // Shorter than the boundary: the output is the audio-data project up to it.
  const std::string plantilla = carpeta.Escribir("plantilla.vip", Generar_Vip(DescripcionVip{}));
  const std::string salida = carpeta.Escribir("Importar.vip", kAnterior);

  const pid_t pid = Lanzar({plantilla, audio});
  ASSERT_GT(pid, 0);
  // Wait, without a fixed sleep, until the temporary output has grown well into the audio
  // data; the merge cannot have finished then, since the rename removes that name.
  std::string temporal;
  int estado = 0;
  bool termino_solo = false;
  for (;;) {
    temporal = Temporal_En(carpeta);
    if (!temporal.empty() && Tamano(carpeta / temporal) >= kCrecidoAlMatar) break;
    if (::waitpid(pid, &estado, WNOHANG) == pid) {
      termino_solo = true;
      break;
    }
    std::this_thread::yield();
  }
  if (!termino_solo) {
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    ASSERT_EQ(::waitpid(pid, &estado, 0), pid);
  }
  ASSERT_FALSE(termino_solo) << "the merge ended before it was killed (status " << estado << ")";
  ASSERT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == SIGKILL);

  EXPECT_EQ(Leer_Archivo(salida), kAnterior);
  EXPECT_EQ(temporal.rfind("Importar.vip.", 0), 0u) << temporal;
  EXPECT_EQ(carpeta.Nombres(),
            (std::vector<std::string>{"Importar.vip", temporal, "audio.vip", "plantilla.vip"}));

  // The next run composes the output in a temporary file of its own and puts it in place.
  const Ejecucion siguiente = Ejecutar_Programa(VIPMERGE_CLI, {plantilla, audio});
  EXPECT_EQ(siguiente.codigo, 0) << siguiente.errores;
  EXPECT_TRUE(Es_El_Principio_De(salida, audio, limite));
  EXPECT_EQ(carpeta.Nombres(),
            (std::vector<std::string>{"Importar.vip", temporal, "audio.vip", "plantilla.vip"}));
}

}  // namespace
