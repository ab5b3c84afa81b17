// SPDX-License-Identifier: MIT
// The window as it opens: controls, places, fonts, focus and keys.
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <climits>

#include "Carpeta.h"
#include "FileList.h"
#include "FileListDialogo.h"
#include "FileListGuion.h"
#include "Form1.h"
#include "ProgresoBarra.h"
#include "Ventana.h"

class DisenoVentana : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    guion_ = std::make_unique<FileListGuion>();
    ventana_ = std::make_unique<Form1>(*guion_);
    ventana_->show();
    QVERIFY(QTest::qWaitForWindowExposed(ventana_.get()));
  }
  void cleanup() {
    ventana_.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void StartsIdleWithOnlyTheDesignedControlsShown() {
    const char* visibles[] = {"cmdOpen",  "Command1",      "Label1",       "Label2",
                              "Label3",   "Label5",        "Label4_0",     "Label4_1",
                              "Label4_2", "TextZorvalina", "TextImportar", "TextDestino"};
    for (const char* nombre : visibles) {
      QVERIFY2(Buscar<QWidget>(*ventana_, nombre), nombre);
      QVERIFY2(Buscar<QWidget>(*ventana_, nombre)->isVisible(), nombre);
    }
    for (const char* nombre : {"cmdIni", "Text1", "ProgressBar1"}) {
      QVERIFY2(Buscar<QWidget>(*ventana_, nombre), nombre);
      QVERIFY2(!Buscar<QWidget>(*ventana_, nombre)->isVisible(), nombre);
    }
    for (const char* nombre : {"TextZorvalina", "TextImportar", "TextDestino", "Text1"}) {
      QVERIFY2(Buscar<QLineEdit>(*ventana_, nombre)->text().isEmpty(), nombre);
    }
    // Light red before it is ever shown, so the first message needs no colour change to read.
    QCOMPARE(Fondo(Buscar<QLineEdit>(*ventana_, "Text1")), kRojo);
    QCOMPARE(ventana_->focusWidget(), Buscar<QWidget>(*ventana_, "TextZorvalina"));
    QVERIFY(guion_->mostrados.empty());
    QVERIFY(!ventana_->windowIcon().isNull());
    QCOMPARE(ventana_->windowTitle(),
             QStringLiteral("Exportar los parámetros de un proyecto Vip a otro proyecto Vip"));
  }

  void PlacesEveryBoxAndButtonAtItsDesignedPixels_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QRect>("lugar");
    QTest::addColumn<QString>("texto");
    QTest::newRow("cmdOpen") << "cmdOpen" << QRect(39, 9, 67, 31) << "Open";
    QTest::newRow("cmdIni") << "cmdIni" << QRect(463, 10, 67, 31) << "Comenzar...";
    QTest::newRow("Command1") << "Command1" << QRect(467, 255, 67, 31) << "Salir";
    QTest::newRow("TextZorvalina") << "TextZorvalina" << QRect(38, 67, 493, 22) << "";
    QTest::newRow("TextImportar") << "TextImportar" << QRect(37, 118, 496, 22) << "";
    QTest::newRow("TextDestino") << "TextDestino" << QRect(37, 169, 496, 22) << "";
    QTest::newRow("ProgressBar1") << "ProgressBar1" << QRect(38, 203, 497, 19) << "";
    QTest::newRow("Text1") << "Text1" << QRect(40, 231, 495, 19) << "";
  }
  void PlacesEveryBoxAndButtonAtItsDesignedPixels() {
    QFETCH(QString, nombre);
    QFETCH(QRect, lugar);
    QFETCH(QString, texto);
    QWidget* control = Buscar<QWidget>(*ventana_, qPrintable(nombre));
    QVERIFY(control);
    QCOMPARE(control->geometry(), lugar);
    if (auto* boton = qobject_cast<QPushButton*>(control)) {
      QCOMPARE(boton->text(), texto);
      QVERIFY(!boton->isDefault() && !boton->autoDefault());
      QVERIFY(!boton->text().contains('&'));
      QVERIFY2(boton->fontMetrics().horizontalAdvance(texto) + 8 <= lugar.width(),
               "the caption does not fit its button");
    }
  }

  void LabelsSizeThemselvesFromTheirCornerAndFitTheWindow_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QPoint>("esquina");
    QTest::addColumn<bool>("negrita");
    QTest::addColumn<QString>("texto");
    QTest::newRow("Label1") << "Label1" << QPoint(39, 47) << false
                            << "Proyecto Vip que sirve de zorvalina, del quel se leen los "
                               "parámetros a exportar en el Vip Destino 3";
    QTest::newRow("Label2") << "Label2" << QPoint(37, 100) << false
                            << "Proyecto Vip, del que se leen los datos de audio, para el "
                               "proyecto Vip Destino 3";
    QTest::newRow("Label3") << "Label3" << QPoint(36, 150) << false
                            << "Proyecto Vip Destino 3, al que se le han grabado los datos de "
                               "audio de 2, y los datos de parámetros de 1";
    QTest::newRow("Label5") << "Label5" << QPoint(39, 265) << false
                            << "Versión beta, en fase de pruebas";
    QTest::newRow("Label4_0") << "Label4_0" << QPoint(24, 71) << true << "1";
    QTest::newRow("Label4_1") << "Label4_1" << QPoint(24, 125) << true << "2";
    QTest::newRow("Label4_2") << "Label4_2" << QPoint(23, 174) << true << "3";
  }
  void LabelsSizeThemselvesFromTheirCornerAndFitTheWindow() {
    QFETCH(QString, nombre);
    QFETCH(QPoint, esquina);
    QFETCH(bool, negrita);
    QFETCH(QString, texto);
    auto* etiqueta = Buscar<QLabel>(*ventana_, qPrintable(nombre));
    QVERIFY(etiqueta);
    QCOMPARE(etiqueta->text(), texto);
    QCOMPARE(etiqueta->pos(), esquina);
    QCOMPARE(etiqueta->font().bold(), negrita);
    QCOMPARE(etiqueta->focusPolicy(), Qt::NoFocus);
    // The layout was made for a face with a 13-pixel line; a wider face would cut captions.
    QCOMPARE(etiqueta->fontMetrics().height(), 13);
    QCOMPARE(etiqueta->height(), 13);
    QVERIFY(etiqueta->width() >= etiqueta->fontMetrics().horizontalAdvance(texto));
    QVERIFY2(etiqueta->geometry().right() < ventana_->width(), "the caption runs off the window");
  }

  void StepMarkersStandLevelWithTheirBoxes() {
    const std::pair<const char*, const char*> pares[] = {
        {"Label4_0", "TextZorvalina"}, {"Label4_1", "TextImportar"}, {"Label4_2", "TextDestino"}};
    for (const auto& [marca, caja] : pares) {
      const QRect m = Buscar<QWidget>(*ventana_, marca)->geometry();
      const QRect c = Buscar<QWidget>(*ventana_, caja)->geometry();
      QVERIFY2(qAbs(m.center().y() - c.center().y()) <= 3, marca);
      QVERIFY2(m.right() < c.left(), marca);
    }
  }

  void CannotBeResized() {
    QCOMPARE(ventana_->size(), QSize(570, 294));
    QCOMPARE(ventana_->minimumSize(), QSize(570, 294));
    QCOMPARE(ventana_->maximumSize(), QSize(570, 294));
    ventana_->resize(800, 600);
    QCOMPARE(ventana_->size(), QSize(570, 294));
  }

  // Labels, the bar and hidden controls are never stops.
  void TabCycleSkipsLabelsBarAndHiddenControls() {
    const QStringList esperado = {"TextImportar", "cmdOpen",       "TextDestino",
                                  "Command1",     "TextZorvalina", "TextImportar"};
    QCOMPARE(Recorrido_Con_Tab(esperado.size()), esperado);
  }

  // With the status line and the start button shown, they join the cycle in designed order.
  void TabOrderWithEveryControlShown() {
    Buscar<QWidget>(*ventana_, "Text1")->show();
    Buscar<QWidget>(*ventana_, "cmdIni")->show();
    const QStringList esperado = {"TextImportar", "cmdOpen", "TextDestino",  "Text1",
                                  "Command1",     "cmdIni",  "TextZorvalina"};
    QCOMPARE(Recorrido_Con_Tab(esperado.size()), esperado);
  }

  void EnterAndEscapeActivateNoButton() {
    for (int i = 0; i < 5; ++i) {
      QTest::keyClick(ventana_->focusWidget(), Qt::Key_Return);
      QTest::keyClick(ventana_->focusWidget(), Qt::Key_Enter);
      QTest::keyClick(ventana_->focusWidget(), Qt::Key_Escape);
      QTest::keyClick(ventana_->focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(guion_->mostrados.empty());
    QVERIFY(ventana_->isVisible());
  }

  void PathBoxesRefuseTypingButCanBeSelected() {
    auto* caja = Buscar<QLineEdit>(*ventana_, "TextZorvalina");
    QTest::keyClicks(caja, "abc");
    QVERIFY(caja->text().isEmpty());
    caja->setText("/proyectos/a.vip");
    caja->selectAll();
    QCOMPARE(caja->selectedText(), QStringLiteral("/proyectos/a.vip"));
    auto* estado = Buscar<QLineEdit>(*ventana_, "Text1");
    QVERIFY(!estado->isReadOnly());
  }

  // "Comenzar..." has no run to start: nothing visible changes.
  void StartClickedWhileIdleChangesNothing() {
    auto* inicio = Buscar<QPushButton>(*ventana_, "cmdIni");
    QMetaObject::invokeMethod(inicio, &QPushButton::click);
    for (const char* nombre : {"cmdIni", "Text1", "ProgressBar1"}) {
      QVERIFY2(!Buscar<QWidget>(*ventana_, nombre)->isVisible(), nombre);
    }
    QVERIFY(Buscar<QWidget>(*ventana_, "cmdOpen")->isVisible());
    QVERIFY(Buscar<QLineEdit>(*ventana_, "TextDestino")->text().isEmpty());
    QVERIFY(guion_->mostrados.empty());
  }

 private:
  // Where the focus lands on each of n presses of Tab.
  QStringList Recorrido_Con_Tab(qsizetype n) {
    QStringList recorrido;
    for (qsizetype i = 0; i < n; ++i) {
      QTest::keyClick(ventana_->focusWidget(), Qt::Key_Tab);
      recorrido << ventana_->focusWidget()->objectName();
    }
    return recorrido;
  }

  std::unique_ptr<FileListGuion> guion_;
  std::unique_ptr<Form1> ventana_;
};

// The bar holds int steps; positions of any size must land inside its range.
class BarraDeProgreso : public QObject {
  Q_OBJECT

 private slots:
  void FollowsPositionsOfAnySize_data() {
    QTest::addColumn<qint64>("maximo");
    QTest::addColumn<qint64>("valor");
    QTest::addColumn<int>("maximo_barra");
    QTest::addColumn<int>("valor_barra");
    QTest::newRow("small") << qint64(991) << qint64(500) << 991 << 500;
    QTest::newRow("int max") << qint64(INT_MAX) << qint64(INT_MAX) << INT_MAX << INT_MAX;
    QTest::newRow("beyond int at end")
        << qint64(5'000'000'000) << qint64(5'000'000'000) << 1'666'666'666 << 1'666'666'666;
    QTest::newRow("beyond int midway")
        << qint64(5'000'000'000) << qint64(2'500'000'000) << 1'666'666'666 << 833'333'333;
    QTest::newRow("zero maximum") << qint64(0) << qint64(0) << 1 << 0;
    QTest::newRow("negative maximum") << qint64(-5) << qint64(0) << 1 << 0;
    QTest::newRow("value above maximum") << qint64(100) << qint64(250) << 100 << 100;
  }
  void FollowsPositionsOfAnySize() {
    QFETCH(qint64, maximo);
    QFETCH(qint64, valor);
    QFETCH(int, maximo_barra);
    QFETCH(int, valor_barra);
    QProgressBar barra;
    ProgresoBarra progreso(barra, [] { return true; });
    progreso.Fijar_Maximo(maximo);
    progreso.Fijar_Valor(valor);
    QCOMPARE(barra.minimum(), 0);
    QCOMPARE(barra.maximum(), maximo_barra);
    QCOMPARE(barra.value(), valor_barra);
  }

  void PumpsEventsAndAnswersWhetherToGoOn() {
    QProgressBar barra;
    bool seguir = true;
    ProgresoBarra progreso(barra, [&] { return seguir; });
    bool atendido = false;
    QTimer::singleShot(0, &barra, [&] { atendido = true; });
    QVERIFY(progreso.Bombear());
    QVERIFY(atendido);
    seguir = false;
    QVERIFY(!progreso.Bombear());
  }

  void FilterPairsBecomeNameFilters() {
    QCOMPARE(Filtros_De("Proyecto Zorvalina (*.vip)|*.vip"),
             QStringList{"Proyecto Zorvalina (*.vip)"});
    QCOMPARE(Filtros_De("Proyectos|*.vip;*.VIP|Todos (*.*)|*.*"),
             (QStringList{"Proyectos (*.vip *.VIP)", "Todos (*.*)"}));
    QVERIFY(Filtros_De("").isEmpty());
  }
};

// The real dialog layer: title and filter reach the dialog, the choice or a cancel comes back.
class DialogoDeArchivos : public QObject {
  Q_OBJECT

 private slots:
  void ReturnsTheChosenFileOrNothing() {
    CarpetaTemporal carpeta;
    const QString elegido = QString::fromStdString(carpeta.Escribir("plantilla.vip", "x"));
    FileListDialogo dialogo;
    dialogo.DialogTitle = "Cargar el proyecto que sirve de zorvalina";
    dialogo.Filter = "Proyecto Zorvalina (*.vip)|*.vip";
    QString titulo;
    QStringList filtros;
    QTimer::singleShot(0, [&] {
      auto* abierto = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(abierto);
      titulo = abierto->windowTitle();
      filtros = abierto->nameFilters();
      abierto->selectFile(elegido);
      static_cast<QDialog*>(abierto)->accept();
    });
    dialogo.ShowOpen();
    QCOMPARE(titulo, dialogo.DialogTitle);
    QCOMPARE(filtros, QStringList{"Proyecto Zorvalina (*.vip)"});
    QCOMPARE(dialogo.FileName, elegido);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    dialogo.ShowOpen();
    QVERIFY(dialogo.FileName.isEmpty());

    dialogo.CancelError = true;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QVERIFY_THROWS_EXCEPTION(FileList::Cancelado, dialogo.ShowOpen());
  }
};

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  DisenoVentana diseno;
  BarraDeProgreso barra;
  DialogoDeArchivos dialogo;
  return QTest::qExec(&diseno, argc, argv) | QTest::qExec(&barra, argc, argv) |
         QTest::qExec(&dialogo, argc, argv);
}

#include "test_ventana_diseno.moc"
