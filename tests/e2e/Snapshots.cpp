// Windows as the driver sees them: snapshots, their properties, the screen
// image, and the journal the watcher keeps of the process's windows.
#include "Snapshots.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pwdrive {

LARGE_INTEGER ClockFreq, ClockStart;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart - ClockStart.QuadPart) / double(ClockFreq.QuadPart);
}

// The one place the driver waits: polls are spaced by this.
void PollPause() { Sleep(10); }

// Edits keep their text to themselves; every other control's text is the
// caption kept with the window, which GetWindowText reads without a message.
bool KeepsOwnText(HWND h)
{
    char cls[64] = {0};
    GetClassNameA(h, cls, sizeof cls);
    return _stricmp(cls, "Edit") == 0;
}

std::string ReadText(HWND h, bool viaMessage)
{
    char buf[16384] = {0};
    // A static or button answers from its caption at once, even while
    // Pellwick's thread is busy in the installation run.
    if (viaMessage && !KeepsOwnText(h)) viaMessage = false;
    if (viaMessage) {
        // WM_GETTEXT reaches text kept by the control itself (edits, statics)
        // in another process; the timeout keeps a busy target from hanging us.
        // A long text (a notice of some 100 KB) gets a buffer of its size.
        DWORD_PTR got = 0, length = 0;
        if (SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 3000, &length) &&
            length >= sizeof buf) {
            std::vector<char> big(length + 16, 0);
            if (SendMessageTimeoutA(h, WM_GETTEXT, big.size(), (LPARAM)big.data(), SMTO_ABORTIFHUNG,
                                    10000, &got))
                return std::string(big.data(), strnlen(big.data(), big.size()));
        }
        if (SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 3000,
                                &got))
            return std::string(buf, strnlen(buf, sizeof buf));
    }
    // The caption kept by the window manager; never sends a message, so it
    // works while the owning thread is busy.
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

Snap TakeSnap(HWND h, bool textViaMessage)
{
    Snap s;
    s.hwnd = h;
    if (!IsWindow(h)) return s;
    s.alive = true;
    char cls[256] = {0};
    GetClassNameA(h, cls, sizeof cls);
    s.cls = cls;
    s.isChild = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0;
    s.text = ReadText(h, textViaMessage);
    s.id = GetDlgCtrlID(h);
    s.visible = IsWindowVisible(h) != FALSE;
    s.enabled = IsWindowEnabled(h) != FALSE;
    s.exstyle = (DWORD)GetWindowLongA(h, GWL_EXSTYLE);
    GetWindowRect(h, &s.win);
    RECT c{};
    GetClientRect(h, &c);
    s.clientW = c.right - c.left;
    s.clientH = c.bottom - c.top;
    HWND root = GetAncestor(h, GA_ROOT);
    if (!root) root = h;
    RECT rc{};
    GetClientRect(root, &rc);
    s.rootW = rc.right;
    s.rootH = rc.bottom;
    s.inRoot = s.win;
    MapWindowPoints(HWND_DESKTOP, root, (POINT*)&s.inRoot, 2);
    return s;
}

int ScreenW() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenH() { return GetSystemMetrics(SM_CYSCREEN); }

// Property names that take a value / that stand alone.
const char* const ValueProps[] = {"class", "caption", "text", "contains", "id", "client", "size",
                                  "width", "height", "left", "top", "right", "bottom",
                                  "rightgap", "bottomgap", "textof", "lacks", "position",
                                  "paragraphs", "length", "drawn"};
const char* const FlagProps[] = {"visible", "hidden", "enabled", "disabled", "topmost",
                                 "nottopmost", "centred", "centered", "covers", "onscreen", "front",
                                 "behind", "inked", "blank", "maximized", "notmaximized"};

std::string ScreenImage;

// The screen image (PW_SCREEN) as read from its XWD file: 32 bits a pixel,
// each 0x00RRGGBB.
struct ScreenPicture {
    std::string img;
    unsigned long width = 0, height = 0, bytesPerLine = 0;
    size_t data = 0;

