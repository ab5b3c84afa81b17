// SPDX-License-Identifier: MIT
#include "VentanaWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <system_error>

#include "Form1.h"
#include "Texto.h"

namespace {

constexpr wchar_t kClase[] = L"vipmerge.Form1";
// Clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int kPrimerId = 100;
// A fixed frame: no sizing border and no maximise box.
constexpr DWORD kEstilo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF kSinFondo = CLR_INVALID;

size_t Indice(Control control) {
  return static_cast<size_t>(control);
}

int A_Pixeles(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

[[noreturn]] void Fallo_Del_Sistema(const char* que) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), que);
}

// The design face is a bitmap font drawn for 96 dpi; above that its TrueType successor has
// the same metrics at every size.
Tipografia Crear_Fuente(UINT dpi, bool negrita) {
  LOGFONTW fuente{};
  fuente.lfHeight = -std::lround(kPuntosFuente * dpi / 72.0);
  fuente.lfWeight = negrita ? FW_BOLD : FW_NORMAL;
  fuente.lfCharSet = DEFAULT_CHARSET;
  wcscpy_s(fuente.lfFaceName, dpi > 96 ? L"Microsoft Sans Serif" : L"MS Sans Serif");
  return Tipografia(CreateFontIndirectW(&fuente));
}

struct Clase {
  const wchar_t* nombre;
  DWORD estilo;
  DWORD extendido;
};

Clase Clase_De(Tipo tipo) {
  switch (tipo) {
    case Tipo::Boton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Tipo::Caja:
      return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Tipo::CajaLectura:
      return {L"EDIT", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Tipo::Etiqueta:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Tipo::Barra:
      break;
  }
  return {PROGRESS_CLASSW, 0, 0};
}

void Registrar_Clase(WNDPROC procedimiento) {
  WNDCLASSEXW clase{};
  clase.cbSize = sizeof clase;
  clase.lpfnWndProc = procedimiento;
  clase.hInstance = GetModuleHandleW(nullptr);
  clase.hIcon = LoadIconW(clase.hInstance, MAKEINTRESOURCEW(1));
  clase.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  clase.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  clase.lpszClassName = kClase;
  if (!RegisterClassExW(&clase) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    Fallo_Del_Sistema("RegisterClassExW");
}

const Rotulos* Rotulos_De(Control caja) {
  for (const Rotulos& rotulos : kRotulos)
    if (rotulos.caja == caja) return &rotulos;
  return nullptr;
}

bool Es_Rotulo(Control control) {
  return std::any_of(kRotulos.begin(), kRotulos.end(), [control](const Rotulos& r) {
    return r.numero == control || r.leyenda == control;
  });
}

const char* Nombre_Propio_De(Control control) {
  for (const Nombre_Propio& propio : kNombresPropios)
    if (propio.control == control) return propio.nombre;
  return nullptr;
}

bool Es_Tecla_Sin_Efecto(const MSG& mensaje) {
  const bool tecla =
      mensaje.message == WM_KEYDOWN || mensaje.message == WM_KEYUP || mensaje.message == WM_CHAR;
  return tecla && (mensaje.wParam == VK_RETURN || mensaje.wParam == VK_ESCAPE);
}

}  // namespace

VentanaWin32::VentanaWin32() {
  fondos_.fill(kSinFondo);
  const INITCOMMONCONTROLSEX comunes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&comunes);
  Registrar_Clase(&Procedimiento);
  // The size comes with the dpi, once the window exists on its monitor.
  if (!CreateWindowExW(0, kClase, Ancho(kTituloVentana).c_str(), kEstilo, CW_USEDEFAULT,
                       CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this))
    Fallo_Del_Sistema("CreateWindowExW");
  Crear_Controles();
  Poner_Fondo(Control::Text1, kRojoClaro);
  Aplicar_Dpi(GetDpiForWindow(hwnd_));
}

VentanaWin32::~VentanaWin32() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

HWND VentanaWin32::Hwnd(Control control) const {
  return controles_[Indice(control)];
}

