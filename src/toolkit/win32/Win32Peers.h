// What the three parts of the Win32 backend share: the state kept for each
// control's window, the painting of what the standard controls cannot draw
// themselves (Win32Painting.cpp) and the window procedures
// (Win32WindowProcs.cpp). Only the backend's own sources include this.
#pragma once
#include <windows.h>

#include "toolkit/Controls.h"

namespace Win32Backend {

// The exe's module: resources and window classes are its.
extern HINSTANCE ModuleInstance;

extern const char* const FormClass;
extern const char* const PanelClass;

// What the backend keeps for each control's window.
struct TPeer {
    HWND Hwnd = nullptr;
    TControl* Control = nullptr;
    // Containers: their own background, pictures, bevels and transparent
    // labels, painted together; children take their background from it.
    HBITMAP Composite = nullptr;
    HBRUSH CompositeBrush = nullptr;
    HBRUSH SolidBrush = nullptr;
    TColor SolidColor = 0;
};

inline TPeer* PeerOf(TControl& control) { return static_cast<TPeer*>(control.Peer); }

inline TControl* ControlOf(HWND hwnd)
{
    return reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

COLORREF Rgb(TColor color);
bool IsContainer(const TControl& c);
// Controls that the container paints into its composite.
bool IsPaintedByParent(const TControl& c);

// Painting (Win32Painting.cpp).
HFONT FontFor(const TFont& font);
HICON IconFor(int id, int size);
void DropComposite(TPeer& peer);
// Paints part of a container's composite into dc at (0, 0).
void BlitComposite(TPeer& container, HDC dc, int left, int top, int width, int height);
void RefreshComposite(TControl& container);
// The brush and colours of a child's background, for WM_CTLCOLOR*.
LRESULT ControlColor(TPeer& container, HDC dc, HWND child);
// An entry of the directory list or the drive box; false when there is none.
bool DrawOwnedItem(const DRAWITEMSTRUCT& item, TControl& control);
void FlushToScreen();

// Window procedures (Win32WindowProcs.cpp).
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK MemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void Subclass(HWND hwnd, WNDPROC proc);
void RegisterClasses();

}  // namespace Win32Backend
