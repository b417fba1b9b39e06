// What the toolkit needs from the window system. The exe installs the Win32
// backend; without one the controls are plain objects (unit tests).
#pragma once
#include <string>

#include "toolkit/Controls.h"

class TForm;

struct TTextSize {
    int Width = 0, Height = 0;
};

class IWidgetBackend {
public:
    virtual ~IWidgetBackend() = default;
    virtual void CreatePeer(TControl& control) = 0;
    virtual void DestroyPeer(TControl& control) = 0;
    virtual void Update(TControl& control, TProp prop) = 0;
    virtual void Repaint(TControl& control) = 0;
    // The system's handle of the control's window, for system calls that
    // want an owner window.
    virtual void* NativeHandle(TControl& control) = 0;
    // Puts the control's caption into its window; false when the window
    // cannot hold all of it.
    virtual bool StoreText(TControl& control) = 0;
    virtual TTextSize MeasureText(const TFont& font, const std::string& text) = 0;
    virtual void StartTimer(TTimer& timer) = 0;
    virtual void StopTimer(TTimer& timer) = 0;
    virtual void ShowModal(TForm& form) = 0;
    virtual void BringToFront(TForm& form) = 0;
    virtual void RunMessageLoop() = 0;
    virtual void PostQuit() = 0;
};

// The installed backend, or nullptr.
IWidgetBackend* Backend();
void SetBackend(IWidgetBackend* backend);

// Text size without a window system: 6 pixels a character, one line high.
TTextSize EstimateTextSize(const TFont& font, const std::string& text);
