// SPDX-License-Identifier: MIT
// Form1's Win32 window in this process, at the dpi Wine is given (VIPMERGE_DPI, 96 unset).
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "FileListWin32.h"
#include "Form1.h"
#include "Referencia.h"
#include "VentanaWin32.h"
#include "VistaFalsa.h"

TEST(VentanaWin32, TheDesignedAndNamedFormAtTheMonitorsDpiAMergeAndTheEndOfTheSession) {
  std::thread([] { Sleep(60000), std::fputs("sin respuesta\n", stderr), std::_Exit(1); }).detach();
  VentanaWin32 v;  // shown, over the system's dialog; the thread above ends a test left waiting
  FileListWin32 fileList{v.Hwnd()};
  SistemaConFallos disco;  // the real disk, with a hook in the flush
  Form1 form{v, fileList, disco};
  const int sistema[] = {COLOR_WINDOWTEXT, COLOR_WINDOW};  // high contrast: white text on black
  const COLORREF contraste[] = {RGB(255, 255, 255), 0};
  SetSysColors(2, sistema, contraste);
  v.Conectar(form), v.Mostrar_Ventana(SW_SHOW);
  const HWND w = v.Hwnd(), t = v.Hwnd(Control::Text1);
  const HDC dc = GetDC(t);  // Text1 is painted with the brush, and the text colour, set on dc
  const auto fondo = [&](LOGBRUSH b = {}) {
    const auto pincel = (HBRUSH)SendMessageW(w, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)t);
    return GetObjectW(pincel, sizeof b, &b), b.lbColor;
  };
  const auto nombre = [](HWND h, IAccessible* a = nullptr, BSTR n = nullptr) {  // as readers ask
    VARIANT yo{};  // the control itself: VT_I4, CHILDID_SELF
    yo.vt = VT_I4;
    AccessibleObjectFromWindow(h, OBJID_CLIENT, __uuidof(IAccessible), (void**)&a);
    const std::string texto = a && a->get_accName(yo, &n) == S_OK ? Estrecho(n) : "?";
    return a && a->Release(), SysFreeString(n), texto;
  };
  const int dpi = std::getenv("VIPMERGE_DPI") ? std::atoi(std::getenv("VIPMERGE_DPI")) : 96;
  const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  RECT r{};
  GetClientRect(w, &r);
  const LONG marco =  // a fixed frame
      GetWindowLongW(w, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
  EXPECT_TRUE(r.right == px(8550) && r.bottom == px(4410) && fondo() == kRojoClaro &&
              marco == WS_MINIMIZEBOX && GetFocus() == v.Hwnd(Control::TextZorvalina));
  const auto de = [](auto igual) { return std::find_if(kDiseno.begin(), kDiseno.end(), igual); };
  std::string orden_z;  // Tab follows it; "=" a name that is not the control's own text
  for (HWND h = GetWindow(w, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    const auto d = de([&](const Diseno_Control& d) { return v.Hwnd(d.control) == h; });
    const auto n = de([&](const Diseno_Control& d) { return nombre(h) == d.texto; });
    const std::string propio = d == kDiseno.end() ? "" : d->nombre;  // "": a hidden static text
    const std::string otro = n == kDiseno.end() ? nombre(h) : n->nombre;  // whose text names it
    orden_z += propio + (n == d && d != kDiseno.end() ? " " : "=" + otro + " ");
  }
  EXPECT_EQ(
      orden_z,
      "Label4_0 Label1 TextZorvalina=Label1 Label4_1 Label2 TextImportar=Label2 cmdOpen Label4_2 "
      "Label3 TextDestino=Label3 =Progreso de la escritura ProgressBar1=Progreso de la escritura "
      "=Estado Text1=Estado Command1 Label5 cmdIni ");
  std::string recorrido;  // Tab, as the dialog manager walks it: labels and hidden ones skipped
  const HWND primero = v.Hwnd(Control::TextZorvalina);
  HWND h = primero;
  do {
    recorrido += de([&](const Diseno_Control& d) { return v.Hwnd(d.control) == h; })->nombre;
    recorrido += " ";
  } while ((h = GetNextDlgTabItem(w, h, FALSE)) != primero && h && recorrido.size() < 100);
  EXPECT_EQ(recorrido, "TextZorvalina TextImportar cmdOpen TextDestino Command1 ");
  for (const Diseno_Control& d : kDiseno) {
    const HWND h = v.Hwnd(d.control);
    // As designed: 8.25-point letters, bold step markers, read-only path boxes.
    const bool caja_de_ruta = d.tipo == Tipo::CajaLectura;
    const HDC dc = GetDC(h);
    SelectObject(dc, (HFONT)SendMessageW(h, WM_GETFONT, 0, 0));
    TEXTMETRICW letra{};
    wchar_t cara[LF_FACESIZE]{};
    SIZE tam{px(d.width), px(d.height)};  // a label's: its caption's in its font
    const std::wstring texto = Ancho(d.texto);
    if (d.tipo == Tipo::Etiqueta) GetTextExtentPoint32W(dc, texto.c_str(), texto.size(), &tam);
    GetTextMetricsW(dc, &letra), GetTextFaceW(dc, LF_FACESIZE, cara), ReleaseDC(h, dc);
    GetWindowRect(h, &r), MapWindowPoints(HWND_DESKTOP, w, (POINT*)&r, 2);
    EXPECT_EQ(std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top, letra.tmWeight,
                         letra.tmHeight - letra.tmInternalLeading, IsWindowVisible(h),
                         Estrecho(cara), GetWindowLongW(h, GWL_STYLE) & ES_READONLY),
              std::tuple(px(d.left), px(d.top), tam.cx, tam.cy, d.negrita ? FW_BOLD : FW_NORMAL,
                         std::lround(8.25 * dpi / 72), d.visible,
                         std::string(dpi > 96 ? "Microsoft Sans Serif" : "MS Sans Serif"),
                         caja_de_ruta ? ES_READONLY : 0L))
        << d.nombre;
  }
  CarpetaTemporal carpeta;
  const std::string audio = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}}),
                    salida = carpeta.ruta() + "\\Importar.vip";
  const std::string zorvalina = carpeta.ruta() + "\\P.vip",
                    grabacion = carpeta.ruta() + "\\Grabación.vip";
  carpeta.Escribir("P.vip", audio), carpeta.Escribir("Grabación.vip", audio);
  std::wstring tipos;
  // A run by a user who types each name into the system's dialog ("": cancels it), then clicks
  // "Comenzar..."; a run that goes on after a cancel is ended with "Salir".
  const auto ejecutar = [&](const std::string& primero, const std::string& segundo) {
    std::atomic<bool> terminada = false;
    std::thread usuario([&] {
      for (const auto& [titulo, ruta] :
           {std::pair{L"Cargar el proyecto que sirve de zorvalina", primero},
            {L"Cargar el proyecto de datos de audio", segundo}}) {
        HWND d = nullptr;
        while (!terminada && !IsWindowVisible(d = FindWindowW(nullptr, titulo))) Sleep(20);
        if (terminada) return;  // no dialog came: the click reached no handler
        wchar_t tipo[64]{};     // the file types box, then the name box and Open or Cancel
        tipos += std::wstring(tipo, GetDlgItemTextW(d, 0x470, tipo, 64));
        SetDlgItemTextW(d, 0x47c, Ancho(ruta).c_str()),
            PostMessageW(GetDlgItem(d, ruta.empty() ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
      }
      while (!terminada && !IsWindowVisible(v.Hwnd(Control::cmdIni))) Sleep(20);
      const Control boton = segundo.empty() ? Control::Command1 : Control::cmdIni;
      if (!terminada) PostMessageW(v.Hwnd(boton), BM_CLICK, 0, 0);
    });
    SendMessageW(v.Hwnd(Control::cmdOpen), BM_CLICK, 0, 0);
    terminada = true;
    usuario.join();
  };
  HWND foco_al_escribir = nullptr;  // "Open", which had it, is hidden then
  disco.antes_de_confirmar = [&, hilo = GetCurrentThreadId()] {
    GUITHREADINFO hilo_de_la_ventana{};
    hilo_de_la_ventana.cbSize = sizeof hilo_de_la_ventana;
    GetGUIThreadInfo(hilo, &hilo_de_la_ventana), foco_al_escribir = hilo_de_la_ventana.hwndFocus;
  };
  SetFocus(v.Hwnd(Control::cmdOpen));  // as a click on it gives it
  ejecutar(zorvalina, grabacion);
  SetTextColor(dc, RGB(255, 255, 255));  // the theme's, until the window sets its own
  EXPECT_EQ(Estrecho(tipos) + "|" + v.Texto(Control::TextImportar) + "|" + v.Texto(Control::Text1),
            "Proyecto Zorvalina (*.vip)Proyecto Vavirerid (*.vip)|" + grabacion +
                "|Finalizado la escritura de: " + salida);
  EXPECT_TRUE(fondo() == kVerdeClaro && GetTextColor(dc) == 0 && GetFocus() == t &&
              IsChild(w, foco_al_escribir) && IsWindowVisible(foco_al_escribir) &&
              Leer_Archivo(salida) == ref::Composicion(audio, audio));
  SetFocus(v.Hwnd(Control::cmdOpen));
  ejecutar(zorvalina, "");  // the second dialog cancelled: the run ends there, "Open" focused again
  EXPECT_TRUE(IsWindowVisible(w) && !IsWindowVisible(v.Hwnd(Control::cmdIni)) &&
              GetFocus() == v.Hwnd(Control::cmdOpen));
  const HWND otra = CreateWindowW(L"STATIC", L"otra", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                  nullptr, nullptr, nullptr);     // another program's window
  disco.antes_de_confirmar = [&] { SetForegroundWindow(otra); };  // the user goes there meanwhile
  ejecutar(zorvalina, grabacion);
  SetForegroundWindow(w);  // and comes back: the focus has waited for it in Text1
  EXPECT_EQ(GetFocus(), t);
  DestroyWindow(otra);
  ReleaseDC(t, dc);
  SendMessageW(w, WM_ENDSESSION, FALSE, 0);  // an end of the session called off changes nothing
  const bool sigue = IsWindowVisible(w);
  MSG quit{};  // the end of the session, like closing the window, does what "Salir" does
  EXPECT_TRUE(sigue && SendMessageW(w, WM_QUERYENDSESSION, 0, 0) && !IsWindowVisible(w) &&
              PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The real program: its window shows, and its close box ends it as "Salir" does (0).
TEST(VentanaWin32, TheProgramShowsItsWindowAndItsCloseBoxEndsIt) {
  std::wstring linea =
      Ancho(std::string("\"") + (VIPMERGE[0] == '/' ? "Z:" : "") + VIPMERGE + "\"");
  STARTUPINFOW inicio{};
  inicio.cb = sizeof inicio;
  PROCESS_INFORMATION programa{};
  ASSERT_TRUE(CreateProcessW(nullptr, linea.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &inicio, &programa));
  const wchar_t* titulo = L"Exportar los parámetros de un proyecto Vip a otro proyecto Vip";
  HWND ventana = nullptr;
  for (int i = 0; i < 1000 && !IsWindowVisible(ventana); ++i)
    Sleep(10), ventana = FindWindowW(nullptr, titulo);
  const bool visible = IsWindowVisible(ventana);
  PostMessageW(ventana, WM_CLOSE, 0, 0);
  DWORD codigo = STILL_ACTIVE;
  const bool terminado = WaitForSingleObject(programa.hProcess, 10000) == WAIT_OBJECT_0;
  GetExitCodeProcess(programa.hProcess, &codigo);
  EXPECT_TRUE(visible && terminado && codigo == 0) << visible << terminado << codigo;
  TerminateProcess(programa.hProcess, 1), CloseHandle(programa.hProcess),
      CloseHandle(programa.hThread);
}

// A quit message while the output is flushed stops the run as "Salir" does: the earlier
// Importar.vip stays, the window closes and the message is left for the outer loop.
TEST(VentanaWin32, AQuitMessageDuringTheWritingStopsTheRun) {
  CarpetaTemporal carpeta;
  VistaFalsa guion;  // its dialog only
  const std::string audio = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}});
  guion.respuestas.assign(2, carpeta.Escribir("a.vip", audio));
  const std::string salida = carpeta.Escribir("Importar.vip", "anterior");
  VentanaWin32 v;
  SistemaConFallos sistema;
  Form1 form{v, guion, sistema};
  v.Conectar(form), v.Mostrar_Ventana(SW_SHOW);
  const DWORD hilo = GetCurrentThreadId();
  sistema.antes_de_confirmar = [&] {  // on the flush's thread, while the window's thread pumps
    PostThreadMessageW(hilo, WM_QUIT, 0, 0);
    for (int i = 0; i < 500 && IsWindowVisible(v.Hwnd()); ++i) Sleep(10);
  };
  std::thread usuario([&] {
    for (int i = 0; i < 500 && !IsWindowVisible(v.Hwnd(Control::cmdIni)); ++i) Sleep(20);
    PostMessageW(v.Hwnd(Control::cmdIni), BM_CLICK, 0, 0);  // no waiting on a window that left
  });
  SendMessageW(v.Hwnd(Control::cmdOpen), BM_CLICK, 0, 0);
  usuario.join();
  MSG quit{};
  EXPECT_TRUE(Leer_Archivo(salida) == "anterior" && carpeta.Nombres().size() == 2 &&
              !IsWindowVisible(v.Hwnd()) &&
              PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