// Created in tab order, so that Tab visits the controls that take the focus in it. Screen
// readers name a box by the static text just before it in z-order: each path box comes after
// its step marker and its caption, Text1 and ProgressBar1 after a hidden static text holding
// their names. Static texts never take the focus, so the tab order stays as designed.
void VentanaWin32::Crear_Controles() {
  std::array<const Diseno_Control*, kDiseno.size()> orden{};
  for (const Diseno_Control& diseno : kDiseno) orden[diseno.tabulacion] = &diseno;
  for (const Diseno_Control* diseno : orden) {
    if (Es_Rotulo(diseno->control)) continue;  // made just before its box
    if (const Rotulos* rotulos = Rotulos_De(diseno->control)) {
      Crear_Control(Diseno_De(rotulos->numero));
      Crear_Control(Diseno_De(rotulos->leyenda));
    }
    if (const char* nombre = Nombre_Propio_De(diseno->control)) Crear_Nombre_Oculto(nombre);
    Crear_Control(*diseno);
  }
}

// The bar draws no text: its window text is its name too, which some readers take instead.
void VentanaWin32::Crear_Control(const Diseno_Control& diseno) {
  const Clase clase = Clase_De(diseno.tipo);
  const DWORD estilo = WS_CHILD | clase.estilo | (diseno.visible ? WS_VISIBLE : 0);
  const char* texto = diseno.tipo == Tipo::Barra ? Nombre_Propio_De(diseno.control) : diseno.texto;
  const size_t i = Indice(diseno.control);
  controles_[i] =
      CreateWindowExW(clase.extendido, clase.nombre, Ancho(texto).c_str(), estilo, 0, 0, 0, 0,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPrimerId + i)),
                      GetModuleHandleW(nullptr), nullptr);
  if (!controles_[i]) Fallo_Del_Sistema("CreateWindowExW");
}

void VentanaWin32::Crear_Nombre_Oculto(const char* nombre) {
  if (!CreateWindowExW(0, L"STATIC", Ancho(nombre).c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0,
                       0, 0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr))
    Fallo_Del_Sistema("CreateWindowExW");
}

