#include "classes/dialogs.h"

#include "classes/buttons.h"
#include "classes/forms.h"
#include "classes/stdctrls.h"
#include "gfx/draw.h"

#include <algorithm>
#include <vector>

namespace cls {

namespace {

constexpr win::UINT kTypeMask = 0x0F;
constexpr win::UINT kIconMask = 0xF0;
constexpr win::UINT kDefMask = 0xF00;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

struct TButtonSpec {
    int Id;
    const TResStringRec* Text;
};

std::vector<TButtonSpec> ButtonsOf(win::UINT Type) {
    switch (Type & kTypeMask) {
        case win::MB_OKCANCEL:
            return {{win::IDOK, &SMsgDlgOK}, {win::IDCANCEL, &SMsgDlgCancel}};
        case win::MB_ABORTRETRYIGNORE:
            return {{win::IDABORT, &SMsgDlgAbort},
                    {win::IDRETRY, &SMsgDlgRetry},
                    {win::IDIGNORE, &SMsgDlgIgnore}};
        case win::MB_YESNOCANCEL:
            return {{win::IDYES, &SMsgDlgYes}, {win::IDNO, &SMsgDlgNo}, {win::IDCANCEL, &SMsgDlgCancel}};
        case win::MB_YESNO:
            return {{win::IDYES, &SMsgDlgYes}, {win::IDNO, &SMsgDlgNo}};
        case win::MB_RETRYCANCEL:
            return {{win::IDRETRY, &SMsgDlgRetry}, {win::IDCANCEL, &SMsgDlgCancel}};
        default:
            return {{win::IDOK, &SMsgDlgOK}};
    }
}

// The box's icon, our own drawing of the four kinds.
class TMessageIcon : public TGraphicControl {
    TRESTLE_CLASS(TMessageIcon, TGraphicControl)
public:
    TMessageIcon(TComponent* AOwner, win::UINT AKind) : TGraphicControl(AOwner), FKind(AKind) {
        SetBounds(0, 0, kIconSize, kIconSize);
    }

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Pen()->SetColor(clBlack);
        std::string Mark;
        TColor MarkColor = clWhite;
        if (FKind == win::MB_ICONEXCLAMATION) {
            C->Brush()->SetColor(static_cast<TColor>(0x00FFFF));
            C->Polygon({Point(15, 1), Point(30, 29), Point(1, 29)});
            Mark = "!";
            MarkColor = clBlack;
        } else {
            C->Brush()->SetColor(FKind == win::MB_ICONHAND ? static_cast<TColor>(0x0000E0)
                                                           : static_cast<TColor>(0xC06000));
            C->Ellipse(1, 1, 31, 31);
            Mark = FKind == win::MB_ICONHAND ? "X" : FKind == win::MB_ICONQUESTION ? "?" : "i";
        }
        C->Font()->SetStyle(TFontStyles{fsBold});
        C->Font()->SetHeight(-18);
        C->Font()->SetColor(MarkColor);
        gfx::SetBkMode(C->Handle(), gfx::TRANSPARENT);
        TRect R{0, FKind == win::MB_ICONEXCLAMATION ? 6 : 0, kIconSize, kIconSize};
        C->TextRect(R, Mark, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
    }

private:
    win::UINT FKind;
};

// Refuses the close box and Esc when the box has no answer for them.
class TMessageForm : public TForm {
    TRESTLE_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(bool ACanCancel) : TForm(nullptr), FCanCancel(ACanCancel) {}
    bool CloseQuery() override { return (FCanCancel || ModalResult() != mrCancel) && TForm::CloseQuery(); }

private:
    bool FCanCancel;
};

} // namespace

int MessageBoxDialog(win::HWND, const std::string& Text, const std::string& Caption, win::UINT Type) {
    const std::vector<TButtonSpec> Specs = ButtonsOf(Type);
    const auto HasId = [&](int Id) {
        return std::any_of(Specs.begin(), Specs.end(), [Id](const TButtonSpec& S) { return S.Id == Id; });
    };
    const int CancelId = HasId(win::IDCANCEL) ? win::IDCANCEL : Specs.size() == 1 ? win::IDOK : 0;
    TMessageForm Form(CancelId != 0);
    Form.SetBorderStyle(bsDialog);
    Form.SetBorderIcons(TBorderIcons{biSystemMenu});
    Form.SetPosition(poScreenCenter);
    Form.SetCaption(Caption);
    Form.Font()->Assign(Screen->MenuFont());

    const win::UINT IconKind = Type & kIconMask;
    const bool HasIcon = IconKind == win::MB_ICONHAND || IconKind == win::MB_ICONQUESTION ||
                         IconKind == win::MB_ICONEXCLAMATION || IconKind == win::MB_ICONASTERISK;
    int TextLeft = kMargin;
    if (HasIcon) {
        auto* Icon = new TMessageIcon(&Form, IconKind);
        Icon->SetParent(&Form);
        Icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
        TextLeft += kIconSize + kMargin;
    }

    // The text wraps at half the screen's width, like the platform's box.
    auto* Label = new TLabel(&Form);
    Label->SetShowAccelChar(false);
    Label->SetParent(&Form);
    Label->SetAutoSize(false);
    Label->SetWordWrap(true);
    TBitmap Measure;
    Measure.Canvas()->Font()->Assign(Form.Font());
    TRect TextRect{0, 0, std::max(Screen->Width() / 2, 100), 0};
    gfx::DrawText(Measure.Canvas()->Handle(), Text, &TextRect,
                  gfx::DT_CALCRECT | gfx::DT_WORDBREAK | gfx::DT_NOPREFIX | gfx::DT_EXPANDTABS);
    const int TextHeight = std::max<int>(TextRect.bottom, HasIcon ? kIconSize : 0);
    Label->SetBounds(TextLeft, kMargin + (TextHeight - TextRect.bottom) / 2, TextRect.right, TextRect.bottom);
    Label->SetCaption(Text);

    const int Count = static_cast<int>(Specs.size());
    const int ButtonsWidth = Count * kButtonWidth + (Count - 1) * kButtonGap;
    const int ClientWidth = std::max(TextLeft + static_cast<int>(TextRect.right), ButtonsWidth) + kMargin;
    const int ButtonsTop = kMargin + TextHeight + kMargin + 4;
    Form.SetClientWidth(std::max(ClientWidth, ButtonsWidth + 2 * kMargin));
    Form.SetClientHeight(ButtonsTop + kButtonHeight + kMargin);

    const int DefaultIndex = std::min<int>(static_cast<int>((Type & kDefMask) >> 8), Count - 1);
    int X = (Form.ClientWidth() - ButtonsWidth) / 2;
    for (int I = 0; I < Count; ++I) {
        auto* Button = new TButton(&Form);
        Button->SetParent(&Form);
        Button->SetBounds(X, ButtonsTop, kButtonWidth, kButtonHeight);
        Button->SetCaption(LoadResString(*Specs[I].Text));
        Button->SetModalResult(Specs[I].Id);
        Button->SetCancel(Specs[I].Id == CancelId);
        Button->SetDefault(I == DefaultIndex);
        if (I == DefaultIndex) Form.SetActiveControl(Button);
        X += kButtonWidth + kButtonGap;
    }
    win::MessageBeep(IconKind);
    return Form.ShowModal();
}

} // namespace cls
