// SPDX-License-Identifier: MIT
// The window's workflow through a view without a toolkit.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "Referencia.h"
#include "VistaFalsa.h"

namespace {

struct Flujo : ::testing::Test {
  CarpetaTemporal carpeta;
  std::string plantilla = Proyecto("plantilla.vip"), audio = Proyecto("audio.vip"),
              mudo = Proyecto("mudo.vip", "sin formato");
  std::string salida = carpeta.Escribir("Importar.vip", "anterior");
  SistemaConFallos sistema;

  // Bytes of their own; the audio file named a few blocks in, so that the check pumps events.
  std::string Proyecto(const char* nombre, const char* linea = "voz.wav") {
    return carpeta.Escribir(nombre,
                            ref::Proyecto(nombre[0], 5000, {{567, linea}, {4009, ref::kCabecera}}));
  }
  // The output holds these bytes, and no temporary file is left beside it.
  bool Salida_Es(const std::string& bytes) {
    return Leer_Archivo(salida) == bytes && carpeta.Nombres().size() == 4;
  }
};

// One session through every state, texts and colours: two whole runs, the second with "Open"
// clicked (and ignored) as it checks and waits, the silent ends and a failed writing.
TEST_F(Flujo, RunsGoThroughTheStatesOfTheTable) {
  const std::string pa = plantilla + "|" + audio;
  const std::string fin = "|" + salida + "|Finalizado la escritura de: " + salida;
  const std::string ov = "elige OVF, comprueba OVF, ", escrita = "escribe BR, fin O";
  const struct {
    std::vector<std::string> respuestas;
    std::string estados, textos;
  } casos[] = {{{plantilla, audio}, "elige O, comprueba O, espera OI, " + escrita + "VF", pa + fin},
               {{plantilla, audio},
                ov + "fin OVF, comprueba OVF, espera OIR, fin OIR, " + escrita + "VF",
                pa + fin},
               {{""}, "elige OVF, fin OVF", pa + fin},
               {{audio, ""}, "elige OVF, fin OVF", audio + "|" + audio + fin},
               {{audio, mudo}, ov + "fin OVF", audio + "|" + mudo + fin},
               {{plantilla, audio},
                ov + "espera OIR, " + escrita + "RF",
                pa + "|" + salida + "|No se pudo completar la escritura de: " + salida +
                    " (Error de entrada/salida)"}};
  VistaFalsa vista(sistema);
  std::string espera, clics;
  bool abrir = false;
  vista.al_actuar = [&](const std::string& m) {
    if (m == "espera") espera = vista.texto[Control::Text1];
    if (abrir && (m == "comprueba" || m == "espera") && clics.find(m) == clics.npos)
      clics += m, vista.Pulsar(Control::cmdOpen);
  };
  for (const auto& caso : casos) {
    vista.estados.clear(), vista.respuestas = caso.respuestas, abrir = &caso == &casos[1];
    sistema.bloque = &caso == &casos[5] ? 8 : 0, sistema.quedan = 20, sistema.lanzar = true;
    vista.Pulsar(Control::cmdOpen);
    EXPECT_EQ(vista.estados, caso.estados);
    EXPECT_EQ(vista.texto[Control::TextZorvalina] + "|" + vista.texto[Control::TextImportar] + "|" +
                  vista.texto[Control::TextDestino] + "|" + vista.texto[Control::Text1],
              caso.textos);
    EXPECT_TRUE(Salida_Es(ref::Composicion(Leer_Archivo(audio), Leer_Archivo(plantilla))));
  }
  EXPECT_EQ(espera, "Leyendo y escribiendo datos en: " + salida);
  const std::string dialogos =
      "Cargar el proyecto que sirve de zorvalina|Proyecto Zorvalina (*.vip)|*.vip|0\nCargar el "
      "proyecto de datos de audio|Proyecto Vavirerid (*.vip)|*.vip|0\n";
  EXPECT_EQ(vista.dialogos.substr(0, dialogos.size()), dialogos);
}

// "Salir" at each moment ends the run there: no temporary file, Importar.vip as it was.
TEST_F(Flujo, SalirEndsTheProgramAtEveryMoment) {
  for (const std::string momento : {"elige", "comprueba", "espera", "escribe"}) {
    VistaFalsa vista(sistema);
    bool temporal = false;
    vista.al_actuar = [&](const std::string& ahora) {
      if (ahora == momento) temporal = !Salida_Es("anterior"), vista.Pulsar(Control::Command1);
    };
    vista.respuestas = {plantilla, audio};
    vista.Pulsar(Control::cmdOpen);
    EXPECT_TRUE(vista.cerrada && Salida_Es("anterior") && temporal == (momento == "escribe"))
        << momento;
  }
}

// ProgressBar1 holds int steps; each new maximum shows the position so far on its own scale.
TEST(Barra, ScalesPositionsOfAnySizeIntoItsRange) {
  for (const auto& c : {std::array<int64_t, 5>{INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                        {5'000'000'000, 2'500'000'000, 5'000'000'000, 1'666'666'666, 833'333'333},
                        {96, 96, 6'000'000'000, 2'000'000'000, 32},
                        {5000, 4000, 300, 300, 300}}) {
    VistaFalsa vista;
    ProgresoVista progreso(vista, vista.cerrada);
    progreso.Fijar_Maximo(c[0]), progreso.Fijar_Valor(c[1]), progreso.Fijar_Maximo(c[2]);
    EXPECT_TRUE(vista.barra_maximo == c[3] && vista.barra_valor == c[4]) << c[2];
  }
}

// The designed form, pinned: the views are built from this table, and their tests read it too.
TEST(Diseno, TheTableHoldsTheDesignedPlacesTabStopsAndMarkers) {
  // Each control: its name, left,top,width,height in twips, its place in the tab order, V when
  // visible at the start, N when bold.
  std::string tabla;
  for (const Diseno_Control& d : kDiseno) {
    char fila[80];
    std::snprintf(fila, sizeof fila, "%s %d,%d,%d,%d %d%s%s|", d.nombre, d.left, d.top, d.width,
                  d.height, d.tabulacion, d.visible ? " V" : "", d.negrita ? " N" : "");
    tabla += fila;
  }
  EXPECT_EQ(tabla,  // by the form's rows: the buttons at the top, the three steps, the bottom
            "cmdOpen 585,135,1005,465 2 V|cmdIni 6945,150,1005,465 14|"
            "Label1 585,705,6780,195 3 V|Label4_0 360,1065,120,195 7 V N|"
            "TextZorvalina 570,1005,7395,330 0 V|"
            "Label2 555,1500,5625,195 4 V|Label4_1 360,1875,120,195 8 V N|"
            "TextImportar 555,1770,7440,330 1 V|"
            "Label3 540,2250,7410,195 6 V|Label4_2 345,2610,120,195 9 V N|"
            "TextDestino 555,2535,7440,330 5 V|"
            "ProgressBar1 570,3045,7455,285 10|Text1 600,3465,7425,285 11|"
            "Command1 7005,3825,1005,465 12 V|Label5 585,3975,2340,195 13 V|");
}

}  // namespace
