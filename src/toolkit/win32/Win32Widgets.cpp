// The Win32 backend of the toolkit: a real window behind each control,
// made from the table of window kinds below, kept in step with the
// control's properties.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "toolkit/DirControls.h"
#include "toolkit/Forms.h"
#include "toolkit/win32/Win32Peers.h"
#include "toolkit/win32/Win32Widgets.h"

namespace Win32Backend {

HINSTANCE ModuleInstance = nullptr;

}  // namespace Win32Backend

using namespace Win32Backend;

namespace {

// Window rectangle of a form from its client bounds.
RECT FormRect(TForm& form, DWORD style, DWORD exStyle)
{
    const TBounds& b = form.Bounds();
    RECT rc = {0, 0, b.Width, b.Height};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int left = b.Left, top = b.Top;
    if (form.Position == TFormPosition::ScreenCenter) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    return {left, top, left + width, top + height};
}

void FillItems(TControl& control, HWND hwnd)
{
    if (control.Kind() == TControlKind::DirectoryListBox) {
        auto& list = static_cast<TDirectoryListBox&>(control);
        SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
        SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
        for (const TDirectoryListBox::Entry& e : list.Entries())
            SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.Text.c_str()));
        SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
        SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    } else if (control.Kind() == TControlKind::DriveComboBox) {
        auto& box = static_cast<TDriveComboBox&>(control);
        SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
        for (const TDrive& drive : box.Drives())
            SendMessageA(hwnd, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(TDriveComboBox::TextOf(drive).c_str()));
        SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(box.ItemIndex()), 0);
    }
}

struct TimerEntry {
    UINT_PTR Id;
    TTimer* Timer;
};
std::vector<TimerEntry> timers;

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    for (const TimerEntry& entry : timers)
        if (entry.Id == id) {
            entry.Timer->Tick();
            return;
        }
}

class TWin32Widgets : public IWidgetBackend {
public:
    void CreatePeer(TControl& control) override;
    void DestroyPeer(TControl& control) override;
    void Update(TControl& control, TProp prop) override;
    void Repaint(TControl& control) override;
    void* NativeHandle(TControl& control) override;
    bool StoreText(TControl& control) override;
    TTextSize MeasureText(const TFont& font, const std::string& text) override;
    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;
    void ShowModal(TForm& form) override;
    void BringToFront(TForm& form) override;
    void RunMessageLoop() override;
    void PostQuit() override;

private:
    void Place(TControl& control);
};

DWORD FormStyle(const TForm& form)
{
    if (form.BorderStyle == TBorderStyle::None) return WS_POPUP | WS_CLIPCHILDREN;
    DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    if (form.HasSystemMenu) style |= WS_SYSMENU;
    return style;
}

DWORD FormExStyle(const TForm& form)
{
    DWORD ex = form.BorderStyle == TBorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
    if (form.StayOnTop) ex |= WS_EX_TOPMOST;
    return ex;
}

// A form is a top-level window of our own class, owned by the main form.
HWND CreateFormWindow(TForm& form)
{
    DWORD style = FormStyle(form), ex = FormExStyle(form);
    RECT rc = FormRect(form, style, ex);
    HWND owner = Application().MainForm != nullptr && Application().MainForm != &form &&
                         Application().MainForm->Peer != nullptr
                     ? PeerOf(*Application().MainForm)->Hwnd
                     : nullptr;
    HWND hwnd = CreateWindowExA(ex, FormClass, form.Caption().c_str(), style, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, owner, nullptr,
                                ModuleInstance, nullptr);
    if (hwnd != nullptr && form.Icon != 0) {
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(IconFor(form.Icon, 16)));
        SendMessageA(hwnd, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(IconFor(form.Icon, 32)));
    }
    return hwnd;
}

