// SPDX-License-Identifier: MIT
#include "Form1Qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace {

size_t Indice(Control control) {
  return static_cast<size_t>(control);
}

QColor De_Bgr(unsigned bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QRect En_Pixeles(const Diseno_Control& d) {
  return {d.left / kTwipsPorPixel, d.top / kTwipsPorPixel, d.width / kTwipsPorPixel,
          d.height / kTwipsPorPixel};
}

// The design face where it exists; else the condensed DejaVu face, which has its 13-pixel line
// and keeps the longest caption inside the window.
QFont Fuente_Ventana() {
  QFont fuente;
  fuente.setFamilies({QString::fromUtf8(kFuenteVentana), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans Condensed")});
  fuente.setPointSizeF(kPuntosFuente);
  fuente.setStyleHint(QFont::SansSerif);
  return fuente;
}

QWidget* Control_De_Tipo(Tipo tipo, const QString& texto, QWidget* ventana) {
  switch (tipo) {
    case Tipo::Boton:  // outside a dialog no button is the default: Enter presses none
      return new QPushButton(texto, ventana);
    case Tipo::Caja:
    case Tipo::CajaLectura: {
      auto* caja = new QLineEdit(texto, ventana);
      caja->setReadOnly(tipo == Tipo::CajaLectura);
      return caja;
    }
    case Tipo::Etiqueta: {
      auto* etiqueta = new QLabel(ventana);
      etiqueta->setTextFormat(Qt::PlainText);
      etiqueta->setText(texto);
      return etiqueta;
    }
    case Tipo::Barra:
      break;
  }
  auto* barra = new QProgressBar(ventana);
  barra->setRange(0, 100);
  barra->setTextVisible(false);
  return barra;
}

}  // namespace

Form1Qt::Form1Qt(FileList& fileList, SistemaArchivos& sistema, size_t bloque)
    : form1_(*this, fileList, sistema, bloque) {
  Q_INIT_RESOURCE(vipmerge);
  setWindowIcon(QIcon(QStringLiteral(":/vipmerge.png")));
  setWindowTitle(QString::fromUtf8(kTituloVentana));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kAnchoCliente / kTwipsPorPixel, kAltoCliente / kTwipsPorPixel);
  setFont(Fuente_Ventana());
  for (const Diseno_Control& diseno : kDiseno) controles_[Indice(diseno.control)] = Crear(diseno);
  Poner_Fondo(Control::Text1, kRojoClaro);
  Fijar_Orden_De_Tabulacion();
  Nombrar_Para_Lectores();
  De<QWidget>(Control::TextZorvalina)->setFocus();

  connect(De<QPushButton>(Control::cmdOpen), &QPushButton::clicked, this,
          [this] { form1_.cmdOpen_Click(); });
  connect(De<QPushButton>(Control::cmdIni), &QPushButton::clicked, this,
          [this] { form1_.cmdIni_Click(); });
  connect(De<QPushButton>(Control::Command1), &QPushButton::clicked, this,
          [this] { form1_.Command1_Click(); });
}

QWidget* Form1Qt::Crear(const Diseno_Control& diseno) {
  QWidget* control = Control_De_Tipo(diseno.tipo, QString::fromUtf8(diseno.texto), this);
  control->setObjectName(QLatin1String(diseno.nombre));
  if (diseno.negrita) {
    QFont fuente = control->font();
    fuente.setBold(true);
    control->setFont(fuente);
  }
  if (diseno.tipo == Tipo::Etiqueta) {
    // A label takes the size of its caption; only its top-left corner is designed.
    control->move(En_Pixeles(diseno).topLeft());
    control->adjustSize();
  } else {
    control->setGeometry(En_Pixeles(diseno));
  }
  if (!diseno.visible) control->hide();
  return control;
}

// Labels and the bar take no focus, and hidden controls are skipped by the focus chain itself.
void Form1Qt::Fijar_Orden_De_Tabulacion() {
  std::vector<const Diseno_Control*> orden;
  for (const Diseno_Control& diseno : kDiseno) {
    if (De<QWidget>(diseno.control)->focusPolicy() != Qt::NoFocus) orden.push_back(&diseno);
  }
  std::sort(orden.begin(), orden.end(),
            [](auto* a, auto* b) { return a->tabulacion < b->tabulacion; });
  for (size_t i = 0; i + 1 < orden.size(); ++i)
    setTabOrder(De<QWidget>(orden[i]->control), De<QWidget>(orden[i + 1]->control));
}

// A label whose buddy is a box names the box and is its label relation; the first such label
// in creation order, the caption, gives the name.
void Form1Qt::Nombrar_Para_Lectores() {
  for (const Rotulos& rotulos : kRotulos) {
    De<QLabel>(rotulos.leyenda)->setBuddy(De<QWidget>(rotulos.caja));
    De<QLabel>(rotulos.numero)->setBuddy(De<QWidget>(rotulos.caja));
  }
  for (const Nombre_Propio& propio : kNombresPropios)
    De<QWidget>(propio.control)->setAccessibleName(QString::fromUtf8(propio.nombre));
}

template <class Clase>
Clase* Form1Qt::De(Control control) const {
  return static_cast<Clase*>(controles_[Indice(control)]);
}

void Form1Qt::Mostrar(Control control, bool visible) {
  De<QWidget>(control)->setVisible(visible);
}

void Form1Qt::Poner_Texto(Control control, const std::string& texto) {
  textos_[Indice(control)] = texto;
  auto* caja = De<QLineEdit>(control);
  caja->setText(QString::fromStdString(texto));
  // The status line shows the start of its message.
  if (control == Control::Text1) caja->setCursorPosition(0);
}

// A path whose bytes are no valid UTF-8 still reaches the core unchanged, as long as the user
// has not changed the text since.
std::string Form1Qt::Texto(Control control) const {
  const QString visto = De<QLineEdit>(control)->text();
  const std::string& puesto = textos_[Indice(control)];
  return visto == QString::fromStdString(puesto) ? puesto : visto.toStdString();
}

void Form1Qt::Poner_Fondo(Control control, unsigned bgr) {
  QWidget* caja = De<QWidget>(control);
  QPalette paleta = caja->palette();
  paleta.setColor(QPalette::Base, De_Bgr(bgr));
  paleta.setColor(QPalette::Text, De_Bgr(kTextoEstado));
  caja->setPalette(paleta);
}

void Form1Qt::Fijar_Barra(int maximo, int valor) {
  auto* barra = De<QProgressBar>(Control::ProgressBar1);
  barra->setRange(0, maximo);
  barra->setValue(valor);
}

// A reader speaks a control as it gains the focus, so one that has it already loses it first.
void Form1Qt::Anunciar(Control control) {
  QWidget* anunciado = De<QWidget>(control);
  if (anunciado->hasFocus()) anunciado->clearFocus();
  anunciado->setFocus(Qt::OtherFocusReason);
}

void Form1Qt::Procesar_Eventos() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Form1Qt::Esperar() {
  QEventLoop espera;
  espera_ = &espera;
  espera.exec();
  espera_ = nullptr;
}

void Form1Qt::Terminar_Espera() {
  if (espera_) espera_->quit();
}

// A dialog still open (the program is asked to end by a signal or the session) is closed so
// that its run can return; the application ends when control is back in its main loop.
void Form1Qt::Cerrar() {
  QWidget* dialogo = QApplication::activeModalWidget();
  if (dialogo && dialogo != this) dialogo->close();
  hide();
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void Form1Qt::closeEvent(QCloseEvent* evento) {
  evento->accept();
  form1_.Command1_Click();
}
