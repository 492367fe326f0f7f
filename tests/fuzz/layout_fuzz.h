// What the two layout targets share: a toolbar form built afresh for every
// input (a main menu, docked and floating toolbars, a placed dock site and
// two sub items, one inside the other), and the checks that it still has a
// usable layout after reading one.
#pragma once

#include <string>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/dockcontrol.h"
#include "bars/layout.h"
#include "bars/manager.h"
#include "bars/subitem.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "fuzz.h"
#include "win/driver.h"
#include "win/user.h"

namespace fuzz {

// Seeds name these: the form "FuzzForm", the manager "BarManager", the placed
// site "PlacedDock", the sub items "mnuFile" and "mnuMore", the buttons
// "btn0" to "btn7"; the bars "Menu", "Tools", "Format" and "Floating".
class TLayoutForm {
public:
    TLayoutForm() {
        Form = new cls::TForm(nullptr);
        Form->SetName("FuzzForm");
        Form->SetBounds(20, 20, 600, 400);
        Manager = new bars::TdxBarManager(Form);
        Manager->SetName("BarManager");
        auto* Placed = new bars::TdxBarDockControl(Form);
        Placed->SetName("PlacedDock");
        Placed->SetParent(Form);
        Placed->SetBarManager(Manager);
        Placed->SetAlign(cls::alBottom);
        std::vector<bars::TdxBarItem*> Buttons;
        for (int I = 0; I < 8; ++I) {
            auto* Button = new bars::TdxBarButton(Form);
            Button->SetName("btn" + std::to_string(I));
            Button->SetCaption("Command " + std::to_string(I));
            Buttons.push_back(Button);
        }
        auto* File = new bars::TdxBarSubItem(Form);
        File->SetName("mnuFile");
        auto* More = new bars::TdxBarSubItem(Form);
        More->SetName("mnuMore");
        File->ItemLinks()->Add(Buttons[0]);
        File->ItemLinks()->Add(More);
        More->ItemLinks()->Add(Buttons[1]);
        struct TBar {
            const char* Caption;
            bars::TdxBarDockingStyle Style;
            bars::TdxDockControl* Dock;
        };
        const TBar Bars[] = {{"Menu", bars::dsTop, nullptr},
                             {"Tools", bars::dsLeft, nullptr},
                             {"Format", bars::dsBottom, Placed},
                             {"Floating", bars::dsNone, nullptr}};
        for (int N = 0; N < 4; ++N) {
            bars::TdxBar* Bar = Manager->Bars()->Add();
            Bar->SetCaption(Bars[N].Caption);
            Bar->SetDockingStyle(Bars[N].Style);
            if (Bars[N].Dock) Bar->SetDockControl(Bars[N].Dock);
            Bar->ItemLinks()->Add(N == 0 ? static_cast<bars::TdxBarItem*>(File) : Buttons[N + 1]);
            Bar->ItemLinks()->Add(Buttons[N + 4]);
            Bar->SetVisible(true);
        }
        Manager->Bars()->Items(0)->SetIsMainMenu(true);
        Form->Show();
        Manager->Loaded();
        Pump();
        FBarsBefore = Manager->Bars()->Count();
    }
    ~TLayoutForm() { delete Form; }
    TLayoutForm(const TLayoutForm&) = delete;
    TLayoutForm& operator=(const TLayoutForm&) = delete;

    static void Pump() {
        win::MSG Msg{};
        for (int I = 0; I < 10000 && win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE); ++I) {
            win::TranslateMessage(&Msg);
            win::DispatchMessage(&Msg);
        }
    }

    // The form is still usable: no lock or loading mark is left, the bars
    // are bounded, every shown bar sits in its window and site, every link
    // has an item, and no sub item contains itself.
    void Check() const {
        FUZZ_REQUIRE(!Manager->LockUpdate());
        FUZZ_REQUIRE(!Manager->Bars()->LoadingBars());
        FUZZ_REQUIRE(Manager->Bars()->Count() <= FBarsBefore + 1024);
        for (int N = 0; N < Manager->Bars()->Count(); ++N) {
            bars::TdxBar* Bar = Manager->Bars()->Items(N);
            FUZZ_REQUIRE(!Bar->LockUpdate());
            FUZZ_REQUIRE(Bar->Visible() == (Bar->Control() != nullptr));
            if (bars::TdxBarControl* Window = Bar->Control()) {
                FUZZ_REQUIRE(Window->HandleAllocated());
                bars::TdxDockControl* Dock = Bar->GetRealDockControl();
                FUZZ_REQUIRE(Dock == nullptr || Dock->FindCol(Window) != nullptr);
            }
            CheckLinks(Bar->ItemLinks());
        }
        for (int I = 0; I < Manager->ItemCount(); ++I) {
            if (auto* SubItem = dynamic_cast<bars::TCustomdxBarSubItem*>(Manager->Items(I))) {
                CheckLinks(SubItem->ItemLinks());
                FUZZ_REQUIRE(!SubItem->ItemLinks()->ContainsItem(SubItem));
            }
        }
        for (int I = 0; I < Manager->DockControlCount(); ++I) {
            bars::TdxDockControl* Dock = Manager->GetDockControl(I);
            for (int R = 0; R < Dock->GetRowCount(); ++R) FUZZ_REQUIRE(Dock->GetRow(R)->GetColCount() > 0);
        }
    }

    cls::TForm* Form = nullptr;
    bars::TdxBarManager* Manager = nullptr;

private:
    static void CheckLinks(bars::TdxBarItemLinks* ALinks) {
        for (int K = 0; K < ALinks->Count(); ++K) FUZZ_REQUIRE(ALinks->Items(K)->Item() != nullptr);
    }

    int FBarsBefore = 0;
};

// A layout written from what was read reads back without a problem.
inline void CheckRoundTrip(const bars::TdxBarLayoutResult& ASaved, const bars::TdxBarLayoutResult& ALoaded) {
    FUZZ_REQUIRE(ASaved.Ok());
    FUZZ_REQUIRE(ALoaded.Ok());
}

} // namespace fuzz
