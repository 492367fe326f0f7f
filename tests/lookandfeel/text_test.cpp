#include "classes/controls.h"
#include "classes/forms.h"
#include "classes/scoped_localizer.h"
#include "gfx/test_util.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"
#include "support/driver.h"

#include <string>

using namespace lf;
using gfx::RGB;
using gfx::test::DibDC;
using trestle_test::ScopedLocalizer;

namespace {

class TextTest : public testdrv::WinTest {};

TEST_F(TextTest, ResourceStringsComeFromLocalizerThenTableThenRecord) {
    constexpr cls::TResStringRec InTable{64001, "record text"};
    constexpr cls::TResStringRec NotInTable{64002, "only the record"};
    win::AddResource(win::GetModuleHandle(nullptr), win::ResType::String, std::uintptr_t{64001}, nullptr,
                     nullptr, "table text");
    EXPECT_EQ(cxGetResourceString(InTable), "table text");
    EXPECT_EQ(cxGetResourceString(NotInTable), "only the record");
    {
        ScopedLocalizer L([](const cls::TResStringRec& R) -> std::optional<std::string> {
            if (R.Identifier == 64001) return "перевод";
            return std::nullopt;
        });
        EXPECT_EQ(cxGetResourceString(InTable), "перевод");
        EXPECT_EQ(cxGetResourceString(NotInTable), "only the record");
    }
    // Read at the moment of use: a new table text shows at once.
    win::AddResource(win::GetModuleHandle(nullptr), win::ResType::String, std::uintptr_t{64001}, nullptr,
                     nullptr, "changed");
    EXPECT_EQ(cxGetResourceString(InTable), "changed");
}

TEST_F(TextTest, DrawTextMeasuresAndRestoresTheDC) {
    DibDC S(200, 40);
    gfx::SelectObject(S.dc(), gfx::GetStockObject(gfx::DEFAULT_GUI_FONT));
    gfx::SetTextColor(S.dc(), RGB(1, 2, 3));
    gfx::SetBkMode(S.dc(), gfx::OPAQUE);

    RECT Calc{10, 5, 10, 5};
    const int Height = cxDrawText(S.dc(), "Hello", Calc, gfx::DT_CALCRECT | gfx::DT_SINGLELINE);
    gfx::SIZE Extent{};
    ASSERT_TRUE(cxGetTextExtentPoint(S.dc(), "Hello", Extent));
    EXPECT_EQ(Calc.left, 10);
    EXPECT_EQ(Calc.top, 5);
    EXPECT_EQ(Calc.right - Calc.left, Extent.cx);
    EXPECT_EQ(Calc.bottom - Calc.top, Height);
    EXPECT_GT(Height, 0);
    EXPECT_EQ(S.CountNot(RGB(255, 255, 255)), 0);

    // A count limits the text; one past the end means all of it.
    gfx::SIZE Part{};
    ASSERT_TRUE(cxGetTextExtentPoint(S.dc(), "Hello", Part, 2));
    EXPECT_LT(Part.cx, Extent.cx);
    RECT Whole{0, 0, 0, 0};
    cxDrawText(S.dc(), "Hello", Whole, gfx::DT_CALCRECT | gfx::DT_SINGLELINE, 99);
    EXPECT_EQ(Whole.right, Extent.cx);

    RECT R{0, 0, 200, 40};
    cxDrawText(S.dc(), "Hello", R, gfx::DT_SINGLELINE, -1, gfx::clHighlight);
    EXPECT_GT(S.CountNot(RGB(255, 255, 255)), 0);
    EXPECT_EQ(gfx::GetTextColor(S.dc()), RGB(1, 2, 3));
    EXPECT_EQ(gfx::GetBkMode(S.dc()), gfx::OPAQUE);
    // Transparent by default: no background box.
    EXPECT_EQ(S.At(199, 39), RGB(255, 255, 255));
}

TEST_F(TextTest, WorkAreaOfTheNearestMonitor) {
    win::SetScreen(32,
                   {{{0, 0, 1024, 768}, {0, 0, 1024, 738}}, {{1024, 0, 2048, 768}, {1024, 20, 2048, 768}}});
    RECT R{};
    GetMonitorWorkAreaAtPoint({100, 100}, R);
    EXPECT_EQ(R, (RECT{0, 0, 1024, 738}));
    GetMonitorWorkAreaAtPoint({3000, -50}, R);
    EXPECT_EQ(R, (RECT{1024, 20, 2048, 768}));
}

TEST_F(TextTest, CanAllocateHandle) {
    EXPECT_FALSE(cxCanAllocateHandle(nullptr));
    auto* Orphan = new cls::TWinControl(nullptr);
    EXPECT_FALSE(cxCanAllocateHandle(Orphan));
    auto* Host = new cls::TWinControl(nullptr);
    win::WNDCLASS Class;
    Class.lpfnWndProc = &win::DefWindowProc;
    Class.lpszClassName = "ForeignHost";
    win::RegisterClass(&Class);
    Host->SetParentWindow(win::CreateWindowEx(0, "ForeignHost", "", win::WS_POPUP, 0, 0, 100, 100, nullptr,
                                              nullptr, nullptr, nullptr));
    Orphan->SetParent(Host);
    EXPECT_TRUE(cxCanAllocateHandle(Orphan));
    delete Orphan;
    delete Host;

    // A form without a parent needs the application's window.
    cls::DoneApplication();
    auto* Form = new cls::TCustomForm(nullptr);
    EXPECT_FALSE(cxCanAllocateHandle(Form));
    cls::Application->Handle();
    EXPECT_TRUE(cxCanAllocateHandle(Form));
    Form->HandleNeeded();
    EXPECT_TRUE(cxCanAllocateHandle(Form));
    delete Form;
    cls::DoneApplication();
}

// --- Object links ---

class TWatched : public cls::TObject {
public:
    ~TWatched() override { cxClearObjectLinks(this); }
};

TEST_F(TextTest, ObjectLinksClearOnDestruction) {
    auto* A = new TWatched;
    auto* B = new TWatched;
    TcxObjectLink* L1 = cxAddObjectLink(A);
    TcxObjectLink* L2 = cxAddObjectLink(A);
    TcxObjectLink* L3 = cxAddObjectLink(B);
    TcxObjectLink* Nil = cxAddObjectLink(nullptr);
    EXPECT_EQ(Nil->Ref, nullptr);
    cxRemoveObjectLink(L2);
    delete A;
    EXPECT_EQ(L1->Ref, nullptr);
    EXPECT_EQ(L3->Ref, B);
    cxRemoveObjectLink(L1);
    cxRemoveObjectLink(Nil);
    cxRemoveObjectLink(nullptr);
    // A link removed before its object dies is not touched by the destructor.
    cxRemoveObjectLink(L3);
    delete B;
}

} // namespace
