#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "toolkit/DirControls.h"
#include "toolkit/Forms.h"
#include "toolkit/win32/Win32Widgets.h"

namespace {

const char* const FormClass = "PellwickForm";
const char* const PanelClass = "PellwickPanel";

HINSTANCE instance = nullptr;

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

TPeer* PeerOf(TControl& control) { return static_cast<TPeer*>(control.Peer); }

TControl* ControlOf(HWND hwnd)
{
    return reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

COLORREF Rgb(TColor color)
{
    return (color & 0xFF000000) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

bool IsContainer(const TControl& c)
{
    return c.Kind() == TControlKind::Form || c.Kind() == TControlKind::Panel;
}

// Controls that the container paints into its composite.
bool IsPaintedByParent(const TControl& c)
{
    if (c.Kind() == TControlKind::Image || c.Kind() == TControlKind::Bevel) return true;
    return c.Kind() == TControlKind::Label && static_cast<const TLabel&>(c).Transparent;
}

// Fonts are shared by all controls that use the same one.
HFONT FontFor(const TFont& font)
{
    static std::map<std::string, HFONT> cache;
    std::string key = font.Name + "|" + std::to_string(font.Height) + (font.Bold ? "b" : "") +
                      (font.Italic ? "i" : "");
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    LOGFONTA lf = {};
    lf.lfHeight = -font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&lf);
    cache[key] = handle;
    return handle;
}

HBITMAP BitmapFor(int id)
{
    static std::map<int, HBITMAP> cache;
    auto found = cache.find(id);
    if (found != cache.end()) return found->second;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    cache[id] = bitmap;
    return bitmap;
}

HICON IconFor(int id, int size)
{
    static std::map<int, HICON> cache;
    int key = id * 1000 + size;
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    HICON icon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    cache[key] = icon;
    return icon;
}

void FillColor(HDC dc, const RECT& rc, TColor color)
{
    HBRUSH brush = CreateSolidBrush(Rgb(color));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// A raised or lowered 3-D frame, one pixel at a time; shrinks rc.
void Frame3D(HDC dc, RECT& rc, TBevelCut cut, int width)
{
    if (cut == TBevelCut::None) return;
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    COLORREF topLeft = cut == TBevelCut::Raised ? light : dark;
    COLORREF bottomRight = cut == TBevelCut::Raised ? dark : light;
    for (int i = 0; i < width; ++i) {
        Line(dc, rc.left, rc.bottom - 1, rc.left, rc.top, topLeft);
        Line(dc, rc.left, rc.top, rc.right, rc.top, topLeft);
        Line(dc, rc.right - 1, rc.top, rc.right - 1, rc.bottom, bottomRight);
        Line(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1, bottomRight);
        InflateRect(&rc, -1, -1);
    }
}

void DrawBevel(HDC dc, const TBevel& bevel)
{
    const TBounds& b = bevel.Bounds();
    COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    int right = b.Left + b.Width;
    int bottom = b.Top + b.Height;
    switch (bevel.Shape) {
    case TBevelShape::TopLine:
        Line(dc, b.Left, b.Top, right, b.Top, dark);
        Line(dc, b.Left, b.Top + 1, right, b.Top + 1, light);
        break;
    case TBevelShape::BottomLine:
        Line(dc, b.Left, bottom - 2, right, bottom - 2, dark);
        Line(dc, b.Left, bottom - 1, right, bottom - 1, light);
        break;
    case TBevelShape::Frame: {
        RECT rc = {b.Left, b.Top, right, bottom};
        Frame3D(dc, rc, TBevelCut::Lowered, 1);
        break;
    }
    }
}

void DrawImage(HDC dc, const TImage& image)
{
    const TBounds& b = image.Bounds();
    if (image.IsIcon) {
        DrawIconEx(dc, b.Left, b.Top, IconFor(image.Picture, 32), 32, 32, 0, nullptr, DI_NORMAL);
        return;
    }
    HBITMAP bitmap = BitmapFor(image.Picture);
    if (bitmap == nullptr) return;
    BITMAP info;
    GetObject(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    if (image.Stretch) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, b.Left, b.Top, b.Width, b.Height, source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    } else {
        BitBlt(dc, b.Left, b.Top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

// Labels show texts from the control file and from the user: an "&" in
// them is a character, not an accelerator mark.
UINT LabelTextFormat(const TLabel& label)
{
    return DT_LEFT | DT_NOCLIP | DT_NOPREFIX | (label.WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
}

void DrawLabelText(HDC dc, const TLabel& label)
{
    const TBounds& b = label.Bounds();
    RECT rc = {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
    HGDIOBJ old = SelectObject(dc, FontFor(label.Font()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Rgb(label.Font().Color));
    DrawTextA(dc, label.Caption().c_str(), -1, &rc, LabelTextFormat(label));
    SelectObject(dc, old);
}

void DropComposite(TPeer& peer)
{
    if (peer.Composite != nullptr) DeleteObject(peer.Composite);
    if (peer.CompositeBrush != nullptr) DeleteObject(peer.CompositeBrush);
    peer.Composite = nullptr;
    peer.CompositeBrush = nullptr;
}

void BuildComposite(TPeer& peer)
{
    if (peer.Composite != nullptr) return;
    RECT rc;
    GetClientRect(peer.Hwnd, &rc);
    HDC screen = GetDC(nullptr);
    peer.Composite = CreateCompatibleBitmap(screen, rc.right > 0 ? rc.right : 1,
                                            rc.bottom > 0 ? rc.bottom : 1);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, peer.Composite);

    TControl& control = *peer.Control;
    FillColor(dc, rc, control.Color());
    for (TControl* child : control.Children()) {
        if (!child->Visible()) continue;
        switch (child->Kind()) {
        case TControlKind::Image: DrawImage(dc, static_cast<TImage&>(*child)); break;
        case TControlKind::Bevel: DrawBevel(dc, static_cast<TBevel&>(*child)); break;
        case TControlKind::Label:
            if (static_cast<TLabel&>(*child).Transparent)
                DrawLabelText(dc, static_cast<TLabel&>(*child));
            break;
        default: break;
        }
    }
    if (control.Kind() == TControlKind::Panel) {
        const TPanel& panel = static_cast<const TPanel&>(control);
        RECT frame = rc;
        Frame3D(dc, frame, panel.BevelOuter, panel.BevelWidth);
        Frame3D(dc, frame, panel.BevelInner, panel.BevelWidth);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    peer.CompositeBrush = CreatePatternBrush(peer.Composite);
}

// Paints part of a container's composite into dc at (0, 0).
void BlitComposite(TPeer& container, HDC dc, int left, int top, int width, int height)
{
    BuildComposite(container);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, container.Composite);
    BitBlt(dc, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void RefreshComposite(TControl& container)
{
    TPeer* peer = PeerOf(container);
    if (peer == nullptr) return;
    DropComposite(*peer);
    RedrawWindow(peer->Hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HBRUSH SolidBrushFor(TPeer& peer, TColor color)
{
    if (peer.SolidBrush == nullptr || peer.SolidColor != color) {
        if (peer.SolidBrush != nullptr) DeleteObject(peer.SolidBrush);
        peer.SolidBrush = CreateSolidBrush(Rgb(color));
        peer.SolidColor = color;
    }
    return peer.SolidBrush;
}

LRESULT ControlColor(TPeer& container, HDC dc, HWND child)
{
    TControl* control = ControlOf(child);
    if (control == nullptr) return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    SetTextColor(dc, Rgb(control->Font().Color));
    if (IsPaintedByParent(*control)) {
        BuildComposite(container);
        SetBkMode(dc, TRANSPARENT);
        SetBrushOrgEx(dc, -control->Left(), -control->Top(), nullptr);
        return reinterpret_cast<LRESULT>(container.CompositeBrush);
    }
    SetBkColor(dc, Rgb(control->Color()));
    return reinterpret_cast<LRESULT>(SolidBrushFor(*PeerOf(*control), control->Color()));
}

// A folder picture, 16 x 16 at (x, y): open for the levels of the path.
void DrawFolder(HDC dc, int x, int y, bool open)
{
    HBRUSH face = CreateSolidBrush(RGB(0xF0, 0xC8, 0x50));
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(0x80, 0x60, 0x10));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    HGDIOBJ oldPen = SelectObject(dc, edge);
    Rectangle(dc, x + 1, y + 4, x + 7, y + 6);  // tab
    Rectangle(dc, x + 1, y + 5, x + 15, y + 14);
    if (open) {
        POINT flap[] = {{x + 3, y + 8}, {x + 16, y + 8}, {x + 14, y + 14}, {x + 1, y + 14}};
        Polygon(dc, flap, 4);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(face);
    DeleteObject(edge);
}

// A drive picture by kind, 16 x 16 at (x, y).
void DrawDrive(HDC dc, int x, int y, TDriveKind kind)
{
    COLORREF body = kind == TDriveKind::Network ? RGB(0x40, 0x80, 0x40)
                    : kind == TDriveKind::CDRom ? RGB(0xC0, 0xC0, 0xD0)
                    : kind == TDriveKind::Removable ? RGB(0x30, 0x50, 0xA0)
                                                  : RGB(0x90, 0x90, 0x90);
    HBRUSH brush = CreateSolidBrush(body);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    if (kind == TDriveKind::CDRom) {
        Ellipse(dc, x + 1, y + 1, x + 15, y + 15);
        Ellipse(dc, x + 6, y + 6, x + 10, y + 10);
    } else if (kind == TDriveKind::Removable) {
        Rectangle(dc, x + 2, y + 1, x + 14, y + 15);
        HGDIOBJ white = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Rectangle(dc, x + 4, y + 9, x + 12, y + 15);
        SelectObject(dc, white);
    } else {
        Rectangle(dc, x + 1, y + 5, x + 15, y + 12);
        HGDIOBJ light = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Rectangle(dc, x + 11, y + 7, x + 13, y + 9);
        SelectObject(dc, light);
        if (kind == TDriveKind::Network) {
            MoveToEx(dc, x + 8, y + 12, nullptr);
            LineTo(dc, x + 8, y + 15);
            MoveToEx(dc, x + 3, y + 15, nullptr);
            LineTo(dc, x + 14, y + 15);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
}

void DrawListItem(const DRAWITEMSTRUCT& item, const std::string& text, int indent,
                  bool isDrive, TDriveKind kind, bool open)
{
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int x = rc.left + 2 + indent * 8;
    int y = rc.top + (rc.bottom - rc.top - 16) / 2;
    if (isDrive)
        DrawDrive(dc, x, y, kind);
    else
        DrawFolder(dc, x, y, open);
    RECT textRect = {x + 20, rc.top, rc.right, rc.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextA(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
}

bool DrawOwnedItem(const DRAWITEMSTRUCT& item, TControl& control)
{
    if (item.itemID == static_cast<UINT>(-1)) return false;
    std::size_t index = item.itemID;
    if (control.Kind() == TControlKind::ListBox) {
        const auto& entries = static_cast<TDirectoryListBox&>(control).Entries();
        if (index >= entries.size()) return false;
        const TDirectoryListBox::Entry& e = entries[index];
        DrawListItem(item, e.Text, e.Indent, false, TDriveKind::Unknown, e.Open);
        return true;
    }
    if (control.Kind() == TControlKind::ComboBox) {
        const auto& drives = static_cast<TDriveComboBox&>(control).Drives();
        if (index >= drives.size()) return false;
        DrawListItem(item, TDriveComboBox::TextOf(drives[index]), 0, true, drives[index].Kind, false);
        return true;
    }
    return false;
}

// Some window systems (Wine's among them) hand what was drawn to the screen
// only when the thread waits for its queue, and the installation run pauses
// without waiting: wait once, for no time.
void FlushToScreen()
{
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

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

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TControl* control = ControlOf(hwnd);
    TPeer* peer = control != nullptr ? PeerOf(*control) : nullptr;
    if (peer == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);

    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        BlitComposite(*peer, dc, 0, 0, rc.right, rc.bottom);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SIZE: DropComposite(*peer); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return ControlColor(*peer, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        TControl* child = ControlOf(item->hwndItem);
        if (child == nullptr) return FALSE;
        if (child->Kind() == TControlKind::ListBox || child->Kind() == TControlKind::ComboBox)
            return DrawOwnedItem(*item, *child) ? TRUE : FALSE;
        BlitComposite(*peer, item->hDC, child->Left(), child->Top(), child->Width(),
                      child->Height());
        return TRUE;
    }
    case WM_COMMAND: {
        TControl* child = lp != 0 ? ControlOf(reinterpret_cast<HWND>(lp)) : nullptr;
        if (child == nullptr) break;
        if (HIWORD(wp) == BN_CLICKED && child->Kind() == TControlKind::Button) {
            static_cast<TButton*>(child)->Click();
            return 0;
        }
        if (HIWORD(wp) == LBN_DBLCLK && child->Kind() == TControlKind::ListBox) {
            int index = static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), LB_GETCURSEL, 0, 0));
            static_cast<TDirectoryListBox*>(child)->UserOpened(index);
            return 0;
        }
        if (HIWORD(wp) == LBN_SELCHANGE && child->Kind() == TControlKind::ListBox) {
            int index = static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), LB_GETCURSEL, 0, 0));
            static_cast<TDirectoryListBox*>(child)->SetItemIndex(index);
            return 0;
        }
        if (HIWORD(wp) == CBN_SELCHANGE && child->Kind() == TControlKind::ComboBox) {
            int index = static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), CB_GETCURSEL, 0, 0));
            static_cast<TDriveComboBox*>(child)->UserSelected(index);
            return 0;
        }
        if (HIWORD(wp) == EN_CHANGE && (child->Kind() == TControlKind::Edit ||
                                        child->Kind() == TControlKind::Memo)) {
            HWND edit = reinterpret_cast<HWND>(lp);
            std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
            GetWindowTextA(edit, &text[0], static_cast<int>(text.size()));
            text.resize(text.size() - 1);
            static_cast<TEdit*>(child)->TextChangedByUser(text);
            return 0;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        measure->itemHeight = TDirectoryListBox::ItemHeight;
        return TRUE;
    }
    case WM_SETCURSOR:
        if (Win32HourGlassOn()) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (control->Kind() == TControlKind::Form) {
            static_cast<TForm*>(control)->Closing();
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* const OriginalProc = "PellwickOriginalProc";

LRESULT CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, OriginalProc));
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

void Subclass(HWND hwnd, WNDPROC proc)
{
    SetPropA(hwnd, OriginalProc,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc))));
}

// Toolbar-style buttons: pressed with the mouse (or BM_CLICK) without ever
// taking the keyboard focus from where the user left it.
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(hwnd);
        SendMessageA(hwnd, BM_SETSTATE, TRUE, 0);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            POINT at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            SendMessageA(hwnd, BM_SETSTATE, PtInRect(&rc, at), 0);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != hwnd) return 0;
        bool pressed = (SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        SendMessageA(hwnd, BM_SETSTATE, FALSE, 0);
        ReleaseCapture();
        if (pressed)
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    case WM_SETFOCUS:
        return 0;
    default: break;
    }
    return CallOriginal(hwnd, msg, wp, lp);
}

// The directory list opens its selected entry on Enter.
LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_GETDLGCODE && wp == VK_RETURN) return DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        TControl* control = ControlOf(hwnd);
        int index = static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
        if (control != nullptr) static_cast<TDirectoryListBox*>(control)->UserOpened(index);
        return 0;
    }
    return CallOriginal(hwnd, msg, wp, lp);
}

