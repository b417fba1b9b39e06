#include "toolkit/Controls.h"

#include <algorithm>

#include "core/Error.h"
#include "toolkit/Backend.h"
#include "toolkit/Forms.h"

namespace {
IWidgetBackend* installedBackend = nullptr;
}

IWidgetBackend* Backend() { return installedBackend; }
void SetBackend(IWidgetBackend* backend) { installedBackend = backend; }

TTextSize EstimateTextSize(const TFont& font, const std::string& text)
{
    return {static_cast<int>(text.size()) * 6, font.Height + 2};
}

TControl::TControl(TControlKind kind, TControl* parent) : kind_(kind), parent_(parent)
{
    if (parent_ != nullptr) {
        parent_->children_.push_back(this);
        font_ = parent_->font_;
    }
}

TControl::~TControl()
{
    if (Peer != nullptr && Backend() != nullptr) Backend()->DestroyPeer(*this);
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TControl::Changed(TProp prop)
{
    if (Peer != nullptr && Backend() != nullptr) Backend()->Update(*this, prop);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    bounds_ = {left, top, width, height};
    Changed(TProp::Bounds);
}

void TControl::SetCaption(const std::string& caption)
{
    caption_ = caption;
    Changed(TProp::Caption);
}

void TControl::SetVisible(bool visible)
{
    if (visible_ == visible) return;
    visible_ = visible;
    Changed(TProp::Visible);
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed(TProp::Enabled);
}

void TControl::SetFont(const TFont& font)
{
    parentFont_ = false;
    ApplyFont(font);
}

void TControl::SetParentFont(bool on)
{
    parentFont_ = on;
    if (on && parent_ != nullptr) ApplyFont(parent_->font_);
}

void TControl::ApplyFont(const TFont& font)
{
    font_ = font;
    AdjustSize();
    Changed(TProp::Font);
    for (TControl* child : children_)
        if (child->parentFont_) child->ApplyFont(font);
}

void TControl::SetColor(TColor color)
{
    color_ = color;
    Changed(TProp::Color);
}

void TControl::Repaint()
{
    if (Peer != nullptr && Backend() != nullptr) Backend()->Repaint(*this);
}

void* TControl::Handle() const
{
    return Peer != nullptr && Backend() != nullptr
               ? Backend()->NativeHandle(const_cast<TControl&>(*this))
               : nullptr;
}

void TControl::Fire(const TNotifyEvent& handler)
{
    if (!handler) return;
    try {
        handler(*this);
    } catch (const EError& e) {
        Application().ShowException(e.Message());
    } catch (const std::exception& e) {
        Application().ShowException(e.what());
    }
}

TLabel::TLabel(TControl* parent) : TControl(TControlKind::Label, parent)
{
    if (parent != nullptr) color_ = parent->Color();
}

void TLabel::SetCaption(const std::string& caption)
{
    caption_ = caption;
    AdjustSize();
    Changed(TProp::Caption);
}

void TLabel::SetAutoSize(bool on)
{
    AutoSize = on;
    AdjustSize();
}

void TLabel::AdjustSize()
{
    if (!AutoSize) return;
    TTextSize size = Backend() != nullptr ? Backend()->MeasureText(font_, caption_)
                                          : EstimateTextSize(font_, caption_);
    bounds_.Width = size.Width;
    bounds_.Height = size.Height;
    Changed(TProp::Bounds);
}

void TButton::Click()
{
    if (enabled_) Fire(OnClick);
}

void TMemo::SetMemoText(const std::string& text)
{
    std::string old = caption_;
    caption_ = text;
    if (Peer != nullptr && Backend() != nullptr && !Backend()->StoreText(*this)) {
        caption_ = old;
        Backend()->StoreText(*this);
        throw EError("Text exceeds memo capacity");
    }
}

void TMemo::AddLine(const std::string& line)
{
    SetMemoText(caption_.empty() ? line : caption_ + "\r\n" + line);
}

TStrings TMemo::Lines() const
{
    TStrings lines;
    std::string::size_type at = 0;
    if (caption_.empty()) return lines;
    while (true) {
        std::string::size_type end = caption_.find("\r\n", at);
        lines.push_back(caption_.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return lines;
}

void TProgressBar::SetPosition(int position)
{
    position_ = std::max(Min, std::min(Max, position));
    Changed(TProp::Position);
}

TTimer::~TTimer()
{
    if (enabled_ && Backend() != nullptr) Backend()->StopTimer(*this);
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (Backend() == nullptr) return;
    if (enabled_)
        Backend()->StartTimer(*this);
    else
        Backend()->StopTimer(*this);
}

void TTimer::Tick()
{
    // Events are reported through their owner's dispatch; an unowned timer
    // has nowhere to report to and does not tick.
    if (enabled_ && Owner != nullptr) Owner->Fire(OnTimer);
}
