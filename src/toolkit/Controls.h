// The window toolkit: controls are plain objects holding their properties.
// In the exe a real child window stands behind each one (the backend keeps
// it in sync); in unit tests none does.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Text.h"

class TControl;
using TNotifyEvent = std::function<void(TControl& sender)>;

// Colours are 0x00BBGGRR; the system colours are marked by the top byte.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0xFF000000 | 15;    // COLOR_BTNFACE
constexpr TColor clWindow = 0xFF000000 | 5;      // COLOR_WINDOW
constexpr TColor clWindowText = 0xFF000000 | 8;  // COLOR_WINDOWTEXT

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = 11;  // character height in pixels
    bool Bold = false;
    bool Italic = false;
    TColor Color = clWindowText;
};

struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// What a control is, named for the class the backend may cast it to: the
// list and the drop-down exist only as the destination page's directory
// list and drive box.
enum class TControlKind {
    Form, Panel, Label, Bevel, Image, Button, Edit, Memo, ProgressBar, DirectoryListBox,
    DriveComboBox
};

enum class TBevelCut { None, Raised, Lowered };
enum class TBevelShape { Frame, TopLine, BottomLine };

// The property that changed, so the backend updates just that.
enum class TProp { Bounds, Caption, Visible, Enabled, Font, Color, Text, Position, Picture, Items };

class TControl {
public:
    TControl(TControlKind kind, TControl* parent);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TControlKind Kind() const { return kind_; }
    TControl* Parent() const { return parent_; }
    const std::vector<TControl*>& Children() const { return children_; }

    const TBounds& Bounds() const { return bounds_; }
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width; }
    int Height() const { return bounds_.Height; }
    void SetLeft(int left) { SetBounds(left, bounds_.Top, bounds_.Width, bounds_.Height); }
    void SetTop(int top) { SetBounds(bounds_.Left, top, bounds_.Width, bounds_.Height); }

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const TFont& Font() const { return font_; }
    // Gives the control a font of its own. A control without one follows
    // its parent's font, also when that is set or changed later.
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    // On: the control takes its parent's font again and follows it.
    void SetParentFont(bool on);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Paints the control at once, without waiting for the message loop.
    void Repaint();
    // The system's handle of the window behind the control, or nullptr.
    void* Handle() const;

    // The backend's window behind the control, if any.
    void* Peer = nullptr;

    // Runs handler as an event of this control: an error it raises is shown
    // in the application's default error box and goes no further.
    void Fire(const TNotifyEvent& handler);

protected:
    void Changed(TProp prop);
    virtual void AdjustSize() {}
    // Shows font and passes it on to the children that follow this control.
    void ApplyFont(const TFont& font);

    TBounds bounds_;
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    TFont font_;
    bool parentFont_ = true;
    TColor color_ = clBtnFace;

private:
    TControlKind kind_;
    TControl* parent_;
    std::vector<TControl*> children_;
};

class TPanel : public TControl {
public:
    explicit TPanel(TControl* parent) : TControl(TControlKind::Panel, parent) {}
    TBevelCut BevelOuter = TBevelCut::Raised;
    TBevelCut BevelInner = TBevelCut::None;
    int BevelWidth = 1;
};

class TLabel : public TControl {
public:
    explicit TLabel(TControl* parent);
    // Sizes itself to its text when on; keeps its bounds when off.
    bool AutoSize = true;
    // Only the text is drawn; what lies beneath shows through.
    bool Transparent = false;
    bool WordWrap = false;
    void SetCaption(const std::string& caption) override;
    void SetAutoSize(bool on);

protected:
    void AdjustSize() override;
};

class TBevel : public TControl {
public:
    explicit TBevel(TControl* parent) : TControl(TControlKind::Bevel, parent) {}
    TBevelShape Shape = TBevelShape::Frame;
};

// A picture from the exe's resources, by resource id.
class TImage : public TControl {
public:
    explicit TImage(TControl* parent) : TControl(TControlKind::Image, parent) {}
    int Picture = 0;
    bool IsIcon = false;
    bool Stretch = false;
};

class TButton : public TControl {
public:
    explicit TButton(TControl* parent) : TControl(TControlKind::Button, parent) {}
    TNotifyEvent OnClick;
    // A click by the user or by the program: runs OnClick while enabled.
    void Click();
};

// A single-line edit (or a multi-line one, as TMemo). Text typed by the
// user reaches the object through the backend.
class TEdit : public TControl {
public:
    explicit TEdit(TControl* parent, TControlKind kind = TControlKind::Edit)
        : TControl(kind, parent)
    {
        color_ = clWindow;
    }
    const std::string& Text() const { return caption_; }
    void SetText(const std::string& text) { SetCaption(text); }
    // Called by the backend when the user changed the text.
    void TextChangedByUser(const std::string& text) { caption_ = text; }
};

// A multi-line edit. Its text is its lines, each ended by CR LF but the last.
class TMemo : public TEdit {
public:
    explicit TMemo(TControl* parent) : TEdit(parent, TControlKind::Memo) {}
    bool ReadOnly = false;
    bool WordWrap = true;
    bool Border = true;
    bool TabStop = true;

    // Replaces the whole text; raises "Text exceeds memo capacity", keeping
    // the old text, when the window cannot hold the new one.
    void SetMemoText(const std::string& text);
    // Lines.Clear and Lines.Add.
    void Clear() { SetMemoText(""); }
    void AddLine(const std::string& line);
    TStrings Lines() const;
};

class TProgressBar : public TControl {
public:
    explicit TProgressBar(TControl* parent) : TControl(TControlKind::ProgressBar, parent) {}
    int Min = 0, Max = 100;
    int Position() const { return position_; }
    // Kept within Min..Max, as the control does.
    void SetPosition(int position);

private:
    int position_ = 0;
};

// A timer ticking through the message loop while enabled.
class TTimer {
public:
    TTimer() = default;
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;
    unsigned Interval = 1000;
    TNotifyEvent OnTimer;
    TControl* Owner = nullptr;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Called by the backend at each tick.
    void Tick();
    void* Peer = nullptr;

private:
    bool enabled_ = false;
};
