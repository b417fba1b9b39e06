// Window procedures of the Win32 backend: our own class for forms and
// panels, which hands the controls' notifications to their objects, and
// the subclassed buttons, directory list and memo.
#include <windows.h>

#include <string>

#include "platform/win32/Win32Platform.h"
#include "toolkit/DirControls.h"
#include "toolkit/Forms.h"
#include "toolkit/win32/Win32Peers.h"

namespace Win32Backend {

const char* const FormClass = "PellwickForm";
const char* const PanelClass = "PellwickPanel";

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
        if (child->Kind() == TControlKind::DirectoryListBox ||
            child->Kind() == TControlKind::DriveComboBox)
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
        if (HIWORD(wp) == LBN_DBLCLK && child->Kind() == TControlKind::DirectoryListBox) {
            int index = static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), LB_GETCURSEL, 0, 0));
            static_cast<TDirectoryListBox*>(child)->UserOpened(index);
            return 0;
        }
        if (HIWORD(wp) == LBN_SELCHANGE && child->Kind() == TControlKind::DirectoryListBox) {
            int index = static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), LB_GETCURSEL, 0, 0));
            static_cast<TDirectoryListBox*>(child)->SetItemIndex(index);
            return 0;
        }
        if (HIWORD(wp) == CBN_SELCHANGE && child->Kind() == TControlKind::DriveComboBox) {
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

namespace {

const char* const OriginalProc = "PellwickOriginalProc";

LRESULT CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, OriginalProc));
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

}  // namespace

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
        if (control != nullptr && control->Kind() == TControlKind::DirectoryListBox)
            static_cast<TDirectoryListBox*>(control)->UserOpened(index);
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

void RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = ModuleInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = FormClass;
    RegisterClassA(&wc);
    wc.lpszClassName = PanelClass;
    RegisterClassA(&wc);
}

}  // namespace Win32Backend
