// The toolkit's controls as plain objects: how a font reaches the controls
// of a form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Backend.h"
#include "toolkit/Forms.h"

namespace {

TFont Face(const char* name, int height, bool bold)
{
    TFont font;
    font.Name = name;
    font.Height = height;
    font.Bold = bold;
    return font;
}

bool SameFont(const TFont& a, const TFont& b)
{
    return a.Name == b.Name && a.Height == b.Height && a.Bold == b.Bold && a.Italic == b.Italic &&
           a.Color == b.Color;
}

// Notes which controls the window system was told to show a new font for.
class FontBackend : public IWidgetBackend {
public:
    std::vector<const TControl*> FontUpdates;

    void CreatePeer(TControl& c) override { c.Peer = this; }
    void DestroyPeer(TControl& c) override { c.Peer = nullptr; }
    void Update(TControl& c, TProp prop) override
    {
        if (prop == TProp::Font) FontUpdates.push_back(&c);
    }
    void Repaint(TControl&) override {}
    void* NativeHandle(TControl&) override { return nullptr; }
    bool StoreText(TControl&) override { return true; }
    TTextSize MeasureText(const TFont& font, const std::string& text) override
    {
        return EstimateTextSize(font, text);
    }
    void StartTimer(TTimer&) override {}
    void StopTimer(TTimer&) override {}
    void ShowModal(TForm&) override {}
    void BringToFront(TForm&) override {}
    void RunMessageLoop() override {}
    void PostQuit() override {}
};

// A form whose members are made before its constructor body sets the
// form's font, as every form of the program is written.
class SampleForm : public TForm {
public:
    SampleForm() { SetFont(Face("MS Sans Serif", 11, true)); }
    TLabel Label{this};
    TPanel Page{this};
    TEdit Field{&Page};
    TLabel Caption{&Page};
};

class FontTest : public ::testing::Test {
protected:
    ~FontTest() override { SetBackend(nullptr); }
};

TEST_F(FontTest, MembersFollowTheFontTheFormSetsAfterMakingThem)
{
    SampleForm form;
    for (const TControl* c : {static_cast<TControl*>(&form.Label), static_cast<TControl*>(&form.Page),
                              static_cast<TControl*>(&form.Field), static_cast<TControl*>(&form.Caption)}) {
        EXPECT_TRUE(c->Font().Bold);
        EXPECT_TRUE(SameFont(form.Font(), c->Font()));
    }
}

TEST_F(FontTest, AFontOfItsOwnIsKeptAndPassedOnToItsChildren)
{
    SampleForm form;
    TFont own = Face("Arial", 16, false);
    form.Page.SetFont(own);
    form.SetFont(Face("Courier", 20, true));

    EXPECT_FALSE(form.Page.ParentFont());
    EXPECT_TRUE(SameFont(own, form.Page.Font()));
    EXPECT_TRUE(SameFont(own, form.Field.Font())) << "a child follows its own parent";
    EXPECT_TRUE(SameFont(own, form.Caption.Font()));
    EXPECT_EQ("Courier", form.Label.Font().Name);
    EXPECT_EQ(20, form.Label.Font().Height);
}

TEST_F(FontTest, TakingTheParentFontAgainFollowsItFromThenOn)
{
    SampleForm form;
    form.Label.SetFont(Face("Arial", 16, false));
    form.Label.SetParentFont(true);
    EXPECT_TRUE(SameFont(form.Font(), form.Label.Font()));
    form.SetFont(Face("Courier", 20, false));
    EXPECT_EQ("Courier", form.Label.Font().Name);
}

TEST_F(FontTest, AnAutoSizedLabelFitsTheFontItFollows)
{
    SampleForm form;
    form.Label.SetCaption("Name:");
    int before = form.Label.Height();
    form.SetFont(Face("Arial", 30, true));
    EXPECT_EQ(30 + 2, form.Label.Height());
    EXPECT_NE(before, form.Label.Height());
}

// The windows of a created form must be told too, or they keep drawing the
// font they were made with.
TEST_F(FontTest, WindowsOfFollowersAreToldOfTheChange)
{
    FontBackend backend;
    SetBackend(&backend);
    SampleForm form;
    form.CreateForm();
    form.Field.SetFont(Face("Arial", 16, false));
    backend.FontUpdates.clear();

    form.SetFont(Face("Courier", 20, true));
    auto told = [&](const TControl& c) {
        for (const TControl* updated : backend.FontUpdates)
            if (updated == &c) return true;
        return false;
    };
    EXPECT_TRUE(told(form));
    EXPECT_TRUE(told(form.Label));
    EXPECT_TRUE(told(form.Page));
    EXPECT_TRUE(told(form.Caption));
    EXPECT_FALSE(told(form.Field)) << "its own font did not change";
}

}  // namespace
