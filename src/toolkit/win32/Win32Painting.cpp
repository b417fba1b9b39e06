// Painting for the Win32 backend: what the standard controls cannot draw
// themselves. Forms and panels paint their background, pictures, bevels and
// transparent labels into one composite bitmap that their children take
// their background from; the directory list and the drive box draw their
// entries with pictures.
#include <windows.h>

#include <utility>
#include <vector>
#include <string>

#include "toolkit/DirControls.h"
#include "toolkit/win32/Win32Peers.h"

namespace Win32Backend {

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

namespace {

// The handles the program draws with, made once and kept: a handful of
// each, so a list searched from the front does.
template <typename Key, typename Handle>
class THandleCache {
public:
    Handle* Find(const Key& key)
    {
        for (auto& entry : entries_)
            if (entry.first == key) return &entry.second;
        return nullptr;
    }
    Handle Keep(const Key& key, Handle handle)
    {
        entries_.emplace_back(key, handle);
        return handle;
    }

private:
    std::vector<std::pair<Key, Handle>> entries_;
};

}  // namespace

// Fonts are shared by all controls that use the same one.
HFONT FontFor(const TFont& font)
{
    static THandleCache<std::string, HFONT> cache;
    std::string key = font.Name + "|" + std::to_string(font.Height) + (font.Bold ? "b" : "") +
                      (font.Italic ? "i" : "");
    if (HFONT* found = cache.Find(key)) return *found;
    LOGFONTA lf = {};
    lf.lfHeight = -font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    return cache.Keep(key, CreateFontIndirectA(&lf));
}

namespace {

HBITMAP BitmapFor(int id)
{
    static THandleCache<int, HBITMAP> cache;
    if (HBITMAP* found = cache.Find(id)) return *found;
    return cache.Keep(id, static_cast<HBITMAP>(LoadImageA(ModuleInstance, MAKEINTRESOURCEA(id),
                                                          IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

}  // namespace

HICON IconFor(int id, int size)
{
    static THandleCache<int, HICON> cache;
    int key = id * 1000 + size;
    if (HICON* found = cache.Find(key)) return *found;
    return cache.Keep(key, static_cast<HICON>(LoadImageA(ModuleInstance, MAKEINTRESOURCEA(id),
                                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

namespace {

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

}  // namespace

void DropComposite(TPeer& peer)
{
    if (peer.Composite != nullptr) DeleteObject(peer.Composite);
    if (peer.CompositeBrush != nullptr) DeleteObject(peer.CompositeBrush);
    peer.Composite = nullptr;
    peer.CompositeBrush = nullptr;
}

namespace {

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

}  // namespace

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

namespace {

HBRUSH SolidBrushFor(TPeer& peer, TColor color)
{
    if (peer.SolidBrush == nullptr || peer.SolidColor != color) {
        if (peer.SolidBrush != nullptr) DeleteObject(peer.SolidBrush);
        peer.SolidBrush = CreateSolidBrush(Rgb(color));
        peer.SolidColor = color;
    }
    return peer.SolidBrush;
}

}  // namespace

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

namespace {

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

}  // namespace

bool DrawOwnedItem(const DRAWITEMSTRUCT& item, TControl& control)
{
    if (item.itemID == static_cast<UINT>(-1)) return false;
    std::size_t index = item.itemID;
    if (control.Kind() == TControlKind::DirectoryListBox) {
        const auto& entries = static_cast<TDirectoryListBox&>(control).Entries();
        if (index >= entries.size()) return false;
        const TDirectoryListBox::Entry& e = entries[index];
        DrawListItem(item, e.Text, e.Indent, false, TDriveKind::Unknown, e.Open);
        return true;
    }
    if (control.Kind() == TControlKind::DriveComboBox) {
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

}  // namespace Win32Backend