// Styles that follow a control's own settings.
void AddStyles(const TControl& control, DWORD& style, DWORD& exStyle)
{
    if (control.Kind() == TControlKind::Label)
        style |= static_cast<const TLabel&>(control).WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    if (control.Kind() == TControlKind::Memo) {
        const TMemo& memo = static_cast<const TMemo&>(control);
        if (memo.TabStop) style |= WS_TABSTOP;
        if (memo.ReadOnly) style |= ES_READONLY;
        if (!memo.WordWrap) style |= ES_AUTOHSCROLL;
        if (memo.Border) exStyle |= WS_EX_CLIENTEDGE;
    }
}

void SetUpProgressBar(TControl& control, HWND hwnd)
{
    const TProgressBar& bar = static_cast<const TProgressBar&>(control);
    SendMessageA(hwnd, PBM_SETRANGE32, bar.Min, bar.Max);
    SendMessageA(hwnd, PBM_SETPOS, bar.Position(), 0);
}

void SetUpMemo(TControl& control, HWND hwnd)
{
    // As much text as the system allows; StoreText tells when that ends.
    SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
    Backend()->StoreText(control);
}

// The window behind each kind of child control.
struct TWindowKind {
    TControlKind Kind;
    const char* Class;
    DWORD Style;
    DWORD ExStyle;
    bool ShowsCaption;  // created with the control's caption as its text
    bool ListHeight;    // a drop-down: the height given is the closed box's
    WNDPROC Proc;       // subclassed with this, or nullptr
    void (*SetUp)(TControl& control, HWND hwnd);  // after the font is set, or nullptr
};

const TWindowKind WindowKinds[] = {
    {TControlKind::Panel, PanelClass, WS_CLIPCHILDREN, 0, false, false, nullptr, nullptr},
    // Labels show texts from the control file and from the user: an "&" in
    // them is a character, not an accelerator mark.
    {TControlKind::Label, "Static", SS_NOPREFIX, 0, true, false, nullptr, nullptr},
    {TControlKind::Image, "Static", SS_OWNERDRAW, 0, false, false, nullptr, nullptr},
    {TControlKind::Bevel, "Static", SS_OWNERDRAW, 0, false, false, nullptr, nullptr},
    {TControlKind::Button, "Button", BS_PUSHBUTTON, 0, true, false, ButtonProc, nullptr},
    {TControlKind::Edit, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true, false,
     nullptr, nullptr},
    {TControlKind::Memo, "Edit", ES_MULTILINE | ES_NOHIDESEL, 0, false, false, MemoProc, SetUpMemo},
    {TControlKind::ProgressBar, PROGRESS_CLASSA, 0, 0, false, false, nullptr, SetUpProgressBar},
    {TControlKind::DirectoryListBox, "ListBox",
     WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, false, false, ListProc, FillItems},
    {TControlKind::DriveComboBox, "ComboBox",
     WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, false,
     true, nullptr, FillItems},
};

const TWindowKind* WindowKindOf(TControlKind kind)
{
    for (const TWindowKind& k : WindowKinds)
        if (k.Kind == kind) return &k;
    return nullptr;
}

// The common controls and the program's own window classes, readied for
// the first window rather than at start: a silent run makes none, and
// under Wine readying them starts the desktop's process.
void ReadyWindowClasses()
{
    static bool ready = false;
    if (ready) return;
    ready = true;
    Win32WindowsInUse();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto comctl = static_cast<HMODULE>(LoadSystemLibrary("comctl32.dll"));
    auto init = comctl != nullptr ? reinterpret_cast<TInit>(reinterpret_cast<void*>(
                                        GetProcAddress(comctl, "InitCommonControlsEx")))
                                  : nullptr;
    if (init != nullptr) init(&icc);
    RegisterClasses();
}

// Height of a drop-down's window with its list open.
const int DropDownHeight = 200;

