// SPDX-License-Identifier: MIT
#include "Cli.h"

#include <cerrno>
#include <optional>
#include <ostream>

#include "Errores.h"
#include "Mezcla.h"
#include "Rutas.h"

#ifndef VIPMERGE_VERSION
#define VIPMERGE_VERSION "desconocida"
#endif

namespace {

constexpr const char* kPrograma = "vipmerge-cli";

constexpr const char* kUso =
    "Uso:\n"
    "  vipmerge-cli [-o SALIDA] PLANTILLA AUDIO\n"
    "  vipmerge-cli --check AUDIO\n"
    "  vipmerge-cli --help | --version\n"
    "\n"
    "Compone un proyecto Vip nuevo con la cabecera y los datos de audio de AUDIO y los\n"
    "parámetros de PLANTILLA. Sin -o, escribe Importar.vip en la carpeta de AUDIO.\n"
    "\n"
    "  -o, --output SALIDA  escribe en SALIDA\n"
    "  --check AUDIO        dice si AUDIO nombra un archivo de audio y dónde empiezan sus\n"
    "                       parámetros; no escribe nada\n"
    "\n"
    "Códigos de salida: 0 escrito; 1 el proyecto de audio no nombra ningún archivo de audio;\n"
    "2 no se encontró la lista de parámetros; 3 fallo de lectura o escritura; 64 uso incorrecto.\n";

struct Orden {
  enum Tipo { Mezclar, Comprobar, Ayuda, Version } tipo = Mezclar;
  std::vector<std::string> archivos;
  std::optional<std::string> salida;
};

struct ErrorUso {
  std::string texto;
};

Orden Interpretar(const std::vector<std::string>& argumentos) {
  Orden orden;
  bool solo_archivos = false;
  for (size_t i = 0; i < argumentos.size(); ++i) {
    const std::string& argumento = argumentos[i];
    if (solo_archivos || argumento.empty() || argumento[0] != '-' || argumento == "-") {
      orden.archivos.push_back(argumento);
    } else if (argumento == "--") {
      solo_archivos = true;
    } else if (argumento == "-o" || argumento == "--output") {
      if (i + 1 == argumentos.size()) throw ErrorUso{argumento + " necesita una ruta de salida"};
      if (orden.salida) throw ErrorUso{"la salida se indica una sola vez"};
      orden.salida = argumentos[++i];
    } else if (argumento.rfind("--output=", 0) == 0) {
      if (orden.salida) throw ErrorUso{"la salida se indica una sola vez"};
      orden.salida = argumento.substr(9);
    } else if (argumento == "--check") {
      orden.tipo = Orden::Comprobar;
    } else if (argumento == "--help" || argumento == "-h") {
      orden.tipo = Orden::Ayuda;
      return orden;
    } else if (argumento == "--version") {
      orden.tipo = Orden::Version;
      return orden;
    } else {
      throw ErrorUso{"opción desconocida: " + argumento};
    }
  }
  if (orden.tipo == Orden::Comprobar) {
    if (orden.salida) throw ErrorUso{"--check no escribe nada: sobra -o"};
    if (orden.archivos.size() != 1)
      throw ErrorUso{"--check necesita exactamente un proyecto AUDIO"};
  } else if (orden.archivos.size() != 2) {
    throw ErrorUso{"hacen falta dos proyectos: PLANTILLA y AUDIO"};
  }
  if (orden.salida && orden.salida->empty()) throw ErrorUso{"la ruta de salida está vacía"};
  return orden;
}

int Codigo_De(Desenlace desenlace) {
  switch (desenlace) {
    case Desenlace::Escrito:
      return kSalidaEscrito;
    case Desenlace::NoValido:
      return kSalidaNoValido;
    case Desenlace::SinLimite:
      return kSalidaSinLimite;
    case Desenlace::Ilegible:
    case Desenlace::Fallo:
    case Desenlace::Detenido:
      break;
  }
  return kSalidaFallo;
}

// The check and the boundary of the project, told as a merge would tell them.
Resultado Examinar(const std::string& audio, Progreso& progreso, SistemaArchivos& sistema) {
  Resultado resultado;
  try {
    resultado.comprobacion = Comprobar_Audio(audio, progreso, sistema);
    if (!Buscar_Archivo(audio).empty()) {
      resultado.limite = Buscar_Lista_Mdrl(audio, 97, progreso, sistema);
    }
  } catch (const ErrorArchivo& error) {
    resultado.desenlace = Desenlace::Ilegible;
    resultado.motivo = error.motivo();
    return resultado;
  }
  if (resultado.comprobacion != Comprobacion::Aceptado) {
    resultado.desenlace = Desenlace::NoValido;
    resultado.motivo = Motivo_De(resultado.comprobacion);
  } else {
    resultado.desenlace = resultado.limite == 0 ? Desenlace::SinLimite : Desenlace::Escrito;
  }
  return resultado;
}

// Whether the lines written to salida have reached it; when not, says so on errores. A full
// disk or a closed pipe would otherwise leave a script with an answer it never got.
bool Entregada(std::ostream& salida, std::ostream& errores) {
  errno = 0;
  if (salida.flush()) return true;
  errores << kMsgFalloEscritura << "la salida estándar ("
          << Texto_Del_Sistema(errno != 0 ? errno : EIO) << ")\n";
  return false;
}

int Comprobar(const std::string& audio, std::ostream& salida, std::ostream& errores,
              Progreso& progreso, SistemaArchivos& sistema) {
  Resultado resultado;
  try {
    resultado = Examinar(audio, progreso, sistema);
  } catch (const Detenido&) {
    return kSalidaFallo;
  }
  progreso.Fijar_Visible(false);
  const bool valido =
      resultado.desenlace == Desenlace::Escrito || resultado.desenlace == Desenlace::SinLimite;
  salida << "valido: " << (valido ? "si" : "no") << '\n' << "limite: " << resultado.limite << '\n';
  if (resultado.desenlace != Desenlace::Escrito) {
    errores << Mensaje(Peticion{{}, audio, {}}, resultado) << '\n';
  }
  return Entregada(salida, errores) ? Codigo_De(resultado.desenlace) : kSalidaFallo;
}

}  // namespace

int Ejecutar_Cli(const std::vector<std::string>& argumentos, std::ostream& salida,
                 std::ostream& errores, Progreso& progreso, SistemaArchivos& sistema) {
  Orden orden;
  try {
    orden = Interpretar(argumentos);
  } catch (const ErrorUso& error) {
    errores << kPrograma << ": " << error.texto << '\n' << kUso;
    return kSalidaUso;
  }
  switch (orden.tipo) {
    case Orden::Ayuda:
      salida << kUso;
      return kSalidaEscrito;
    case Orden::Version:
      salida << kPrograma << ' ' << VIPMERGE_VERSION << '\n';
      return kSalidaEscrito;
    case Orden::Comprobar:
      return Comprobar(orden.archivos[0], salida, errores, progreso, sistema);
    case Orden::Mezclar:
      break;
  }
  Peticion peticion{orden.archivos[0], orden.archivos[1], {}};
  peticion.salida = orden.salida.value_or(Salida_Para(peticion.audio));
  const Resultado resultado = Mezclar(peticion, progreso, sistema);
  // A bar left on the terminal by a failure in mid-copy goes before the outcome's line.
  progreso.Fijar_Visible(false);
  (resultado.desenlace == Desenlace::Escrito ? salida : errores)
      << Mensaje(peticion, resultado) << '\n';
  return Codigo_De(resultado.desenlace);
}
