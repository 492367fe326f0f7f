#include "classes/stdctrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::Click;
using testdrv::RunUntilIdle;

using ListBoxTest = test::AppTest;

// A list box that records what the class library asks of it.
class TRecordingList : public TCustomListBox {
    TRESTLE_CLASS(TRecordingList, TCustomListBox)
public:
    explicit TRecordingList(TComponent* AOwner) : TCustomListBox(AOwner) {}

    struct Drawn {
        int Index;
        TRect Rect;
        TOwnerDrawState State;
        TColor Brush;
    };
    std::vector<Drawn> Draws;
    std::vector<int> Measured;
    int Clicks = 0;
    int DoubleClicks = 0;
    int Height = 0; // the answer of MeasureItem, 0 leaves the offer

protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
        Draws.push_back(Drawn{Index, Rect, State, Canvas()->Brush()->Color()});
        inherited::DrawItem(Index, Rect, State);
    }
    void MeasureItem(int Index, int& AHeight) override {
        Measured.push_back(Index);
        if (Height) AHeight = Height + Index;
    }
    void Click() override {
        ++Clicks;
        inherited::Click();
    }
    void DblClick() override {
        ++DoubleClicks;
        inherited::DblClick();
    }
};

TForm* MakeForm() {
    auto* Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 300, 250);
    return Form;
}

TRecordingList* MakeList(TForm* Form, TListBoxStyle Style = lbStandard) {
    auto* List = new TRecordingList(Form);
    List->SetStyle(Style);
    List->SetBounds(10, 10, 150, 120);
    List->SetParent(Form);
    return List;
}

TEST_F(ListBoxTest, ItemsLiveInTheWindowAndAreKeptWithoutOne) {
    TForm* Form = MakeForm();
    auto* List = new TRecordingList(Form);
    TObject Tag;
    List->Items()->Add("one");
    List->Items()->AddObject("two", &Tag);
    List->Items()->Add("три");
    List->SetItemIndex(1);
    EXPECT_FALSE(List->HandleAllocated());
    EXPECT_EQ(List->Count(), 3);
    EXPECT_EQ(List->ItemIndex(), 1);

    List->SetParent(Form);
    const win::HWND Wnd = List->Handle();
    EXPECT_EQ(win::SendMessage(Wnd, win::LB_GETCOUNT, 0, 0), 3) << "the window took the items";
    EXPECT_EQ(List->Items()->Strings(2), "три");
    EXPECT_EQ(List->Items()->Objects(1), &Tag);
    EXPECT_EQ(win::SendMessage(Wnd, win::LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(win::GetWindowLongPtr(Wnd, win::GWL_ID), reinterpret_cast<win::LONG_PTR>(Wnd));

    List->Items()->SetStrings(1, "zwei");
    EXPECT_EQ(List->Items()->Objects(1), &Tag) << "a changed string keeps its object";
    EXPECT_EQ(List->ItemIndex(), 1) << "and the selection";
    List->Items()->Delete(0);
    EXPECT_EQ(List->ItemIndex(), 0);

    List->SetParent(nullptr);
    EXPECT_FALSE(List->HandleAllocated());
    EXPECT_FALSE(win::IsWindow(Wnd));
    EXPECT_EQ(List->Count(), 2);
    EXPECT_EQ(List->Items()->Strings(0), "zwei");
    EXPECT_EQ(List->Items()->Objects(0), &Tag);
    EXPECT_EQ(List->ItemIndex(), 0);
    List->SetParent(Form);
    EXPECT_EQ(win::SendMessage(List->Handle(), win::LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(List->ItemIndex(), 0);
    EXPECT_THROW(List->Items()->Strings(5), EStringListError);
    List->Clear();
    EXPECT_EQ(List->Count(), 0);
    delete Form;
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreDrawnByTheControl) {
    TForm* Form = MakeForm();
    TRecordingList* List = MakeList(Form, lbOwnerDrawFixed);
    List->SetItemHeight(20);
    for (const char* S : {"a", "b", "c"}) List->Items()->Add(S);
    List->SetItemIndex(1);
    Form->Show();
    RunUntilIdle();
    ASSERT_EQ(List->Draws.size(), 3u);
    EXPECT_EQ(List->Draws[1].Index, 1);
    EXPECT_EQ(List->Draws[1].Rect, (TRect{0, 20, List->ClientWidth(), 40}));
    EXPECT_TRUE(List->Draws[1].State.Contains(odSelected));
    EXPECT_EQ(List->Draws[1].Brush, clHighlight) << "the selected item on the highlight";
    EXPECT_EQ(List->Draws[0].Brush, List->Color());
    EXPECT_TRUE(List->Measured.empty()) << "a fixed list is not measured per item";

    // Made a top-level window, it is still drawn through its control.
    win::SetParent(List->Handle(), nullptr);
    win::SendMessage(List->Handle(), win::WM_SETFOCUS, 0, 0);
    List->Draws.clear();
    List->Repaint();
    ASSERT_EQ(List->Draws.size(), 3u);
    EXPECT_TRUE(List->Draws[1].State.Contains(odFocused));
    delete Form;
}

TEST_F(ListBoxTest, VariableItemsAreMeasuredOneByOne) {
    TForm* Form = MakeForm();
    TRecordingList* List = MakeList(Form, lbOwnerDrawVariable);
    List->Height = 10;
    List->HandleNeeded();
    for (const char* S : {"a", "b", "c"}) List->Items()->Add(S);
    EXPECT_EQ(List->Measured, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(List->ItemRect(2), (TRect{0, 21, List->ClientWidth(), 33}));
    EXPECT_EQ(List->ItemRect(3), (TRect{0, 33, List->ClientWidth(), 45})) << "the place after the last";
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 15}, true), 1);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 80}, true), -1);
    EXPECT_EQ(List->ItemAtPos(TPoint{5, 80}, false), 3);
    delete Form;
}

TEST_F(ListBoxTest, SelectionByMouseClicksTheControl) {
    TForm* Form = MakeForm();
    TRecordingList* List = MakeList(Form);
    for (const char* S : {"a", "b", "c"}) List->Items()->Add(S);
    Form->Show();
    RunUntilIdle();
    Click(List->Handle(), gfx::POINT{20, List->ItemRect(2).top + 2});
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_GT(List->Clicks, 0);
    EXPECT_EQ(List->DoubleClicks, 0);
    Click(List->Handle(), gfx::POINT{20, List->ItemRect(2).top + 2});
    EXPECT_EQ(List->DoubleClicks, 1);
    delete Form;
}

TEST_F(ListBoxTest, ColourComesFromTheControl) {
    TForm* Form = MakeForm();
    TRecordingList* List = MakeList(Form);
    List->SetColor(clYellow);
    List->SetBorderStyle(bsNone);
    Form->Show();
    RunUntilIdle();
    gfx::RECT R{};
    win::GetWindowRect(List->Handle(), &R);
    EXPECT_EQ(win::ScreenPixel(gfx::POINT{R.left + 5, R.top + 5}), gfx::ColorToRGB(clYellow));
    delete Form;
}

} // namespace