    bool Load(std::string& why)
    {
        HANDLE f = CreateFileA(ScreenImage.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            why = "no screen image (PW_SCREEN)";
            return false;
        }
        char buf[65536];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) img.append(buf, got);
        CloseHandle(f);
        auto card = [&](size_t i) {
            const unsigned char* p = (const unsigned char*)img.data() + i * 4;
            return (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 | p[3];
        };
        if (img.size() < 100) {
            why = "screen image too short";
            return false;
        }
        unsigned long headerSize = card(0), bpp = card(11), ncolors = card(19);
        width = card(4);
        height = card(5);
        bytesPerLine = card(12);
        if (bpp != 32) {
            why = Format("screen image has %lu bits a pixel", bpp);
            return false;
        }
        data = headerSize + ncolors * 12;
        return true;
    }
    // The pixel at (x, y), or false when it lies off the image.
    bool At(long x, long y, unsigned long& px) const
    {
        if (x < 0 || y < 0 || x >= (long)width || y >= (long)height) return false;
        size_t at = data + (size_t)y * bytesPerLine + (size_t)x * 4;
        if (at + 4 > img.size()) return false;
        px = *(const unsigned long*)(img.data() + at) & 0xFFFFFF;
        return true;
    }
};

// Counts the colours (up to 2) inside the window's rectangle, 2 pixels in
// from each edge, on the screen image: what the X server really shows.
bool ScreenColours(HWND h, int& colours, std::string& why)
{
    ScreenPicture screen;
    if (!screen.Load(why)) return false;
    RECT r;
    GetWindowRect(h, &r);
    InflateRect(&r, -2, -2);
    colours = 0;
    unsigned long first = 0;
    for (long y = std::max(0L, (long)r.top); y < std::min((long)screen.height, (long)r.bottom); ++y)
        for (long x = std::max(0L, (long)r.left); x < std::min((long)screen.width, (long)r.right); ++x) {
            unsigned long px = 0;
            if (!screen.At(x, y, px)) {
                why = "screen image cut short";
                return false;
            }
            if (colours == 0) {
                first = px;
                colours = 1;
            } else if (px != first) {
                colours = 2;
                return true;
            }
        }
    return true;
}

// A pixel of the text colour ink (0x00RRGGBB), within what smoothing and
// dithering change.
bool IsInk(unsigned long px, unsigned long ink)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        int have = (int)(px >> shift & 0xFF), want = (int)(ink >> shift & 0xFF);
        if (std::abs(have - want) > 0x50) return false;
    }
    return true;
}