void TWin32Widgets::CreatePeer(TControl& control)
{
    ReadyWindowClasses();
    HWND hwnd = nullptr;
    const TWindowKind* kind = nullptr;
    if (control.Kind() == TControlKind::Form) {
        hwnd = CreateFormWindow(static_cast<TForm&>(control));
    } else {
        kind = WindowKindOf(control.Kind());
        if (kind == nullptr) return;
        const TBounds& b = control.Bounds();
        HWND parent = control.Parent() != nullptr ? PeerOf(*control.Parent())->Hwnd : nullptr;
        DWORD style =
            WS_CHILD | WS_CLIPSIBLINGS | (control.Visible() ? WS_VISIBLE : 0) | kind->Style;
        DWORD exStyle = kind->ExStyle;
        AddStyles(control, style, exStyle);
        const char* text = kind->ShowsCaption ? control.Caption().c_str() : "";
        int height = kind->ListHeight ? DropDownHeight : b.Height;
        hwnd = CreateWindowExA(exStyle, kind->Class, text, style, b.Left, b.Top, b.Width, height,
                               parent, nullptr, ModuleInstance, nullptr);
    }
    if (hwnd == nullptr) return;

    auto peer = std::make_unique<TPeer>();
    peer->Control = &control;
    peer->Hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    control.Peer = peer.release();
    // Later controls lie above earlier ones and come first in the tab order.
    if (control.Parent() != nullptr)
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font())), FALSE);
    if (!control.Enabled()) EnableWindow(hwnd, FALSE);
    if (kind == nullptr) return;
    if (kind->Proc != nullptr) Subclass(hwnd, kind->Proc);
    if (kind->SetUp != nullptr) kind->SetUp(control, hwnd);
}

void TWin32Widgets::DestroyPeer(TControl& control)
{
    TPeer* peer = PeerOf(control);
    if (peer == nullptr) return;
    SetWindowLongPtrA(peer->Hwnd, GWLP_USERDATA, 0);
    DestroyWindow(peer->Hwnd);
    DropComposite(*peer);
    if (peer->SolidBrush != nullptr) DeleteObject(peer->SolidBrush);
    delete peer;
    control.Peer = nullptr;
}

void TWin32Widgets::Place(TControl& control)
{
    HWND hwnd = PeerOf(control)->Hwnd;
    if (control.Kind() == TControlKind::Form) {
        TForm& form = static_cast<TForm&>(control);
        RECT rc = FormRect(form, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
        MoveWindow(hwnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
        return;
    }
    const TBounds& b = control.Bounds();
    MoveWindow(hwnd, b.Left, b.Top, b.Width, b.Height, TRUE);
}

void TWin32Widgets::Update(TControl& control, TProp prop)
{
    TPeer* peer = PeerOf(control);
    if (peer == nullptr) return;
    HWND hwnd = peer->Hwnd;
    switch (prop) {
    case TProp::Bounds: Place(control); break;
    case TProp::Caption:
    case TProp::Text: SetWindowTextA(hwnd, control.Caption().c_str()); break;
    case TProp::Visible:
        if (control.Kind() == TControlKind::Form)
            ShowWindow(hwnd, !control.Visible()                       ? SW_HIDE
                             : static_cast<TForm&>(control).Maximized ? SW_SHOWMAXIMIZED
                                                                      : SW_SHOW);
        else
            ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case TProp::Enabled: EnableWindow(hwnd, control.Enabled() ? TRUE : FALSE); break;
    case TProp::Font:
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font())), TRUE);
        break;
    case TProp::Color: InvalidateRect(hwnd, nullptr, TRUE); break;
    case TProp::Position:
        if (control.Kind() == TControlKind::ProgressBar) {
            // The bar moves while the run holds the thread: shown at once.
            SendMessageA(hwnd, PBM_SETPOS, static_cast<const TProgressBar&>(control).Position(), 0);
            UpdateWindow(hwnd);
            FlushToScreen();
        }
        break;
    case TProp::Picture: break;
    case TProp::Items: FillItems(control, hwnd); break;
    }
    if (prop == TProp::Position && control.Kind() == TControlKind::DriveComboBox)
        SendMessageA(hwnd, CB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<TDriveComboBox&>(control).ItemIndex()), 0);
    if (IsContainer(control) && (prop == TProp::Color || prop == TProp::Bounds))
        RefreshComposite(control);
    if (IsPaintedByParent(control) && control.Parent() != nullptr) RefreshComposite(*control.Parent());
}

