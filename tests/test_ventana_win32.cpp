// SPDX-License-Identifier: MIT
// Form1's Win32 window in this process, at the dpi Wine is given (VIPMERGE_DPI, 96 unset).
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "Carpeta.h"
#include "FileListWin32.h"
#include "Form1.h"
#include "Referencia.h"
#include "Texto.h"
#include "VentanaWin32.h"

namespace {

const bool kVigilado = [] {  // ends the program when a test waits for what never comes
  std::thread([] { Sleep(60000), std::_Exit(std::fputs("sin respuesta\n", stderr)); }).detach();
  return true;
}();

// The program's window, shown, over the workflow and the system's dialog.
struct Ventana : VentanaWin32 {
  FileListWin32 fileList{Hwnd()};
  Form1 form{*this, fileList};
  Ventana() { Conectar(form), Mostrar_Ventana(SW_SHOW); }
  void Clic(Control c) { SendMessageW(Hwnd(c), BM_CLICK, 0, 0); }
  COLORREF Fondo(Control c) {  // of the brush Text1 is painted with
    LOGBRUSH b{};
    GetObjectW((HBRUSH)SendMessageW(Hwnd(), WM_CTLCOLOREDIT, 0, (LPARAM)Hwnd(c)), sizeof b, &b);
    return b.lbColor;
  }
};

TEST(VentanaWin32, TheDesignedFormAtTheMonitorsDpi) {
  Ventana v;
  const int dpi = std::getenv("VIPMERGE_DPI") ? std::atoi(std::getenv("VIPMERGE_DPI")) : 96;
  const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  RECT r{};
  GetClientRect(v.Hwnd(), &r);
  EXPECT_EQ(std::vector<long>({r.right, r.bottom}), std::vector<long>({px(8550), px(4410)}));
  HWND por_tabulacion[16] = {};  // created in tab order, so that Tab visits them in it
  for (const Diseno_Control& d : kDiseno) por_tabulacion[d.tabulacion] = v.Hwnd(d.control);
  for (const Diseno_Control& d : kDiseno) {
    const HWND h = v.Hwnd(d.control);
    const HDC dc = GetDC(h);
    SelectObject(dc, (HFONT)SendMessageW(h, WM_GETFONT, 0, 0));
    TEXTMETRICW letra{};
    wchar_t cara[LF_FACESIZE]{};
    GetTextMetricsW(dc, &letra), GetTextFaceW(dc, LF_FACESIZE, cara);
    // A label takes the size of its caption in its font (the design's own at 96 dpi on Windows).
    SIZE tam{px(d.width), px(d.height)};
    const std::wstring texto = Ancho(d.texto);
    if (d.tipo == Tipo::Etiqueta) GetTextExtentPoint32W(dc, texto.c_str(), texto.size(), &tam);
    ReleaseDC(h, dc), GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, v.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::vector<long>({r.left, r.top, r.right - r.left, r.bottom - r.top, letra.tmWeight,
                                 IsWindowVisible(h)}),
              std::vector<long>({px(d.left), px(d.top), tam.cx, tam.cy,
                                 d.negrita ? FW_BOLD : FW_NORMAL, d.visible}))
        << d.nombre;
    EXPECT_EQ(Estrecho(cara) + " " + v.Texto(d.control),
              (dpi > 96 ? "Microsoft Sans Serif " : "MS Sans Serif ") + std::string(d.texto));
    EXPECT_EQ(GetWindow(h, GW_HWNDNEXT), por_tabulacion[d.tabulacion + 1]) << d.nombre;
  }
  EXPECT_EQ(v.Fondo(Control::Text1), kRojoClaro);
  MSG quit{};  // the end of the session, like closing the window, does what "Salir" does
  EXPECT_TRUE(SendMessageW(v.Hwnd(), WM_QUERYENDSESSION, 0, 0) && !IsWindowVisible(v.Hwnd()) &&
              PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(VentanaWin32, AMergeThroughTheSystemsDialogAndClicks) {
  CarpetaTemporal carpeta;
  const std::string audio = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}});
  const std::string plantilla(audio.size() + 99, 'P');
  const std::string ruta_audio = carpeta.ruta() + "\\Grabación.vip";
  MoveFileW(Ancho(carpeta.Escribir("A.vip", audio)).c_str(), Ancho(ruta_audio).c_str());
  const std::pair<const wchar_t*, std::string> dialogos[] = {
      {L"Cargar el proyecto que sirve de zorvalina", carpeta.ruta() + "\\P.vip"},
      {L"Cargar el proyecto de datos de audio", ruta_audio}};
  Escribir_Archivo(dialogos[0].second, plantilla);
  Ventana v;
  std::wstring tipos;
  // A user: types each name into its dialog, presses Open, then clicks "Comenzar...".
  std::thread usuario([&] {
    for (const auto& [titulo, ruta] : dialogos) {
      HWND d = nullptr;
      while (!IsWindowVisible(d = FindWindowW(nullptr, titulo))) Sleep(20);
      wchar_t tipo[64]{};  // the file types box
      tipos += std::wstring(tipo, GetDlgItemTextW(d, 0x470, tipo, 64));
      SetDlgItemTextW(d, 0x47c, Ancho(ruta).c_str());  // the name box
      PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    }
    while (!IsWindowVisible(v.Hwnd(Control::cmdIni))) Sleep(20);
    v.Clic(Control::cmdIni);
  });
  v.Clic(Control::cmdOpen);
  usuario.join();
  const std::string salida = carpeta.ruta() + "\\Importar.vip";
  EXPECT_EQ(Leer_Archivo(salida), ref::Composicion(audio, plantilla));
  EXPECT_EQ(Estrecho(tipos), "Proyecto Zorvalina (*.vip)Proyecto Vavirerid (*.vip)");
  EXPECT_EQ(v.Texto(Control::TextImportar) + "|" + v.Texto(Control::Text1),
            ruta_audio + "|Finalizado la escritura de: " + salida);
  EXPECT_EQ(v.Fondo(Control::Text1), kVerdeClaro);
}

}  // namespace