// Letters and places every control for the dpi, and sizes the window around the design.
void VentanaWin32::Aplicar_Dpi(UINT dpi) {
  Tipografia normal = Crear_Fuente(dpi, false);
  Tipografia negrita = Crear_Fuente(dpi, true);
  for (const Diseno_Control& diseno : kDiseno) {
    const HFONT fuente = (diseno.negrita ? negrita : normal).get();
    SendMessageW(Hwnd(diseno.control), WM_SETFONT, reinterpret_cast<WPARAM>(fuente), FALSE);
  }
  normal_ = std::move(normal);  // the old fonts go only after no control uses them
  negrita_ = std::move(negrita);
  Colocar_Controles(dpi);
  RECT marco{0, 0, A_Pixeles(kAnchoCliente, dpi), A_Pixeles(kAltoCliente, dpi)};
  AdjustWindowRectExForDpi(&marco, kEstilo, FALSE, 0, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, marco.right - marco.left, marco.bottom - marco.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void VentanaWin32::Colocar_Controles(UINT dpi) {
  const HDC dc = GetDC(hwnd_);
  for (const Diseno_Control& diseno : kDiseno) {
    const RECT r = Rectangulo_De(diseno, dc, dpi);
    SetWindowPos(Hwnd(diseno.control), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ReleaseDC(hwnd_, dc);
}

// A label takes the size of its caption on one line in its own font, from its designed corner.
RECT VentanaWin32::Rectangulo_De(const Diseno_Control& diseno, HDC dc, UINT dpi) const {
  const int x = A_Pixeles(diseno.left, dpi);
  const int y = A_Pixeles(diseno.top, dpi);
  if (diseno.tipo != Tipo::Etiqueta)
    return {x, y, x + A_Pixeles(diseno.width, dpi), y + A_Pixeles(diseno.height, dpi)};
  const std::wstring texto = Ancho(diseno.texto);
  const HGDIOBJ antes = SelectObject(dc, (diseno.negrita ? negrita_ : normal_).get());
  SIZE medida{};
  GetTextExtentPoint32W(dc, texto.c_str(), static_cast<int>(texto.size()), &medida);
  SelectObject(dc, antes);
  return {x, y, x + medida.cx, y + medida.cy};
}

void VentanaWin32::Mostrar_Ventana(int modo) {
  ShowWindow(hwnd_, modo);
  UpdateWindow(hwnd_);
  SetFocus(Hwnd(Control::TextZorvalina));
}

int VentanaWin32::Ejecutar() {
  MSG mensaje{};
  while (GetMessageW(&mensaje, nullptr, 0, 0) > 0) Despachar(mensaje);
  return static_cast<int>(mensaje.wParam);
}

// Hands each message to the object of its window, which CreateWindowExW was given.
LRESULT CALLBACK VentanaWin32::Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l) {
  if (mensaje == WM_NCCREATE) {
    auto* creada = static_cast<VentanaWin32*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    creada->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creada));
  }
  auto* ventana = reinterpret_cast<VentanaWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return ventana ? ventana->Atender(mensaje, w, l) : DefWindowProcW(hwnd, mensaje, w, l);
}

LRESULT VentanaWin32::Atender(UINT mensaje, WPARAM w, LPARAM l) {
  switch (mensaje) {
    case WM_COMMAND:
      if (HIWORD(w) == BN_CLICKED && l != 0) Clic(LOWORD(w));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return Colorear(mensaje, reinterpret_cast<HWND>(l), reinterpret_cast<HDC>(w));
    case WM_ACTIVATE:
      Activar(w);
      return 0;
    case WM_DPICHANGED: {
      const RECT* sugerido = reinterpret_cast<const RECT*>(l);
      Aplicar_Dpi(HIWORD(w));
      SetWindowPos(hwnd_, nullptr, sugerido->left, sugerido->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    // Closing the window and the end of the session do what "Salir" does. A running merge
    // stops at its next pump and removes its temporary output; until it has, no further
    // message is handled (see Procesar_Eventos), so WM_ENDSESSION, after which the system may
    // end the process, comes only once the merge has returned.
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
      if (form_) form_->Command1_Click();
      return mensaje == WM_QUERYENDSESSION;
    case WM_ENDSESSION:
      if (w && form_) form_->Command1_Click();
      return 0;
    default:
      return DefWindowProcW(hwnd_, mensaje, w, l);
  }
}

void VentanaWin32::Clic(int id) {
  if (!form_) return;
  switch (static_cast<Control>(id - kPrimerId)) {
    case Control::cmdOpen:
      return form_->cmdOpen_Click();
    case Control::cmdIni:
      return form_->cmdIni_Click();
    case Control::Command1:
      return form_->Command1_Click();
    default:
      return;
  }
}

// The focus goes back where it was when the window is activated again (after the dialogs, or
// after another program), and at first to the first stop of the tab order.
void VentanaWin32::Activar(WPARAM w) {
  if (LOWORD(w) == WA_INACTIVE) {
    const HWND foco = GetFocus();
    if (foco && IsChild(hwnd_, foco)) foco_ = foco;
    return;
  }
  const bool vale = foco_ && IsWindowVisible(foco_) && IsWindowEnabled(foco_);
  SetFocus(vale ? foco_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE));
}

LRESULT VentanaWin32::Colorear(UINT mensaje, HWND control, HDC dc) {
  const auto i = static_cast<size_t>(GetDlgCtrlID(control) - kPrimerId);
  if (i >= fondos_.size() || fondos_[i] == kSinFondo)
    return DefWindowProcW(hwnd_, mensaje, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  SetTextColor(dc, kTextoEstado);  // the theme's text colour may be light, as the background is
  SetBkColor(dc, fondos_[i]);
  return reinterpret_cast<LRESULT>(pinceles_[i].get());
}

void VentanaWin32::Mostrar(Control control, bool visible) {
  const HWND h = Hwnd(control);
  // Hiding the control that has the focus would leave the keyboard with nothing to act on.
  if (!visible && GetFocus() == h) SetFocus(GetNextDlgTabItem(hwnd_, h, FALSE));
  ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
}

void VentanaWin32::Poner_Texto(Control control, const std::string& texto) {
  SetWindowTextW(Hwnd(control), Ancho(texto).c_str());
}

std::string VentanaWin32::Texto(Control control) const {
  const HWND h = Hwnd(control);
  std::wstring texto(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  texto.resize(
      static_cast<size_t>(GetWindowTextW(h, texto.data(), static_cast<int>(texto.size()))));
  return Estrecho(texto);
}

void VentanaWin32::Poner_Fondo(Control control, unsigned bgr) {
  const size_t i = Indice(control);
  fondos_[i] = bgr;  // COLORREF packs red in the lowest byte too
  pinceles_[i] = Pincel(CreateSolidBrush(bgr));
  InvalidateRect(Hwnd(control), nullptr, TRUE);
}

void VentanaWin32::Fijar_Barra(int maximo, int valor) {
  const HWND barra = Hwnd(Control::ProgressBar1);
  SendMessageW(barra, PBM_SETRANGE32, 0, maximo);
  SendMessageW(barra, PBM_SETPOS, static_cast<WPARAM>(valor), 0);
}

// A reader speaks a control as it gains the focus, so one that has it already loses it first;
// the live-region event is raised too, for readers that follow the changes of a live region. A
// window the user has left is not taken back: the control gets the focus when the window is
// active again (see Activar).
void VentanaWin32::Anunciar(Control control) {
  const HWND h = Hwnd(control);
  if (GetActiveWindow() != hwnd_) {
    foco_ = h;
  } else {
    if (GetFocus() == h) SetFocus(nullptr);
    SetFocus(h);
  }
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, h, OBJID_CLIENT, CHILDID_SELF);
}

void VentanaWin32::Despachar(MSG& mensaje) {
  const bool nuestro = mensaje.hwnd == hwnd_ || IsChild(hwnd_, mensaje.hwnd);
  // No button is the default or the cancel button.
  if (nuestro && Es_Tecla_Sin_Efecto(mensaje)) return;
  if (nuestro && IsDialogMessageW(hwnd_, &mensaje)) return;  // Tab and the arrow keys
  TranslateMessage(&mensaje);
  DispatchMessageW(&mensaje);
}

// Once the program is ending nothing more is handled here: the running merge returns first.
void VentanaWin32::Procesar_Eventos() {
  MSG mensaje{};
  while (!cerrando_ && PeekMessageW(&mensaje, nullptr, 0, 0, PM_REMOVE)) {
    if (mensaje.message == WM_QUIT) return Fin_Pedido_Desde_Fuera(mensaje);
    Despachar(mensaje);
  }
}

void VentanaWin32::Esperar() {
  esperando_ = true;
  MSG mensaje{};
  while (esperando_ && !cerrando_) {
    const BOOL hay = GetMessageW(&mensaje, nullptr, 0, 0);
    if (hay == -1) break;
    if (hay == 0) return Fin_Pedido_Desde_Fuera(mensaje);
    Despachar(mensaje);
  }
  esperando_ = false;
}

// WM_QUIT inside a handler: the outer loop must see it too, and the run must stop as for "Salir".
void VentanaWin32::Fin_Pedido_Desde_Fuera(const MSG& quit) {
  esperando_ = false;
  PostQuitMessage(static_cast<int>(quit.wParam));
  if (!cerrando_ && form_) form_->Command1_Click();
}

void VentanaWin32::Terminar_Espera() {
  esperando_ = false;
  // Wakes the loop in Esperar when the click came as a message sent from another thread.
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void VentanaWin32::Cerrar() {
  cerrando_ = true;
  ShowWindow(hwnd_, SW_HIDE);
  PostQuitMessage(0);
}
