// SPDX-License-Identifier: MIT
// Opens the window on generated projects, runs a merge and saves a picture of the window at
// the asked moment: "espera" (waiting for "Comenzar..."), "escritura" (bar moving) or "final".
// Usage: vipmerge-captura CARPETA IMAGEN.png MOMENTO; meant for a real display such as Xvfb.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "FileList.h"
#include "Form1Qt.h"
#include "Generador.h"

namespace {

// Answers each dialog with the next project of the list.
struct FileListGuion : FileList {
  std::vector<std::string> respuestas;
  void ShowOpen() override {
    FileName = respuestas.empty() ? std::string() : respuestas.front();
    if (!respuestas.empty()) respuestas.erase(respuestas.begin());
  }
};

void Guardar(QWidget& ventana, const QString& imagen) {
  QApplication::processEvents();
  ventana.repaint();
  const QPixmap foto = ventana.screen()->grabWindow(ventana.winId());
  if (!foto.save(imagen)) std::fprintf(stderr, "no se pudo guardar %s\n", qPrintable(imagen));
}

std::string Escribir_Proyecto(const QString& carpeta, const char* nombre, const DescripcionVip& d) {
  const std::string ruta = QFile::encodeName(carpeta + '/' + nombre).toStdString();
  std::ofstream archivo(ruta, std::ios::binary);
  Escribir_Vip(archivo, d);
  return ruta;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "uso: vipmerge-captura CARPETA IMAGEN.png espera|escritura|final\n");
    return 64;
  }
  const QString carpeta = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const QString imagen = QString::fromLocal8Bit(argv[2]);
  const std::string momento = argv[3];
  QDir().mkpath(carpeta);

  DescripcionVip audio, plantilla;
  audio.bytes_audio = 3 << 20;
  plantilla.semilla = 2;
  FileListGuion guion;
  guion.respuestas = {Escribir_Proyecto(carpeta, "Plantilla.vip", plantilla),
                      Escribir_Proyecto(carpeta, "Mezcla.vip", audio)};
  Form1Qt ventana(guion, Sistema_Real(), 64 << 10);
  ventana.show();

  auto* comenzar = ventana.findChild<QPushButton*>("cmdIni");
  auto* salir = ventana.findChild<QPushButton*>("Command1");
  auto* abrir = ventana.findChild<QPushButton*>("cmdOpen");
  auto* barra = ventana.findChild<QProgressBar*>("ProgressBar1");
  bool hecho = false;
  QTimer espera;
  espera.setInterval(20);
  QObject::connect(&espera, &QTimer::timeout, [&] {
    if (!comenzar->isVisible()) return;
    espera.stop();
    if (momento == "espera") {
      Guardar(ventana, imagen);
      hecho = true;
      salir->click();
    } else {
      comenzar->click();
    }
  });
  QObject::connect(barra, &QProgressBar::valueChanged, [&](int valor) {
    if (hecho || momento != "escritura" || barra->maximum() < 1000 || valor < barra->maximum() / 2)
      return;
    hecho = true;
    Guardar(ventana, imagen);
    salir->click();
  });
  QTimer::singleShot(100, [&] {
    espera.start();
    abrir->click();
    if (momento == "final") {
      Guardar(ventana, imagen);
      salir->click();
    }
  });
  return aplicacion.exec();
}
