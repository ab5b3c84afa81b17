// SPDX-License-Identifier: MIT
// Form1's Win32 window in this process: the designed layout at the dpi Wine is given
// (VIPMERGE_DPI, 96 when unset), a merge driven by clicks, and the system's open-file dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>  // after windows.h, whose types it uses

#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "Carpeta.h"
#include "FileListWin32.h"
#include "Form1.h"
#include "Generador.h"
#include "Texto.h"
#include "VentanaWin32.h"

namespace {

// Ends the program with a message when what a test waits for never comes.
class Vigilante {
 public:
  explicit Vigilante(const char* que)
      : hilo_([this, que] {
          std::unique_lock<std::mutex> cierre(m_);
          if (cv_.wait_for(cierre, std::chrono::seconds(20), [this] { return hecho_; })) return;
          std::fprintf(stderr, "sin respuesta en 20 s: %s\n", que);
          std::_Exit(2);
        }) {}
  ~Vigilante() {
    {
      std::lock_guard<std::mutex> cierre(m_);
      hecho_ = true;
    }
    cv_.notify_one();
    hilo_.join();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool hecho_ = false;
  std::thread hilo_;
};

struct FileListGuion : FileList {
  std::vector<std::string> nombres;
  void ShowOpen() override {
    FileName = nombres.empty() ? "" : nombres.front();
    if (!nombres.empty()) nombres.erase(nombres.begin());
  }
};

bool Visible(HWND h) {
  return GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE;
}

void Clic(VentanaWin32& ventana, Control boton) {
  ASSERT_TRUE(Visible(ventana.Hwnd(boton)) && IsWindowEnabled(ventana.Hwnd(boton)));
  SendMessageW(ventana.Hwnd(boton), BM_CLICK, 0, 0);
}

COLORREF Fondo(VentanaWin32& ventana, Control control) {
  const HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(ventana.Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(ventana.Hwnd(control)));
  const COLORREF color = GetBkColor(dc);
  DeleteDC(dc);
  return color;
}

const char* Nombre(VentanaWin32& ventana, HWND h) {
  for (const Diseno_Control& d : kDiseno)
    if (ventana.Hwnd(d.control) == h) return d.nombre;
  return "(ninguno)";
}

// The action of a merge test, run from a timer once cmdIni shows: the click on cmdOpen holds
// the thread meanwhile.
std::function<bool()> g_al_esperar;
void CALLBACK Al_Esperar(HWND, UINT, UINT_PTR, DWORD) {
  if (g_al_esperar && g_al_esperar()) g_al_esperar = nullptr;
}

TEST(VentanaWin32, EachControlAsDesignedAtTheMonitorsDpi) {
  VentanaWin32 ventana;
  ventana.Mostrar_Ventana(SW_SHOW);
  const char* pedido = std::getenv("VIPMERGE_DPI");
  const int dpi = pedido ? std::atoi(pedido) : 96;
  ASSERT_EQ(static_cast<int>(GetDpiForWindow(ventana.Hwnd())), dpi);
  const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  RECT r{};
  GetClientRect(ventana.Hwnd(), &r);
  EXPECT_EQ(r.right * 1000 + r.bottom, px(kAnchoCliente) * 1000 + px(kAltoCliente));
  for (const Diseno_Control& d : kDiseno) {
    SCOPED_TRACE(d.nombre);
    const HWND h = ventana.Hwnd(d.control);
    const HDC dc = GetDC(h);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    TEXTMETRICW letra{};
    wchar_t cara[LF_FACESIZE]{};
    GetTextMetricsW(dc, &letra);
    GetTextFaceW(dc, LF_FACESIZE, cara);
    EXPECT_EQ(Estrecho(cara), dpi > 96 ? "Microsoft Sans Serif" : "MS Sans Serif");
    EXPECT_EQ(letra.tmWeight, d.negrita ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(ventana.Texto(d.control), d.texto);
    EXPECT_EQ(Visible(h), d.visible);
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, ventana.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    // A label takes the size of its caption in its font (the design's at 96 dpi on Windows).
    SIZE tam{px(d.width), px(d.height)};
    const std::wstring texto = Ancho(d.texto);
    if (d.tipo == Tipo::Etiqueta) GetTextExtentPoint32W(dc, texto.c_str(), texto.size(), &tam);
    ReleaseDC(h, dc);
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<long>{px(d.left), px(d.top), tam.cx, tam.cy}));
  }
  EXPECT_EQ(Fondo(ventana, Control::Text1), kRojoClaro);
}

TEST(VentanaWin32, TabVisitsTheBoxesAndButtonsInDesignOrderAndEnterOrEscPressNothing) {
  VentanaWin32 ventana;
  FileListGuion guion;
  guion.nombres = {"(no debe pedirse)"};
  Form1 form(ventana, guion);
  ventana.Conectar(form);
  ventana.Mostrar_Ventana(SW_SHOW);
  std::vector<std::string> visitados;
  for (int i = 0; i < 6; ++i) {
    visitados.push_back(Nombre(ventana, GetFocus()));
    for (const WPARAM tecla : {VK_RETURN, VK_ESCAPE, VK_TAB})
      PostMessageW(GetFocus(), WM_KEYDOWN, tecla, 0), PostMessageW(GetFocus(), WM_CHAR, tecla, 0);
    ventana.Procesar_Eventos();
  }
  EXPECT_EQ(visitados, (std::vector<std::string>{"TextZorvalina", "TextImportar", "cmdOpen",
                                                 "TextDestino", "Command1", "TextZorvalina"}));
  EXPECT_TRUE(IsWindowVisible(ventana.Hwnd()) && guion.nombres.size() == 1);
}

TEST(VentanaWin32, AMergeDrivenByClicksAndTheWaysToEndIt) {
  const struct {
    const char* caso;
    std::function<void(VentanaWin32&)> accion;
    bool escrito;
  } casos[] = {
      {"Comenzar...", [](VentanaWin32& v) { Clic(v, Control::cmdIni); }, true},
      {"cerrar", [](VentanaWin32& v) { PostMessageW(v.Hwnd(), WM_CLOSE, 0, 0); }, false},
      {"fin de sesión", [](VentanaWin32& v) { SendMessageW(v.Hwnd(), WM_QUERYENDSESSION, 0, 0); },
       false},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.caso);
    CarpetaTemporal carpeta;
    DescripcionVip audio_d, plantilla_d;
    plantilla_d.semilla = 2;
    plantilla_d.bytes_audio = 6000;
    const std::string audio = Generar_Vip(audio_d), plantilla = Generar_Vip(plantilla_d);
    VentanaWin32 ventana;
    FileListGuion guion;
    guion.nombres = {carpeta.Escribir("Plantilla.vip", plantilla),
                     carpeta.Escribir("Audio.vip", audio)};
    Form1 form(ventana, guion);
    ventana.Conectar(form);
    ventana.Mostrar_Ventana(SW_SHOW);
    g_al_esperar = [&] {
      return Visible(ventana.Hwnd(Control::cmdIni)) && (caso.accion(ventana), true);
    };
    const UINT_PTR reloj = SetTimer(nullptr, 0, 10, &Al_Esperar);
    {
      Vigilante vigilante(caso.caso);
      Clic(ventana, Control::cmdOpen);
    }
    KillTimer(nullptr, reloj);
    const std::string salida = carpeta / "Importar.vip";
    MSG quit{};
    EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, !caso.escrito);
    EXPECT_EQ(IsWindowVisible(ventana.Hwnd()) != 0, caso.escrito);
    if (!caso.escrito) {
      EXPECT_EQ(carpeta.Nombres(), (std::vector<std::string>{"Audio.vip", "Plantilla.vip"}));
      continue;
    }
    const size_t limite = static_cast<size_t>(Limite_De(audio_d));
    EXPECT_EQ(Leer_Archivo(salida), audio.substr(0, limite) + plantilla.substr(limite));
    EXPECT_EQ(ventana.Texto(Control::Text1), "Finalizado la escritura de: " + salida);
    EXPECT_EQ(Fondo(ventana, Control::Text1), kVerdeClaro);
    EXPECT_TRUE(Visible(ventana.Hwnd(Control::cmdOpen)) && Visible(ventana.Hwnd(Control::Text1)));
    EXPECT_FALSE(Visible(ventana.Hwnd(Control::ProgressBar1)) ||
                 Visible(ventana.Hwnd(Control::cmdIni)));
  }
}