void TWin32Widgets::Repaint(TControl& control)
{
    TPeer* peer = PeerOf(control);
    if (peer == nullptr) return;
    RedrawWindow(peer->Hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FlushToScreen();
}

void* TWin32Widgets::NativeHandle(TControl& control)
{
    TPeer* peer = PeerOf(control);
    return peer != nullptr ? peer->Hwnd : nullptr;
}

bool TWin32Widgets::StoreText(TControl& control)
{
    TPeer* peer = PeerOf(control);
    if (peer == nullptr) return true;
    const std::string& text = control.Caption();
    SetWindowTextA(peer->Hwnd, text.c_str());
    // Shown from its first line.
    SendMessageA(peer->Hwnd, EM_SETSEL, 0, 0);
    SendMessageA(peer->Hwnd, EM_SCROLLCARET, 0, 0);
    return static_cast<std::size_t>(GetWindowTextLengthA(peer->Hwnd)) == text.size();
}

TTextSize TWin32Widgets::MeasureText(const TFont& font, const std::string& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontFor(font));
    RECT rc = {0, 0, 0, 0};
    // An empty caption still takes one line's height.
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rc,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {text.empty() ? 0 : rc.right, rc.bottom};
}

void TWin32Widgets::StartTimer(TTimer& timer)
{
    UINT_PTR id = SetTimer(nullptr, 0, timer.Interval, TimerProc);
    timers.push_back({id, &timer});
    timer.Peer = reinterpret_cast<void*>(id);
}

void TWin32Widgets::StopTimer(TTimer& timer)
{
    UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.Peer);
    KillTimer(nullptr, id);
    for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->Id == id) {
            timers.erase(it);
            break;
        }
    timer.Peer = nullptr;
}

// Alt and a button's accelerator letter click the button while it is
// enabled and shown.
bool ClickAccelerator(TControl& parent, char key)
{
    for (TControl* child : parent.Children()) {
        if (!child->Visible()) continue;
        if (child->Kind() == TControlKind::Button && child->Enabled()) {
            const std::string& caption = child->Caption();
            std::string::size_type amp = caption.find('&');
            if (amp != std::string::npos && amp + 1 < caption.size() &&
                CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(caption[amp + 1])))) ==
                    CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(key))))) {
                static_cast<TButton*>(child)->Click();
                return true;
            }
        }
        if (ClickAccelerator(*child, key)) return true;
    }
    return false;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

void TWin32Widgets::ShowModal(TForm& form)
{
    HWND dialog = PeerOf(form)->Hwnd;
    // The other windows of the program take no input while the form is up.
    std::vector<HWND> all, disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all)
        if (hwnd != dialog && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
            EnableWindow(hwnd, FALSE);
            disabled.push_back(hwnd);
        }
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);

    MSG msg;
    while (form.ModalResult == TModalResult::None && !Application().Terminated()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the program's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (msg.message == WM_SYSCHAR && ClickAccelerator(form, static_cast<char>(msg.wParam)))
            continue;
        if (IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
}

void TWin32Widgets::BringToFront(TForm& form)
{
    TPeer* peer = PeerOf(form);
    if (peer == nullptr) return;
    SetForegroundWindow(peer->Hwnd);
    BringWindowToTop(peer->Hwnd);
}

void TWin32Widgets::RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TWin32Widgets::PostQuit() { PostQuitMessage(0); }

}  // namespace

void InstallWin32Widgets(void* hInstance)
{
    static TWin32Widgets widgets;
    ModuleInstance = static_cast<HINSTANCE>(hInstance);
    SetBackend(&widgets);
}