// How a control's text is drawn, judged from the screen image: the pixels
// of the text colour in its client area against the same text drawn here,
// into a bitmap of that size, at regular and bold weight and with "&" taken
// literally or as an accelerator mark. Each drawing is laid over the screen
// at the shift (up to 6 pixels each way: edit margins) where they differ
// least; the drawing that differs least wins. The mouse pointer, which the
// screen image shows, is moved off the control first.
// asked is STYLE[/FACE/HEIGHT[/INK]]: STYLE "bold" or "regular", "-italic"
// for an italic face, "+prefix" when "&" should mark an accelerator;
// FACE and HEIGHT default to MS Sans Serif 11, INK (RRGGBB) to black.
bool DrawnAs(HWND h, const std::string& asked, std::string& actual)
{
    std::vector<std::string> parts;
    size_t at = 0;
    for (;;) {
        size_t slash = asked.find('/', at);
        parts.push_back(asked.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
        if (slash == std::string::npos) break;
        at = slash + 1;
    }
    std::string style = parts[0];
    bool wantPrefix = style.find("+prefix") != std::string::npos;
    bool italic = style.find("-italic") != std::string::npos;
    bool wantBold = style.compare(0, 4, "bold") == 0;
    if (!wantBold && style.compare(0, 7, "regular") != 0) {
        actual = "unknown style " + style;
        return false;
    }
    std::string face = parts.size() > 1 ? parts[1] : "MS Sans Serif";
    long height = 11, ink = 0;
    if (parts.size() > 2 && !ParseInt(parts[2], height)) {
        actual = "bad height " + parts[2];
        return false;
    }
    if (parts.size() > 3 && !ParseInt("0x" + parts[3], ink)) {
        actual = "bad ink " + parts[3];
        return false;
    }

    RECT area{};
    POINT mouse{};
    GetWindowRect(h, &area);
    if (GetCursorPos(&mouse) && PtInRect(&area, mouse)) {
        SetCursorPos(ScreenW() - 1, ScreenH() - 1);
        Sleep(300);
    }
    std::string why;
    ScreenPicture screen;
    if (!screen.Load(why)) {
        actual = why;
        return false;
    }
    RECT client{};
    GetClientRect(h, &client);
    POINT origin = {0, 0};
    ClientToScreen(h, &origin);
    int w = client.right, hgt = client.bottom;
    if (w <= 0 || hgt <= 0) {
        actual = "no client area";
        return false;
    }
    std::vector<char> shown((size_t)w * hgt, 0);
    long onScreen = 0;
    for (long y = 0; y < hgt; ++y)
        for (long x = 0; x < w; ++x) {
            unsigned long px = 0;
            if (screen.At(origin.x + x, origin.y + y, px) && IsInk(px, (unsigned long)ink)) {
                shown[(size_t)y * w + x] = 1;
                ++onScreen;
            }
        }

    std::string text = ReadText(h, true);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -hgt;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    // The paper is as far from the ink as can be.
    COLORREF paper = (ink & 0x808080) ? RGB(0, 0, 0) : RGB(255, 255, 255);
    COLORREF inkRef = RGB(ink >> 16 & 0xFF, ink >> 8 & 0xFF, ink & 0xFF);
    long counts[4] = {0, 0, 0, 0}, differ[4] = {0, 0, 0, 0};
    std::vector<char> drawn((size_t)w * hgt, 0);
    for (int c = 0; c < 4; ++c) {
        bool bold = (c & 1) != 0, prefix = (c & 2) != 0;
        HFONT font = CreateFontA(-(int)height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE,
                                 FALSE, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, face.c_str());
        HGDIOBJ oldFont = SelectObject(dc, font);
        RECT all = {0, 0, w, hgt};
        HBRUSH brush = CreateSolidBrush(paper);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, inkRef);
        DrawTextA(dc, text.c_str(), -1, &all,
                  DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | (prefix ? 0 : DT_NOPREFIX));
        GdiFlush();
        SelectObject(dc, oldFont);
        DeleteObject(font);
        const unsigned long* p = (const unsigned long*)bits;
        for (long i = 0; i < (long)w * hgt; ++i) {
            drawn[(size_t)i] = IsInk(p[i] & 0xFFFFFF, (unsigned long)ink) ? 1 : 0;
            counts[c] += drawn[(size_t)i];
        }
        differ[c] = -1;
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                long n = 0;
                for (long y = 0; y < hgt; ++y)
                    for (long x = 0; x < w; ++x) {
                        long sx = x + dx, sy = y + dy;
                        char there = sx >= 0 && sy >= 0 && sx < w && sy < hgt ? shown[(size_t)sy * w + sx] : 0;
                        n += there != drawn[(size_t)y * w + x];
                    }
                if (differ[c] < 0 || n < differ[c]) differ[c] = n;
            }
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);

    int wanted = (wantBold ? 1 : 0) | (wantPrefix ? 2 : 0);
    long best = *std::min_element(differ, differ + 4);
    actual = Format("%ld text pixels on screen; drawn here (pixels, of them differing): regular %ld/%ld, "
                    "bold %ld/%ld, regular+prefix %ld/%ld, bold+prefix %ld/%ld",
                    onScreen, counts[0], differ[0], counts[1], differ[1], counts[2], differ[2],
                    counts[3], differ[3]);
    return differ[wanted] == best && onScreen > 0;
}

std::string CaseFolder;

bool ReadFileBytes(const std::string& path, std::string& data)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    data.clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) data.append(buf, got);
    CloseHandle(f);
    return true;
}

std::string InCaseFolder(const std::string& path)
{
    bool absolute = (path.size() > 1 && path[1] == ':') || (!path.empty() && path[0] == '\\');
    return absolute ? path : CaseFolder + "\\" + path;
}

