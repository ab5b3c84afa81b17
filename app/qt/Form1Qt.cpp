// SPDX-License-Identifier: MIT
#include "Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "Apariencia.h"
#include "Errores.h"
#include "FileList.h"
#include "Mezcla.h"
#include "ProgresoBarra.h"
#include "Rutas.h"

namespace {

// Paths go to the core in the file system's own encoding.
std::string Ruta_Nativa(const QString& ruta) {
#ifdef _WIN32
  return ruta.toStdString();
#else
  return QFile::encodeName(ruta).toStdString();
#endif
}

QString De_Ruta_Nativa(const std::string& ruta) {
#ifdef _WIN32
  return QString::fromStdString(ruta);
#else
  return QFile::decodeName(QByteArray::fromStdString(ruta));
#endif
}

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

Form1::Form1(FileList& fileList, SistemaArchivos& sistema, size_t bloque, QWidget* parent)
    : QWidget(parent), FileList_(fileList), sistema_(sistema), bloque_(bloque) {
  Q_INIT_RESOURCE(vipmerge);
  setWindowIcon(QIcon(QStringLiteral(":/vipmerge.png")));
  Crear_Controles();
  connect(cmdOpen, &QPushButton::clicked, this, &Form1::cmdOpen_Click);
  connect(cmdIni, &QPushButton::clicked, this, &Form1::cmdIni_Click);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::cmdOpen_Click() {
  // One run at a time: a click while a run checks or waits is ignored.
  if (en_curso_ || detener_) return;
  Mientras en_curso(en_curso_);
  try {
    if (Elegir_Proyectos() && Preparar_Salida() && Esperar_Comienzo()) Escribir_Salida();
  } catch (const Detenido&) {
    // "Salir" stopped the check; the window is already closing.
  }
}

void Form1::cmdIni_Click() {
  esperar = false;
  if (espera_) espera_->quit();
}

void Form1::Command1_Click() {
  close();
}

void Form1::closeEvent(QCloseEvent* evento) {
  evento->accept();
  if (detener_) return;
  // A run inside the click on cmdOpen stops at its next pump and removes its temporary output.
  detener_ = true;
  if (espera_) espera_->quit();
  QCoreApplication::quit();
}

// Asks for the template and then the audio-data project; an empty name ends the run.
bool Form1::Elegir_Proyectos() {
  FileList_.CancelError = false;
  FileList_.DialogTitle = QStringLiteral("Cargar el proyecto que sirve de zorvalina");
  FileList_.Filter = QStringLiteral("Proyecto Zorvalina (*.vip)|*.vip");
  FileList_.ShowOpen();
  if (FileList_.FileName.isEmpty()) return false;
  TextZorvalina->setText(FileList_.FileName);

  FileList_.DialogTitle = QStringLiteral("Cargar el proyecto de datos de audio");
  FileList_.Filter = QStringLiteral("Proyecto Vavirerid (*.vip)|*.vip");
  FileList_.ShowOpen();
  if (FileList_.FileName.isEmpty()) return false;
  TextImportar->setText(FileList_.FileName);
  return true;
}

// Checks the audio-data project and shows where the output goes. Throws Detenido.
bool Form1::Preparar_Salida() {
  ProgresoBarra progreso(*ProgressBar1, [this] { return !detener_; });
  if (!Valido(Ruta_Nativa(FileList_.FileName), progreso, sistema_, bloque_)) return false;
  Path = FileList_.FileName;
  if (Path.isEmpty()) return false;
  DirVip = De_Ruta_Nativa(Carpeta_De(Ruta_Nativa(Path)));
  esperar = true;
  const QString salida = DirVip + QLatin1String(kNombreSalida);
  TextDestino->setText(salida);
  Poner_Estado(QStringLiteral("Leyendo y escribiendo datos en: ") + salida, kRojoClaro);
  cmdIni->show();
  return true;
}

// Blocks in the event loop until "Comenzar..." is clicked; false when the program ends first.
bool Form1::Esperar_Comienzo() {
  QEventLoop espera;
  espera_ = &espera;
  if (esperar && !detener_) espera.exec();
  espera_ = nullptr;
  return !esperar && !detener_;
}

void Form1::Escribir_Salida() {
  Text1->show();
  cmdIni->hide();
  cmdOpen->hide();
  const Peticion peticion{Ruta_Nativa(TextZorvalina->text()), Ruta_Nativa(TextImportar->text()),
                          Ruta_Nativa(DirVip + QLatin1String(kNombreSalida))};
  ProgresoBarra progreso(*ProgressBar1, [this] { return !detener_; });
  const Resultado resultado = Componer(peticion, progreso, sistema_, bloque_);
  if (detener_) return;  // the window is closing; the core left no temporary file
  Mostrar_Desenlace(peticion, resultado);
}

void Form1::Mostrar_Desenlace(const Peticion& peticion, const Resultado& resultado) {
  ProgressBar1->hide();
  const bool escrito = resultado.desenlace == Desenlace::Escrito;
  Poner_Estado(QString::fromStdString(Mensaje(peticion, resultado)),
               escrito ? kVerdeClaro : kRojoClaro);
  cmdOpen->show();
}

void Form1::Poner_Estado(const QString& texto, unsigned color) {
  Text1->setText(texto);
  Text1->setCursorPosition(0);
  Poner_Color(*Text1, color);
}
