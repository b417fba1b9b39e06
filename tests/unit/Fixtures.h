// Shared set-up for unit tests of the program: every platform double
// installed, the process-wide state reset, an installer folder at C:\SETUP.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Shared.h"
#include "platform/doubles/FakePlatform.h"
#include "toolkit/Backend.h"
#include "toolkit/Forms.h"

// Records what the toolkit asks of the window system, for checking the
// order of window events without one.
class TRecordingBackend : public IWidgetBackend {
public:
    std::vector<std::string> Log;

    void CreatePeer(TControl& c) override
    {
        if (c.Kind() == TControlKind::Form) Log.push_back("create " + Name(c));
        c.Peer = this;
    }
    void DestroyPeer(TControl& c) override
    {
        if (c.Kind() == TControlKind::Form) Log.push_back("destroy " + Name(c));
        c.Peer = nullptr;
    }
    void Update(TControl& c, TProp prop) override
    {
        if (c.Kind() == TControlKind::Form && prop == TProp::Visible)
            Log.push_back((c.Visible() ? "show " : "hide ") + Name(c));
    }
    void Repaint(TControl& c) override { Log.push_back("repaint " + Name(c)); }
    void* NativeHandle(TControl&) override { return nullptr; }
    bool StoreText(TControl&) override { return true; }
    TTextSize MeasureText(const TFont& font, const std::string& text) override
    {
        return EstimateTextSize(font, text);
    }
    void StartTimer(TTimer&) override { Log.push_back("timer on"); }
    void StopTimer(TTimer&) override { Log.push_back("timer off"); }
    void ShowModal(TForm& form) override { Log.push_back("modal " + Name(form)); }
    void BringToFront(TForm& form) override { Log.push_back("front " + Name(form)); }
    void RunMessageLoop() override { Log.push_back("loop"); }
    void PostQuit() override { Log.push_back("quit"); }

    // Forms are told apart by their client size.
    static std::string Name(const TControl& c)
    {
        return std::to_string(c.Width()) + "x" + std::to_string(c.Height());
    }
};

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
    {
        ResetSharedState();
        Application() = TApplication();
        Fake.Disk.MakeDirs("C:\\SETUP");
    }
    ~ProgramTest() override
    {
        Application() = TApplication();
        SetBackend(nullptr);
    }
    void WriteDescription(const std::string& text)
    {
        Fake.Disk.Put("C:\\SETUP\\Pellwick.ipi", text);
    }
    const std::vector<TFakeDesktop::Box>& Boxes() const { return Fake.Desktop.Boxes; }

    TFakePlatform Fake;
};