// Every line break (CR LF, lone CR, lone LF) made CR LF, as a multi-line
// edit shows a text file.
std::string CrLfText(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    return text;
}

// Whether h is what the user sees at its own centre: going down from its
// top-level window, the visible child under that point at each level (in
// z-order) leads to h or to one of its children.
bool InFront(HWND h)
{
    HWND root = GetAncestor(h, GA_ROOT);
    if (!root || !IsWindowVisible(h)) return false;
    RECT r;
    GetWindowRect(h, &r);
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND cur = root;
    for (int depth = 0; depth < 32; ++depth) {
        POINT pt = centre;
        ScreenToClient(cur, &pt);
        HWND next = ChildWindowFromPointEx(cur, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!next || next == cur) break;
        cur = next;
    }
    return cur == h || IsChild(h, cur);
}

bool IsValueProp(const std::string& k)
{
    for (const char* p : ValueProps)
        if (k == p) return true;
    return false;
}
bool IsFlagProp(const std::string& k)
{
    for (const char* p : FlagProps)
        if (k == p) return true;
    return false;
}

bool MatchProp(const Snap& s, const Arg& p, std::string& actual)
{
    const std::string& k = p.keyed ? p.key : p.text;
    const std::string& v = p.value;
    long a = 0, b = 0;
    RECT pos = s.isChild ? s.inRoot : s.win;
    if (k == "class") { actual = "class " + Quote(s.cls); return s.cls == v; }
    if (k == "caption" || k == "text") { actual = k + " " + Quote(Visible(s.text)); return s.text == v; }
    if (k == "contains") { actual = "text " + Quote(Visible(s.text)); return s.text.find(v) != std::string::npos; }
    if (k == "lacks") { actual = "text " + Quote(Visible(s.text)); return s.text.find(v) == std::string::npos; }
    if (k == "textof") {
        std::string bytes;
        if (!ReadFileBytes(InCaseFolder(v), bytes)) {
            actual = "no file " + v;
            return false;
        }
        std::string want = CrLfText(bytes);
        actual = "text " + Quote(Visible(s.text));
        if (s.text == want) return true;
        size_t at = 0;
        while (at < s.text.size() && at < want.size() && s.text[at] == want[at]) ++at;
        actual += Format(" (differs from the file at character %u: file has %s)", (unsigned)at,
                         Quote(Visible(want.substr(at), 40)).c_str());
        return false;
    }
    if (k == "length") {
        actual = Format("length %u", (unsigned)s.text.size());
        return ParseInt(v, a) && (long)s.text.size() == a;
    }
    if (k == "paragraphs") {
        // Lengths of the paragraphs, which are parted by one empty line.
        std::string have;
        size_t at = 0;
        for (;;) {
            size_t gap = s.text.find("\r\n\r\n", at);
            size_t end = gap == std::string::npos ? s.text.size() : gap;
            have += Format("%s%u", have.empty() ? "" : ",", (unsigned)(end - at));
            if (gap == std::string::npos) break;
            at = gap + 4;
        }
        actual = "paragraphs " + have;
        return have == v;
    }
    if (k == "position") {
        DWORD_PTR pos = 0;
        if (!SendMessageTimeoutA(s.hwnd, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 3000, &pos)) {
            actual = "position unreadable (busy?)";
            return false;
        }
        actual = Format("position %ld", (long)pos);
        return ParseInt(v, a) && (long)pos == a;
    }
    if (k == "inked" || k == "blank") {
        int colours = 0;
        std::string why;
        if (!ScreenColours(s.hwnd, colours, why)) {
            actual = why;
            return false;
        }
        actual = colours > 1 ? "inked on screen" : colours ? "one colour on screen" : "off screen";
        return k == "inked" ? colours > 1 : colours == 1;
    }
    if (k == "drawn") return DrawnAs(s.hwnd, v, actual);
    if (k == "maximized" || k == "notmaximized") {
        bool zoomed = IsZoomed(s.hwnd) != FALSE;
        actual = zoomed ? "maximized" : "not maximized";
        return k == "maximized" ? zoomed : !zoomed;
    }
    if (k == "front" || k == "behind") {
        bool front = InFront(s.hwnd);
        actual = front ? "in front" : "covered or hidden";
        return k == "front" ? front : !front;
    }
    if (k == "id") {
        actual = Format("id 0x%X", (unsigned)(s.id & 0xFFFF));
        return ParseInt(v, a) && (s.id & 0xFFFF) == (a & 0xFFFF);
    }
    if (k == "client") {
        actual = Format("client %dx%d", s.clientW, s.clientH);
        return ParseSize(v, a, b) && s.clientW == a && s.clientH == b;
    }
    if (k == "size") {
        int w = s.win.right - s.win.left, h = s.win.bottom - s.win.top;
        actual = Format("size %dx%d", w, h);
        return ParseSize(v, a, b) && w == a && h == b;
    }
    auto num = [&](const char* what, long have) {
        actual = Format("%s %ld", what, have);
        return ParseInt(v, a) && have == a;
    };
    if (k == "width") return num("width", pos.right - pos.left);
    if (k == "height") return num("height", pos.bottom - pos.top);
    if (k == "left") return num("left", pos.left);
    if (k == "top") return num("top", pos.top);
    if (k == "right") return num("right", pos.right);
    if (k == "bottom") return num("bottom", pos.bottom);
    if (k == "rightgap") return num("rightgap", (s.isChild ? s.rootW : ScreenW()) - pos.right);
    if (k == "bottomgap") return num("bottomgap", (s.isChild ? s.rootH : ScreenH()) - pos.bottom);
    if (k == "visible") { actual = s.visible ? "visible" : "hidden"; return s.visible; }
    if (k == "hidden") { actual = s.visible ? "visible" : "hidden"; return !s.visible; }
    if (k == "enabled") { actual = s.enabled ? "enabled" : "disabled"; return s.enabled; }
    if (k == "disabled") { actual = s.enabled ? "enabled" : "disabled"; return !s.enabled; }
    bool top = (s.exstyle & WS_EX_TOPMOST) != 0;
    if (k == "topmost") { actual = top ? "topmost" : "not topmost"; return top; }
    if (k == "nottopmost") { actual = top ? "topmost" : "not topmost"; return !top; }
    if (k == "centred" || k == "centered") {
        int w = s.win.right - s.win.left, h = s.win.bottom - s.win.top;
        double wantL = (ScreenW() - w) / 2.0, wantT = (ScreenH() - h) / 2.0;
        actual = Format("window at %ld,%ld size %dx%d on %dx%d screen (centred: %.1f,%.1f)",
                        s.win.left, s.win.top, w, h, ScreenW(), ScreenH(), wantL, wantT);
        return std::abs(s.win.left - wantL) <= 1.0 && std::abs(s.win.top - wantT) <= 1.0;
    }
    if (k == "covers") {
        actual = Format("window %ld,%ld-%ld,%ld on %dx%d screen", s.win.left, s.win.top,
                        s.win.right, s.win.bottom, ScreenW(), ScreenH());
        return s.win.left <= 0 && s.win.top <= 0 && s.win.right >= ScreenW() &&
               s.win.bottom >= ScreenH();
    }
    if (k == "onscreen") {
        actual = Format("window %ld,%ld-%ld,%ld on %dx%d screen", s.win.left, s.win.top,
                        s.win.right, s.win.bottom, ScreenW(), ScreenH());
        return s.win.left >= 0 && s.win.top >= 0 && s.win.right <= ScreenW() &&
               s.win.bottom <= ScreenH();
    }
    actual = "unknown property " + k;
    return false;
}

