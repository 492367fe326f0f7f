// A stand-in toolbar window for tests: it shows a bar's links in a row,
// counts as a toolbar and enters menu mode on a press.
#pragma once

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/links.h"
#include "classes/forms.h"
#include "support/driver.h"

namespace bars::test {

class TRowToolbar : public TCustomdxBarControl {
    TRESTLE_CLASS(TRowToolbar, TCustomdxBarControl)
public:
    using TCustomdxBarControl::TCustomdxBarControl;

    // The bar's window, owned by the manager, at (400, 400) over the form.
    static TRowToolbar* Show(TdxBarManager* AManager, TdxBar* ABar, cls::TCustomForm* AForm) {
        auto* Toolbar = new TRowToolbar(AManager);
        Toolbar->SetItemLinks(ABar->ItemLinks());
        Toolbar->SetParentWindow(AForm->Handle());
        Toolbar->SetBounds(400, 400, 200, 28);
        Toolbar->SetVisible(true);
        testdrv::RunUntilIdle();
        return Toolbar;
    }

    bool IsToolbarWindow() const override { return true; }
    void SetMarkState(int AState) override { SetMarkStateValue(AState); }
    void RepaintBar() override {
        int X = 2;
        for (int I = 0; ItemLinks() && I < ItemLinks()->VisibleItemCount(); ++I) {
            TdxBarItemLink* Link = ItemLinks()->VisibleItems(I);
            const int Width = Link->Control() ? std::max(Link->Control()->GetWidth(), 24) : 24;
            Link->SetItemRect(cls::TRect{X, 2, X + Width, 26});
            X += Width;
        }
        if (HandleAllocated()) Invalidate();
    }

protected:
    void CreateParams(cls::TCreateParams& Params) override {
        inherited::CreateParams(Params);
        Params.Style = win::WS_POPUP;
    }
    void InitWindow() override { RepaintBar(); }
    void Dispatch(cls::TMessage& Message) override {
        if (Message.Msg == win::WM_LBUTTONDOWN) SetActive(true);
        inherited::Dispatch(Message);
    }
};

} // namespace bars::test
