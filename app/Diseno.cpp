// SPDX-License-Identifier: MIT
#include "Diseno.h"

#include <algorithm>

const std::array<Diseno_Control, 15> kDiseno = {{
    {Control::cmdOpen, "cmdOpen", Tipo::Boton, "Open", 585, 135, 1005, 465, 2, true, false},
    {Control::cmdIni, "cmdIni", Tipo::Boton, "Comenzar...", 6945, 150, 1005, 465, 14, false, false},
    {Control::Label1, "Label1", Tipo::Etiqueta,
     "Proyecto Vip que sirve de zorvalina, del quel se leen los parámetros a exportar en el Vip "
     "Destino 3",
     585, 705, 6780, 195, 3, true, false},
    {Control::Label4_0, "Label4_0", Tipo::Etiqueta, "1", 360, 1065, 120, 195, 7, true, true},
    {Control::TextZorvalina, "TextZorvalina", Tipo::CajaLectura, "", 570, 1005, 7395, 330, 0, true,
     false},
    {Control::Label2, "Label2", Tipo::Etiqueta,
     "Proyecto Vip, del que se leen los datos de audio, para el proyecto Vip Destino 3", 555, 1500,
     5625, 195, 4, true, false},
    {Control::Label4_1, "Label4_1", Tipo::Etiqueta, "2", 360, 1875, 120, 195, 8, true, true},
    {Control::TextImportar, "TextImportar", Tipo::CajaLectura, "", 555, 1770, 7440, 330, 1, true,
     false},
    {Control::Label3, "Label3", Tipo::Etiqueta,
     "Proyecto Vip Destino 3, al que se le han grabado los datos de audio de 2, y los datos de "
     "parámetros de 1",
     540, 2250, 7410, 195, 6, true, false},
    {Control::Label4_2, "Label4_2", Tipo::Etiqueta, "3", 345, 2610, 120, 195, 9, true, true},
    {Control::TextDestino, "TextDestino", Tipo::CajaLectura, "", 555, 2535, 7440, 330, 5, true,
     false},
    {Control::ProgressBar1, "ProgressBar1", Tipo::Barra, "", 570, 3045, 7455, 285, 10, false,
     false},
    {Control::Text1, "Text1", Tipo::Caja, "", 600, 3465, 7425, 285, 11, false, false},
    {Control::Command1, "Command1", Tipo::Boton, "Salir", 7005, 3825, 1005, 465, 12, true, false},
    {Control::Label5, "Label5", Tipo::Etiqueta, "Versión beta, en fase de pruebas", 585, 3975, 2340,
     195, 13, true, false},
}};

const std::array<Rotulos, 3> kRotulos = {{
    {Control::TextZorvalina, Control::Label4_0, Control::Label1},
    {Control::TextImportar, Control::Label4_1, Control::Label2},
    {Control::TextDestino, Control::Label4_2, Control::Label3},
}};

const std::array<Nombre_Propio, 2> kNombresPropios = {{
    {Control::Text1, "Estado"},
    {Control::ProgressBar1, "Progreso de la escritura"},
}};

const Diseno_Control& Diseno_De(Control control) {
  return *std::find_if(kDiseno.begin(), kDiseno.end(),
                       [control](const Diseno_Control& d) { return d.control == control; });
}