bool MatchAll(const Snap& s, const std::vector<Arg>& props, std::string* why)
{
    bool ok = true;
    for (const Arg& p : props) {
        std::string actual;
        if (!MatchProp(s, p, actual)) {
            ok = false;
            if (!why) return false;
            if (!why->empty()) *why += "; ";
            *why += "want " + p.text + ", have " + actual;
        }
    }
    return ok;
}

std::string Describe(const Snap& s)
{
    if (!s.alive) return Format("%p (destroyed)", (void*)s.hwnd);
    RECT pos = s.isChild ? s.inRoot : s.win;
    return Format("%p class=%s text=%s id=0x%X %s%s%s rect=%ld,%ld,%ld,%ld client=%dx%d",
                  (void*)s.hwnd, Quote(s.cls).c_str(), Quote(s.text).c_str(),
                  (unsigned)(s.id & 0xFFFF), s.visible ? "visible" : "hidden",
                  s.enabled ? "" : " disabled", (s.exstyle & WS_EX_TOPMOST) ? " topmost" : "",
                  pos.left, pos.top, pos.right, pos.bottom, s.clientW, s.clientH);
}

// ---------------------------------------------------------------- process + journal

PROCESS_INFORMATION Proc{};
bool Launched = false;
volatile DWORD WatchPid = 0;
volatile bool WatchChildren = false;

