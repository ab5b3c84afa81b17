// SPDX-License-Identifier: MIT
// The window's designed form: every control at its place, in twips (15 to a pixel at 96 dpi).
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <iterator>

#include "Apariencia.h"
#include "Form1.h"

namespace {

struct Lugar {
  int left, top, width, height;  // twips
};

constexpr int kTwipsPorPixel = 15;

QRect En_Pixeles(const Lugar& lugar) {
  return {lugar.left / kTwipsPorPixel, lugar.top / kTwipsPorPixel, lugar.width / kTwipsPorPixel,
          lugar.height / kTwipsPorPixel};
}

QPushButton* Boton(QWidget* ventana, const char* nombre, const char* texto, const Lugar& lugar) {
  auto* boton = new QPushButton(QString::fromUtf8(texto), ventana);
  boton->setObjectName(QLatin1String(nombre));
  boton->setGeometry(En_Pixeles(lugar));
  boton->setAutoDefault(false);
  boton->setDefault(false);
  return boton;
}

QLineEdit* Caja(QWidget* ventana, const char* nombre, const Lugar& lugar, bool solo_lectura) {
  auto* caja = new QLineEdit(ventana);
  caja->setObjectName(QLatin1String(nombre));
  caja->setGeometry(En_Pixeles(lugar));
  caja->setReadOnly(solo_lectura);
  return caja;
}

// A label takes the size of its caption on one line; only its top-left corner is designed.
QLabel* Etiqueta(QWidget* ventana, const char* nombre, const char* texto, int left, int top,
                 bool negrita = false) {
  auto* etiqueta = new QLabel(ventana);
  etiqueta->setObjectName(QLatin1String(nombre));
  etiqueta->setTextFormat(Qt::PlainText);
  etiqueta->setText(QString::fromUtf8(texto));
  if (negrita) {
    QFont fuente = etiqueta->font();
    fuente.setBold(true);
    etiqueta->setFont(fuente);
  }
  etiqueta->move(left / kTwipsPorPixel, top / kTwipsPorPixel);
  etiqueta->adjustSize();
  return etiqueta;
}

}  // namespace

void Form1::Crear_Controles() {
  setWindowTitle(QStringLiteral("Exportar los parámetros de un proyecto Vip a otro proyecto Vip"));
  setFont(Fuente_Ventana());
  setFixedSize(8550 / kTwipsPorPixel, 4410 / kTwipsPorPixel);
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  Crear_Botones();
  Crear_Cajas();
  Crear_Etiquetas();
  Fijar_Orden_De_Tabulacion();
  TextZorvalina->setFocus();
}

void Form1::Crear_Botones() {
  cmdOpen = Boton(this, "cmdOpen", "Open", {585, 135, 1005, 465});
  cmdIni = Boton(this, "cmdIni", "Comenzar...", {6945, 150, 1005, 465});
  Command1 = Boton(this, "Command1", "Salir", {7005, 3825, 1005, 465});
  cmdIni->hide();
}

void Form1::Crear_Cajas() {
  TextZorvalina = Caja(this, "TextZorvalina", {570, 1005, 7395, 330}, true);
  TextImportar = Caja(this, "TextImportar", {555, 1770, 7440, 330}, true);
  TextDestino = Caja(this, "TextDestino", {555, 2535, 7440, 330}, true);
  Text1 = Caja(this, "Text1", {600, 3465, 7425, 285}, false);
  Poner_Color(*Text1, kRojoClaro);
  Text1->hide();

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(En_Pixeles({570, 3045, 7455, 285}));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();
}

void Form1::Crear_Etiquetas() {
  Etiqueta(this, "Label1",
           "Proyecto Vip que sirve de zorvalina, del quel se leen los parámetros a exportar en "
           "el Vip Destino 3",
           585, 705);
  Etiqueta(this, "Label4_0", "1", 360, 1065, true);
  Etiqueta(this, "Label2",
           "Proyecto Vip, del que se leen los datos de audio, para el proyecto Vip Destino 3", 555,
           1500);
  Etiqueta(this, "Label4_1", "2", 360, 1875, true);
  Etiqueta(this, "Label3",
           "Proyecto Vip Destino 3, al que se le han grabado los datos de audio de 2, y los "
           "datos de parámetros de 1",
           540, 2250);
  Etiqueta(this, "Label4_2", "3", 345, 2610, true);
  Etiqueta(this, "Label5", "Versión beta, en fase de pruebas", 585, 3975);
}

// Labels and the bar take no focus; hidden controls are skipped by the focus chain itself.
void Form1::Fijar_Orden_De_Tabulacion() {
  QWidget* const orden[] = {TextZorvalina, TextImportar, cmdOpen, TextDestino,
                            Text1,         Command1,     cmdIni};
  for (size_t i = 0; i + 1 < std::size(orden); ++i) setTabOrder(orden[i], orden[i + 1]);
}