// Typed into the system's dialog from a second thread, as a user would.
TEST(VentanaWin32, TheSystemsOpenDialogGivesTheTypedName) {
  CarpetaTemporal carpeta;
  std::wstring ruta = std::filesystem::path(carpeta / "Canción.vip").make_preferred().wstring();
  std::ofstream(std::filesystem::path(ruta)) << "x";
  VentanaWin32 ventana;
  FileListWin32 dialogo(ventana.Hwnd());
  dialogo.DialogTitle = "Cargar el proyecto de datos de audio";
  dialogo.Filter = "Proyecto Vavirerid (*.vip)|*.vip";
  wchar_t tipo[64] = L"(sin diálogo)";
  std::thread usuario([&] {
    HWND d = nullptr;
    for (int i = 0; i < 500 && !(d = FindWindowW(nullptr, Ancho(dialogo.DialogTitle).c_str())); ++i)
      Sleep(20);
    GetDlgItemTextW(d, cmb1, tipo, 64);
    SetDlgItemTextW(d, GetDlgItem(d, cmb13) ? cmb13 : edt1, ruta.c_str());
    PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
  });
  {
    Vigilante vigilante("el diálogo de abrir");
    dialogo.ShowOpen();
  }
  usuario.join();
  EXPECT_EQ(dialogo.FileName, Estrecho(ruta));
  EXPECT_EQ(Estrecho(tipo), "Proyecto Vavirerid (*.vip)");
}

}  // namespace