CRITICAL_SECTION JournalLock;
std::vector<JWin> Journal;
volatile LONG Samples = 0;
volatile LONG StopWatch = 0;
HANDLE WatchThread = nullptr;

struct EnumCtx {
    std::vector<DWORD> pids;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM lp)
{
    EnumCtx* c = (EnumCtx*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (std::find(c->pids.begin(), c->pids.end(), pid) != c->pids.end()) c->out->push_back(h);
    return TRUE;
}

// The process and, with WatchChildren, the processes it started.
std::vector<DWORD> WatchedPids(DWORD pid)
{
    std::vector<DWORD> pids{pid};
    if (!WatchChildren) return pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
        if (e.th32ParentProcessID == pid) pids.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

BOOL CALLBACK CollectAll(HWND h, LPARAM lp)
{
    ((std::vector<HWND>*)lp)->push_back(h);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> v;
    EnumChildWindows(parent, CollectAll, (LPARAM)&v);
    return v;
}

std::vector<HWND> ProcessTopWindows(DWORD pid)
{
    std::vector<HWND> v;
    EnumCtx c{WatchedPids(pid), &v};
    EnumWindows(CollectTop, (LPARAM)&c);
    return v;
}

DWORD WINAPI Watcher(LPVOID)
{
    while (!StopWatch) {
        DWORD pid = WatchPid;
        if (pid) {
            std::vector<HWND> tops = ProcessTopWindows(pid);
            std::vector<Snap> snaps;
            for (HWND h : tops) snaps.push_back(TakeSnap(h, false));
            double t = Now();
            EnterCriticalSection(&JournalLock);
            for (const Snap& s : snaps) {
                if (!s.alive) continue;
                JWin* w = nullptr;
                for (JWin& j : Journal)
                    if (j.h == s.hwnd && !j.dead) w = &j;
                if (!w) {
                    Journal.push_back(JWin{s.hwnd, {}, false});
                    w = &Journal.back();
                }
                if (w->states.empty() || !w->states.back().s.SameState(s)) w->states.push_back({t, s});
            }
            for (JWin& j : Journal) {
                if (j.dead) continue;
                bool seen = false;
                for (const Snap& s : snaps)
                    if (s.alive && s.hwnd == j.h) seen = true;
                if (!seen) {
                    Snap gone;
                    gone.hwnd = j.h;
                    if (!j.states.empty()) gone.cls = j.states.back().s.cls;
                    j.states.push_back({t, gone});
                    j.dead = true;
                }
            }
            LeaveCriticalSection(&JournalLock);
            InterlockedIncrement(&Samples);
        }
        PollPause();
    }
    return 0;
}

void SyncJournal()
{
    LONG start = Samples;
    double until = Now() + 5;
    while (Samples < start + 2 && Now() < until) PollPause();
}

std::string JournalText(double origin)
{
    std::string out;
    EnterCriticalSection(&JournalLock);
    for (const JWin& j : Journal) {
        for (size_t i = 0; i < j.states.size(); ++i)
            out += Format("%8.3f  %s\n", j.states[i].t - origin, Describe(j.states[i].s).c_str());
    }
    LeaveCriticalSection(&JournalLock);
    return out;
}

bool ProcessExited(DWORD* code)
{
    if (!Launched) return true;
    if (WaitForSingleObject(Proc.hProcess, 0) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(Proc.hProcess, code);
    return true;
}

}  // namespace pwdrive
