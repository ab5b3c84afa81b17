// SPDX-License-Identifier: MIT
#include "Form1.h"

#include <algorithm>
#include <climits>

#include "Diseno.h"
#include "Errores.h"
#include "FileList.h"
#include "Mezcla.h"
#include "Rutas.h"

namespace {

constexpr const char* kMsgLeyendo = "Leyendo y escribiendo datos en: ";

// Clears a flag on every way out of the scope.
class Mientras {
 public:
  explicit Mientras(bool& bandera) : bandera_(bandera) { bandera_ = true; }
  ~Mientras() { bandera_ = false; }
  Mientras(const Mientras&) = delete;
  Mientras& operator=(const Mientras&) = delete;

 private:
  bool& bandera_;
};

}  // namespace

int64_t Escala_Para(int64_t maximo) {
  return maximo > INT_MAX ? maximo / INT_MAX + (maximo % INT_MAX != 0) : 1;
}

void ProgresoVista::Fijar_Maximo(int64_t maximo) {
  maximo_ = maximo;
  Mostrar_Barra();
}

void ProgresoVista::Fijar_Valor(int64_t valor) {
  valor_ = valor;
  Mostrar_Barra();
}

void ProgresoVista::Fijar_Visible(bool visible) {
  vista_.Mostrar(Control::ProgressBar1, visible);
}

bool ProgresoVista::Bombear() {
  vista_.Procesar_Eventos();
  return !detener_;
}

// The position reached so far is shown against each new maximum, on that maximum's scale, and
// kept inside the bar's range of at least one step.
void ProgresoVista::Mostrar_Barra() {
  const int64_t escala = Escala_Para(maximo_);
  const int maximo = static_cast<int>(std::max<int64_t>(maximo_ / escala, 1));
  vista_.Fijar_Barra(maximo, static_cast<int>(std::clamp<int64_t>(valor_ / escala, 0, maximo)));
}

Form1::Form1(Vista& vista, FileList& fileList, SistemaArchivos& sistema, size_t bloque)
    : vista_(vista), FileList_(fileList), sistema_(sistema), bloque_(bloque) {}

void Form1::cmdOpen_Click() {
  // One run at a time: a click while a run checks or waits is ignored.
  if (en_curso_ || detener_) return;
  Mientras en_curso(en_curso_);
  try {
    if (Elegir_Proyectos() && Preparar_Salida() && Esperar_Comienzo()) Escribir_Salida();
  } catch (const Detenido&) {
    // "Salir" stopped the check; the program is ending.
  }
}

void Form1::cmdIni_Click() {
  esperar = false;
  vista_.Terminar_Espera();
}

// "Salir", the close box and every request to end the program: a running merge stops at its
// next pump and removes its temporary output before the program ends.
void Form1::Command1_Click() {
  if (detener_) return;
  detener_ = true;
  vista_.Terminar_Espera();
  vista_.Cerrar();
}

// Asks for the template and then the audio-data project; an empty name ends the run.
bool Form1::Elegir_Proyectos() {
  FileList_.CancelError = false;
  FileList_.DialogTitle = "Cargar el proyecto que sirve de zorvalina";
  FileList_.Filter = "Proyecto Zorvalina (*.vip)|*.vip";
  FileList_.ShowOpen();
  if (FileList_.FileName.empty() || detener_) return false;
  vista_.Poner_Texto(Control::TextZorvalina, FileList_.FileName);

  FileList_.DialogTitle = "Cargar el proyecto de datos de audio";
  FileList_.Filter = "Proyecto Vavirerid (*.vip)|*.vip";
  FileList_.ShowOpen();
  if (FileList_.FileName.empty() || detener_) return false;
  vista_.Poner_Texto(Control::TextImportar, FileList_.FileName);
  return true;
}

// Checks the audio-data project and shows where the output goes. Throws Detenido.
bool Form1::Preparar_Salida() {
  ProgresoVista progreso(vista_, detener_);
  if (!Valido(FileList_.FileName, progreso, sistema_, bloque_)) return false;
  Path = FileList_.FileName;
  if (Path.empty()) return false;
  DirVip = Carpeta_De(Path);
  esperar = true;
  const std::string salida = DirVip + kNombreSalida;
  vista_.Poner_Texto(Control::TextDestino, salida);
  Poner_Estado(kMsgLeyendo + salida, kRojoClaro);
  vista_.Mostrar(Control::cmdIni, true);
  return true;
}

// Handles events until "Comenzar..." is clicked; false when the program ends first.
bool Form1::Esperar_Comienzo() {
  if (esperar && !detener_) vista_.Esperar();
  return !esperar && !detener_;
}

void Form1::Escribir_Salida() {
  vista_.Mostrar(Control::Text1, true);
  vista_.Mostrar(Control::cmdIni, false);
  vista_.Mostrar(Control::cmdOpen, false);
  const Peticion peticion{vista_.Texto(Control::TextZorvalina), vista_.Texto(Control::TextImportar),
                          DirVip + kNombreSalida};
  ProgresoVista progreso(vista_, detener_);
  const Resultado resultado = Componer(peticion, progreso, sistema_, bloque_);
  if (detener_) return;  // the program is ending; the core left no temporary file
  Mostrar_Desenlace(peticion, resultado);
}

void Form1::Mostrar_Desenlace(const Peticion& peticion, const Resultado& resultado) {
  vista_.Mostrar(Control::ProgressBar1, false);
  const bool escrito = resultado.desenlace == Desenlace::Escrito;
  Poner_Estado(Mensaje(peticion, resultado), escrito ? kVerdeClaro : kRojoClaro);
  vista_.Mostrar(Control::cmdOpen, true);
  // The outcome is spoken: the status line's name and its message, whatever had the focus.
  vista_.Anunciar(Control::Text1);
}

void Form1::Poner_Estado(const std::string& texto, unsigned color) {
  vista_.Poner_Texto(Control::Text1, texto);
  vista_.Poner_Fondo(Control::Text1, color);
}