// The notice memo shows the arrow, not the text cursor.
LRESULT CALLBACK MemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SETCURSOR && LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, Win32HourGlassOn() ? IDC_WAIT : IDC_ARROW));
        return TRUE;
    }
    return CallOriginal(hwnd, msg, wp, lp);
}

void FillItems(TControl& control, HWND hwnd)
{
    if (control.Kind() == TControlKind::ListBox) {
        auto& list = static_cast<TDirectoryListBox&>(control);
        SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
        SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
        for (const TDirectoryListBox::Entry& e : list.Entries())
            SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.Text.c_str()));
        SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
        SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    } else if (control.Kind() == TControlKind::ComboBox) {
        auto& box = static_cast<TDriveComboBox&>(control);
        SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
        for (const TDrive& drive : box.Drives())
            SendMessageA(hwnd, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(TDriveComboBox::TextOf(drive).c_str()));
        SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(box.ItemIndex()), 0);
    }
}

void RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = FormClass;
    RegisterClassA(&wc);
    wc.lpszClassName = PanelClass;
    RegisterClassA(&wc);
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

void TWin32Widgets::CreatePeer(TControl& control)
{
    auto peer = std::make_unique<TPeer>();
    peer->Control = &control;
    const TBounds& b = control.Bounds();
    HWND parent = control.Parent() != nullptr ? PeerOf(*control.Parent())->Hwnd : nullptr;
    DWORD child = WS_CHILD | WS_CLIPSIBLINGS | (control.Visible() ? WS_VISIBLE : 0);
    HWND hwnd = nullptr;

    switch (control.Kind()) {
    case TControlKind::Form: {
        TForm& form = static_cast<TForm&>(control);
        DWORD style = FormStyle(form), ex = FormExStyle(form);
        RECT rc = FormRect(form, style, ex);
        HWND owner = Application().MainForm != nullptr && Application().MainForm != &form &&
                             Application().MainForm->Peer != nullptr
                         ? PeerOf(*Application().MainForm)->Hwnd
                         : nullptr;
        hwnd = CreateWindowExA(ex, FormClass, form.Caption().c_str(), style, rc.left, rc.top,
                               rc.right - rc.left, rc.bottom - rc.top, owner, nullptr, instance,
                               nullptr);
        if (form.Icon != 0) {
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(IconFor(form.Icon, 16)));
            SendMessageA(hwnd, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(IconFor(form.Icon, 32)));
        }
        break;
    }
    case TControlKind::Panel:
        hwnd = CreateWindowExA(0, PanelClass, "", child | WS_CLIPCHILDREN, b.Left, b.Top, b.Width,
                               b.Height, parent, nullptr, instance, nullptr);
        break;
    case TControlKind::Label: {
        TLabel& label = static_cast<TLabel&>(control);
        DWORD style = SS_NOPREFIX | (label.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
        hwnd = CreateWindowExA(0, "Static", control.Caption().c_str(), child | style, b.Left,
                               b.Top, b.Width, b.Height, parent, nullptr, instance, nullptr);
        break;
    }
    case TControlKind::Image:
    case TControlKind::Bevel:
        hwnd = CreateWindowExA(0, "Static", "", child | SS_OWNERDRAW, b.Left, b.Top, b.Width,
                               b.Height, parent, nullptr, instance, nullptr);
        break;
    case TControlKind::Button:
        hwnd = CreateWindowExA(0, "Button", control.Caption().c_str(), child | BS_PUSHBUTTON, b.Left, b.Top, b.Width,
                               b.Height, parent, nullptr, instance, nullptr);
        break;
    case TControlKind::Edit:
        hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", control.Caption().c_str(),
                               child | WS_TABSTOP | ES_AUTOHSCROLL, b.Left, b.Top, b.Width,
                               b.Height, parent, nullptr, instance, nullptr);
        break;
    case TControlKind::Memo: {
        TMemo& memo = static_cast<TMemo&>(control);
        DWORD style = child | ES_MULTILINE | ES_NOHIDESEL | (memo.TabStop ? WS_TABSTOP : 0);
        if (memo.ReadOnly) style |= ES_READONLY;
        if (!memo.WordWrap) style |= ES_AUTOHSCROLL;
        hwnd = CreateWindowExA(memo.Border ? WS_EX_CLIENTEDGE : 0, "Edit", "", style, b.Left,
                               b.Top, b.Width, b.Height, parent, nullptr, instance, nullptr);
        break;
    }
    case TControlKind::ProgressBar:
        hwnd = CreateWindowExA(0, PROGRESS_CLASSA, "", child, b.Left, b.Top, b.Width, b.Height,
                               parent, nullptr, instance, nullptr);
        break;
    case TControlKind::ListBox:
        hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "",
                               child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                   LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                               b.Left, b.Top, b.Width, b.Height, parent, nullptr, instance, nullptr);
        break;
    case TControlKind::ComboBox:
        // The height given is the closed box's; the list drops below it.
        hwnd = CreateWindowExA(0, "ComboBox", "",
                               child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                                   CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                               b.Left, b.Top, b.Width, 200, parent, nullptr, instance, nullptr);
        break;
    }
    if (hwnd == nullptr) return;

    peer->Hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    control.Peer = peer.release();
    // Later controls lie above earlier ones and come first in the tab order.
    if (control.Parent() != nullptr)
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font())), FALSE);
    if (!control.Enabled()) EnableWindow(hwnd, FALSE);
    if (control.Kind() == TControlKind::ProgressBar) {
        const TProgressBar& bar = static_cast<const TProgressBar&>(control);
        SendMessageA(hwnd, PBM_SETRANGE32, bar.Min, bar.Max);
        SendMessageA(hwnd, PBM_SETPOS, bar.Position(), 0);
    }
    switch (control.Kind()) {
    case TControlKind::Memo:
        // As much text as the system allows; StoreText tells when that ends.
        SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
        Subclass(hwnd, MemoProc);
        StoreText(control);
        break;
    case TControlKind::Button: Subclass(hwnd, ButtonProc); break;
    case TControlKind::ListBox:
        Subclass(hwnd, ListProc);
        FillItems(control, hwnd);
        break;
    case TControlKind::ComboBox: FillItems(control, hwnd); break;
    default: break;
    }
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
    if (prop == TProp::Position && control.Kind() == TControlKind::ComboBox)
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
    instance = static_cast<HINSTANCE>(hInstance);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto comctl = static_cast<HMODULE>(LoadSystemLibrary("comctl32.dll"));
    auto init = comctl != nullptr ? reinterpret_cast<TInit>(reinterpret_cast<void*>(
                                        GetProcAddress(comctl, "InitCommonControlsEx")))
                                  : nullptr;
    if (init != nullptr) init(&icc);
    RegisterClasses();
    SetBackend(&widgets);
}
