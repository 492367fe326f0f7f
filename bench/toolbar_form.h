// The toolbar benchmarks' form: 1024 x 768 with bars of twelve commands
// (16 x 16 icons from an image list, every sixth with its caption) in the top
// dock site, two bars to a row; the third bar opens its row by OneOnRow.
#pragma once

#include <string>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "win/driver.h"

namespace bench {

constexpr int kCommands = 12;
constexpr int kFormWidth = 1024, kFormHeight = 768;

inline void RunUntilIdle() {
    win::MSG m{};
    while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) {
        win::TranslateMessage(&m);
        win::DispatchMessage(&m);
    }
}

// The messages handled, every window painted and the screen composed.
inline void CompleteFrame() {
    RunUntilIdle();
    win::ComposeScreen();
}

// Twelve 16 x 16 icons: a coloured disc with a dark square on a transparent
// (fuchsia) background.
inline void FillImages(cls::TImageList* AImages) {
    cls::TBitmap Strip(16 * kCommands, 16);
    cls::TCanvas* Canvas = Strip.Canvas();
    Canvas->Brush()->SetColor(cls::clFuchsia);
    Canvas->FillRect(cls::TRect{0, 0, 16 * kCommands, 16});
    for (int I = 0; I < kCommands; ++I) {
        const int X = I * 16;
        Canvas->Pen()->SetColor(cls::clBlack);
        Canvas->Brush()->SetColor(static_cast<cls::TColor>(gfx::RGB(40 + 17 * I, 200 - 13 * I, 90 + 11 * I)));
        Canvas->Ellipse(X + 1, 1, X + 15, 15);
        Canvas->Brush()->SetColor(cls::clNavy);
        Canvas->FillRect(cls::TRect{X + 6, 6, X + 10, 10});
    }
    AImages->AddMasked(&Strip, cls::clFuchsia);
}

// The form with its manager, image list, commands and bars; nothing shown yet.
class TToolbarForm {
public:
    TToolbarForm(bars::TdxBarManagerStyle AStyle, int ABars) {
        Form = new cls::TForm(nullptr);
        Form->SetBounds(0, 0, kFormWidth, kFormHeight);
        Manager = new bars::TdxBarManager(Form);
        Manager->SetStyle(AStyle);
        auto* Images = new cls::TImageList(Form);
        FillImages(Images);
        Manager->SetImages(Images);
        for (int B = 0; B < ABars; ++B) {
            bars::TdxBar* Bar = Manager->Bars()->Add();
            Bar->SetCaption("Bar " + std::to_string(B + 1));
            Bar->SetDockingStyle(bars::dsTop);
            Bar->SetRow(B / 2);
            Bar->SetOneOnRow(B % 2 == 0 && B > 0);
            Bar->SetDockedLeft(B % 2 == 0 ? 0 : 1000);
            for (int C = 0; C < kCommands; ++C) {
                auto* Button = new bars::TdxBarButton(Form);
                Button->SetCaption("Command " + std::to_string(B * kCommands + C + 1));
                Button->SetImageIndex(C);
                if (C % 6 == 0) Button->SetPaintStyle(bars::psCaptionGlyph);
                Bar->ItemLinks()->Add(Button)->SetBeginGroup(C > 0 && C % 4 == 0);
            }
            Bars.push_back(Bar);
        }
    }
    ~TToolbarForm() {
        delete Form;
        CompleteFrame();
    }
    TToolbarForm(const TToolbarForm&) = delete;
    TToolbarForm& operator=(const TToolbarForm&) = delete;

    // The bars and the form shown; the screen complete.
    void Show() {
        for (bars::TdxBar* Bar : Bars) Bar->SetVisible(true);
        Form->Show();
        CompleteFrame();
    }
    void Resize(int AWidth) {
        Form->SetBounds(0, 0, AWidth, kFormHeight);
        CompleteFrame();
    }
    int TruncatedBars() const {
        int Count = 0;
        for (bars::TdxBar* Bar : Bars) Count += Bar->Control() && Bar->Control()->Truncated() ? 1 : 0;
        return Count;
    }

    cls::TForm* Form = nullptr;
    bars::TdxBarManager* Manager = nullptr;
    std::vector<bars::TdxBar*> Bars;
};

} // namespace bench
