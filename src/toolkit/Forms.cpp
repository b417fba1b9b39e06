#include "toolkit/Forms.h"

#include "platform/Platform.h"
#include "toolkit/Backend.h"

namespace {

// Creates the peers of a control and its children, parents first, in
// creation order.
void CreatePeers(TControl& control)
{
    Backend()->CreatePeer(control);
    for (TControl* child : control.Children()) CreatePeers(*child);
}

void DestroyPeers(TControl& control)
{
    for (TControl* child : control.Children()) DestroyPeers(*child);
    if (control.Peer != nullptr) Backend()->DestroyPeer(control);
}

}  // namespace

TForm::~TForm()
{
    if (Backend() != nullptr) DestroyPeers(*this);
}

void TForm::CreateForm()
{
    bool showAfterCreate = visible_;
    visible_ = false;
    if (Backend() != nullptr) CreatePeers(*this);
    created_ = true;
    Fire(OnCreate);
    if (showAfterCreate && !Application().Terminated()) SetVisible(true);
    if (visible_) Showing();
}

void TForm::Showing()
{
    if (shown_) return;
    shown_ = true;
    Fire(OnShow);
}

TModalResult TForm::ShowModal()
{
    ModalResult = TModalResult::None;
    SetVisible(true);
    Showing();
    if (Backend() != nullptr) Backend()->ShowModal(*this);
    SetVisible(false);
    return ModalResult;
}

void TForm::BringToFront()
{
    if (Backend() != nullptr) Backend()->BringToFront(*this);
}

void TForm::Close() { Closing(); }

void TForm::Closing()
{
    Fire(OnClose);
    ModalResult = TModalResult::Cancel;
    if (this == Application().MainForm) Application().Terminate();
}

TApplication& Application()
{
    static TApplication application;
    return application;
}

void TApplication::Terminate()
{
    if (terminated_) return;
    terminated_ = true;
    if (Backend() != nullptr) Backend()->PostQuit();
}

void TApplication::Run()
{
    if (!terminated_ && Backend() != nullptr) Backend()->RunMessageLoop();
}

void TApplication::ShowException(const std::string& message)
{
    Sys().Desktop->ShowMessage(message + ".", Title, TMsgIcon::Stop);
}
