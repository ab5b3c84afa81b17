// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>

// Helpers for driving the window as a user would.

template <class Control>
Control* Buscar(const QWidget& ventana, const char* nombre) {
  return ventana.findChild<Control*>(QLatin1String(nombre));
}

// Clicks a button the way a user can: only when it is visible and enabled.
inline void Pulsar(QPushButton* boton) {
  QVERIFY(boton);
  QVERIFY2(boton->isVisible(), qPrintable(boton->objectName() + " no está visible"));
  QVERIFY2(boton->isEnabled(), qPrintable(boton->objectName() + " no está habilitado"));
  QTest::mouseClick(boton, Qt::LeftButton);
}

inline QColor Fondo(const QLineEdit* caja) {
  return caja->palette().color(QPalette::Base);
}

inline const QColor kRojo(255, 128, 128);
inline const QColor kVerde(128, 255, 128);

// Runs the action once, from the event loop, right after the widget has been shown: this is
// how a test acts inside the window's wait for "Comenzar...".
class AlMostrarse : public QObject {
 public:
  AlMostrarse(QWidget* control, std::function<void()> accion)
      : control_(control), accion_(std::move(accion)) {
    control_->installEventFilter(this);
  }
  bool hecho() const { return hecho_; }

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override {
    if (objeto == control_ && evento->type() == QEvent::Show && !armado_) {
      armado_ = true;
      QTimer::singleShot(0, this, [this] {
        hecho_ = true;
        accion_();
      });
    }
    return false;
  }

 private:
  QWidget* control_;
  std::function<void()> accion_;
  bool armado_ = false;
  bool hecho_ = false;
};

// Runs the action inside the application's main loop and returns the loop's exit code: 0 when
// the program asked to quit, kSinSalida when it had not after the time limit.
inline constexpr int kSinSalida = 99;
inline int En_Bucle_Principal(std::function<void()> accion, int limite_ms = 10000) {
  QTimer limite;
  limite.setSingleShot(true);
  QObject::connect(&limite, &QTimer::timeout, [] { QCoreApplication::exit(kSinSalida); });
  limite.start(limite_ms);
  QTimer::singleShot(0, &limite, std::move(accion));
  return QCoreApplication::exec();
}
