#include "bars/comboitems.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/painter.h"
#include "bars/registry.h"
#include "bars/system.h"
#include "bars/wincontrols.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

namespace {

// The characters of S in upper case.
std::u32string UpperChars(const std::string& S) {
    std::u32string Result;
    for (std::size_t I = 0; I < S.size();) {
        int Length = 0;
        Result.push_back(cls::UnicodeUpper(cls::Utf8Decode(S, I, &Length)));
        I += static_cast<std::size_t>(std::max(Length, 1));
    }
    return Result;
}

TdxBarItemControlPainterClass PainterOf(const TdxBarItem* AItem) {
    const TdxBarManager* Manager = AItem ? AItem->BarManager() : nullptr;
    return Manager && Manager->PainterClass() ? Manager->PainterClass() : TdxBarItemControlPainter::Class();
}

} // namespace

// ============================================================================
// TdxBarDropDownListBox
// ============================================================================

TdxBarDropDownListBox::TdxBarDropDownListBox(TdxBarCustomCombo* ACombo)
    : cls::TCustomListBox(ACombo), FCombo(ACombo) {
    SetStyle(cls::lbOwnerDrawFixed);
    SetBorderStyle(cls::bsNone);
    SetVisible(false);
}

TdxBarDropDownListBox::~TdxBarDropDownListBox() {
    // A bar window that went took its child list along.
    if (FCombo && FCombo->FDropDownList == this) FCombo->FDropDownList = nullptr;
}

void TdxBarDropDownListBox::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.ExStyle |= win::WS_EX_TOPMOST | win::WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= win::CS_SAVEBITS;
}

void TdxBarDropDownListBox::CreateWnd() {
    inherited::CreateWnd();
    if (auto* Window = dynamic_cast<TCustomdxBarControl*>(Parent())) Font()->Assign(Window->Font());
    Font()->SetColor(cls::clWindowText);
    // A top-level window that still tells its bar window everything.
    win::SetParent(Handle(), nullptr);
    // It draws its selection as focused and never takes the focus itself.
    win::SendMessage(Handle(), win::WM_SETFOCUS, 0, 0);
}

void TdxBarDropDownListBox::WndProc(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCCALCSIZE: {
            const int Border = PainterOf(FCombo)->GetDropDownListBorder();
            auto* R = reinterpret_cast<gfx::RECT*>(Message.LParam);
            if (R) gfx::InflateRect(R, -Border, -Border);
            inherited::WndProc(Message);
            return;
        }
        case win::WM_NCPAINT: {
            inherited::WndProc(Message);
            const gfx::HDC DC = win::GetWindowDC(Handle());
            cls::TRect R;
            win::GetWindowRect(Handle(), &R);
            PainterOf(FCombo)->DrawDropDownListBorder(DC,
                                                      gfx::RECT{0, 0, R.right - R.left, R.bottom - R.top});
            win::ReleaseDC(Handle(), DC);
            return;
        }
        case win::WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case win::WM_MOUSEACTIVATE:
            // A click chooses an entry; the form stays active.
            Message.Result = win::MA_NOACTIVATE;
            return;
        case win::WM_CAPTURECHANGED:
            FWaitForMouseEnter = false;
            break;
        case win::WM_MOUSEMOVE:
            if (FWaitForMouseEnter && win::GetCapture() == Handle() && ClientContains(Message)) {
                // The mouse came in with the button down: it selects from here on.
                FWaitForMouseEnter = false;
                cls::TMessage Press{win::WM_LBUTTONDOWN, win::MK_LBUTTON, Message.LParam, 0};
                DefaultHandler(Press);
            }
            break;
        case win::WM_LBUTTONUP:
            LButtonUp(Message);
            return;
        case win::WM_MOUSEWHEEL:
            // The wheel is the editor's, which has the focus: it scrolls the
            // list a line a notch.
            if (TdxBarComboControl* Control = FCombo ? FCombo->ActiveControl() : nullptr;
                Control && Control->Handle()) {
                Message.Result =
                    win::SendMessage(Control->Handle(), win::WM_MOUSEWHEEL, Message.WParam, Message.LParam);
                return;
            }
            break;
        default:
            break;
    }
    inherited::WndProc(Message);
}

bool TdxBarDropDownListBox::ClientContains(cls::TMessage& Message) {
    const cls::TRect Client = ClientRect();
    return gfx::PtInRect(&Client, cls::TWMMouse{Message}.Pos()) != 0;
}

void TdxBarDropDownListBox::LButtonUp(cls::TMessage& Message) {
    if (FWaitForMouseEnter) {
        // The button went up before the mouse entered: the list stays open.
        FWaitForMouseEnter = false;
        win::ReleaseCapture();
        return;
    }
    lf::TcxObjectLinkScope Self(this);
    TdxBarCustomCombo* Combo = FCombo;
    lf::TcxObjectLinkScope ComboAlive(Combo);
    const bool Inside = ClientContains(Message);
    inherited::WndProc(Message);
    if (!ComboAlive.Alive()) return;
    TdxBarComboControl* Control = Combo->ActiveControl();
    if (!Inside) {
        // A release outside the list (it held the mouse) chooses nothing.
        if (Control) Control->SetDroppedDown(false);
        return;
    }
    const int Index = Self.Alive() ? ItemIndex() : -1;
    if (TdxBarItemLink* Link = Control ? Control->ItemLink() : nullptr)
        (Link->ContainerLink() ? Link->ContainerLink() : Link)->ApplyRecentUse(true);
    CloseActiveBarControl();
    if (!ComboAlive.Alive()) return;
    if (TdxBarComboControl* Still = Combo->ActiveControl()) Still->SetDroppedDown(false);
    if (ComboAlive.Alive() && Index > -1) Combo->SetItemIndex(Index);
}

void TdxBarDropDownListBox::DrawItem(int Index, const cls::TRect& Rect, cls::TOwnerDrawState State) {
    if (FCombo) FCombo->DrawItem(Index, Rect, State);
}

void TdxBarDropDownListBox::MeasureItem(int Index, int& Height) {
    if (FCombo) FCombo->MeasureItemHeight(Index, Height);
}

void TdxBarDropDownListBox::Click() {
    lf::TcxObjectLinkScope Self(this);
    inherited::Click();
    if (!Self.Alive() || !FCombo) return;
    if (TdxBarComboControl* Control = FCombo->ActiveControl()) Control->SetItemIndex(ItemIndex());
}

// ============================================================================
// TdxBarCustomCombo
// ============================================================================

TdxBarCustomCombo::TdxBarCustomCombo(cls::TComponent* AOwner)
    : TCustomdxBarCombo(AOwner), FItems(new cls::TStringList()) {
    FItems->SetOnChange(cls::TNotifyEvent(this, &TdxBarCustomCombo::ItemsChanged));
}

TdxBarCustomCombo::~TdxBarCustomCombo() {
    TdxBarDropDownListBox* List = FDropDownList;
    FDropDownList = nullptr;
    delete List;
    FItems->SetOnChange(nullptr);
    delete FItems;
    delete FMeasureBitmap;
}

TdxBarDropDownListBox* TdxBarCustomCombo::DropDownList() {
    if (!FDropDownList) FDropDownList = new TdxBarDropDownListBox(this);
    return FDropDownList;
}

TdxBarComboControl* TdxBarCustomCombo::ActiveControl() const {
    const TdxBarItemLink* Link = GetActiveLink();
    return Link ? dynamic_cast<TdxBarComboControl*>(Link->Control()) : nullptr;
}

void TdxBarCustomCombo::SetItemIndex(int Value) {
    if (Value < 0 || Value >= FItems->Count()) Value = -1;
    if (FItemIndex == Value) return;
    FItemIndex = Value;
    FCurItemIndex = Value;
    const std::string NewText = Value >= 0 ? FItems->Strings(Value) : std::string();
    if (NewText != Text()) {
        SetText(NewText);
        return;
    }
    lf::TcxObjectLinkScope Self(this);
    RepaintLinkControls();
    DoChange();
    if (Self.Alive()) RepaintLinkControls();
}

void TdxBarCustomCombo::SetItems(cls::TStrings* Value) {
    FItems->Assign(Value);
}

void TdxBarCustomCombo::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    FItems->SetSorted(Value);
    FItemIndex = FItems->IndexOf(Text());
    if (TdxBarComboControl* Control = ActiveControl()) Control->ItemsReordered();
    RepaintLinkControls();
}

void TdxBarCustomCombo::ItemsChanged(cls::TObject*) {
    if (FCurItemIndex >= FItems->Count()) FCurItemIndex = -1;
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    else
        RepaintLinkControls();
    if (GetDroppedDown()) {
        FillList();
        SizeDropDownWindow();
    }
}

void TdxBarCustomCombo::SetText(const std::string& Value) {
    const bool Same = FItemIndex >= 0 && FItemIndex < FItems->Count() && FItems->Strings(FItemIndex) == Value;
    if (!Same) FItemIndex = FItems->IndexOf(Value);
    inherited::SetText(Value);
}

bool TdxBarCustomCombo::CheckKeyForDropDownWindow(win::WORD Key, cls::TShiftState Shift) {
    return Shift.Empty() &&
           (Key == win::VK_UP || Key == win::VK_DOWN || Key == win::VK_PRIOR || Key == win::VK_NEXT);
}

win::HWND TdxBarCustomCombo::GetDropDownWindow() {
    if (const win::HWND Wnd = inherited::GetDropDownWindow()) return Wnd;
    return FDropDownList && FDropDownList->HandleAllocated() ? FDropDownList->Handle() : nullptr;
}

void TdxBarCustomCombo::FillList() {
    if (!FDropDownList) return;
    FDropDownList->Items()->Assign(FItems);
    int Height = 0;
    MeasureItemHeight(0, Height);
    FDropDownList->SetItemHeight(std::max(Height, 1));
}

void TdxBarCustomCombo::SizeDropDownWindow() {
    if (!FDropDownList || !FDropDownList->HandleAllocated()) return;
    int Height = 4;
    for (int I = 0; I < std::min(FItems->Count(), FDropDownCount); ++I) {
        int H = 0;
        MeasureItemHeight(I, H);
        Height += H;
    }
    win::SetWindowPos(FDropDownList->Handle(), nullptr, 0, 0, GetDropDownWidth(), Height,
                      win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

int TdxBarCustomCombo::GetDropDownWidth() {
    if (FDropDownWidth >= 1) return FDropDownWidth;
    const int ScrollBar = FItems->Count() > FDropDownCount ? win::GetSystemMetrics(win::SM_CXVSCROLL) : 0;
    const TdxBarComboControl* Control = ActiveControl();
    const int Box = Control ? Control->GetWidth() - Control->GetCaptionWidth() : Width();
    const int Arrow = Control && Control->Parent() ? Control->Parent()->ComboArrowWidth() : 0;
    int Result = Box - Arrow - 4 - ScrollBar;
    for (int I = 0; I < FItems->Count(); ++I) {
        int W = 0;
        MeasureItemWidth(I, W);
        Result = std::max(Result, W);
    }
    return Result + 4 + ScrollBar;
}

cls::TCanvas* TdxBarCustomCombo::GetItemCanvas() {
    if (FCanvas) return FCanvas;
    if (FDropDownList && FDropDownList->HandleAllocated()) return FDropDownList->Canvas();
    // Closed, the entries are measured in the bar font on a canvas of their own.
    if (!FMeasureBitmap) {
        FMeasureBitmap = new cls::TBitmap();
        FMeasureBitmap->SetWidth(1);
        FMeasureBitmap->SetHeight(1);
    }
    if (const TdxBarManager* Manager = BarManager())
        FMeasureBitmap->Canvas()->Font()->Assign(Manager->Font());
    return FMeasureBitmap->Canvas();
}

void TdxBarCustomCombo::MeasureItemHeight(int AIndex, int& AHeight) {
    AHeight = FItemHeight >= 1 ? FItemHeight : GetItemCanvas()->TextHeight("Qq");
    FOnMeasureItem(this, AIndex, AHeight);
}

void TdxBarCustomCombo::MeasureItemWidth(int AIndex, int& AWidth) {
    AWidth = GetItemCanvas()->TextWidth(FItems->Strings(AIndex)) + 2;
}

void TdxBarCustomCombo::DrawItem(int AIndex, const cls::TRect& ARect, cls::TOwnerDrawState AState) {
    cls::TCanvas* Canvas = GetItemCanvas();
    if (FOnDrawItem) {
        FOnDrawItem(this, AIndex, ARect, AState);
    } else {
        const std::string S = AIndex >= 0 && AIndex < FItems->Count() ? FItems->Strings(AIndex) : Text();
        PainterOf(this)->DrawComboText(ActiveControl(), Canvas, ARect, AIndex, S);
    }
}

void TdxBarCustomCombo::DrawClosedText(cls::TCanvas* ACanvas, const cls::TRect& R, int AIndex) {
    cls::TCanvas* Previous = FCanvas;
    FCanvas = ACanvas;
    try {
        DrawItem(AIndex >= 0 && AIndex < FItems->Count() ? AIndex : -1, R, cls::TOwnerDrawState{});
    } catch (...) {
        FCanvas = Previous;
        throw;
    }
    FCanvas = Previous;
}

int TdxBarCustomCombo::FindPrefix(const std::string& AText) const {
    const std::u32string Text = UpperChars(AText);
    int Best = -1;
    std::size_t BestLength = 0;
    for (int I = 0; I < FItems->Count() && BestLength < Text.size(); ++I) {
        const std::u32string Entry = UpperChars(FItems->Strings(I));
        const auto Mismatch = std::mismatch(Text.begin(), Text.end(), Entry.begin(), Entry.end());
        const auto Length = static_cast<std::size_t>(Mismatch.first - Text.begin());
        if (Length > BestLength) {
            Best = I;
            BestLength = Length;
        }
    }
    return Best;
}

void TdxBarCustomCombo::DropDown(int X, int Y) {
    lf::TcxObjectLinkScope Self(this);
    TdxBarComboControl* Control = ActiveControl();
    if (!inherited::GetDropDownWindow() && Control && IsBarControlAlive(Control->Parent())) {
        TdxBarDropDownListBox* List = DropDownList();
        List->SetParent(Control->Parent());
        List->HandleNeeded();
        FillList();
    }
    if (!Self.Alive()) return;
    inherited::DropDown(X, Y);
    if (!Self.Alive()) return;
    FCurItemIndex = FItems->IndexOf(GetCurrentText());
    if (FDropDownList && FDropDownList->HandleAllocated()) FDropDownList->SetItemIndex(FCurItemIndex);
}

void TdxBarCustomCombo::CloseUp() {
    lf::TcxObjectLinkScope Self(this);
    inherited::CloseUp();
    if (Self.Alive() && FDropDownList) FDropDownList->SetParent(nullptr);
}

void TdxBarCustomCombo::DoDropDownShown() {
    if (!FDropDownList || !FDropDownList->HandleAllocated() || GetDropDownWindow() != FDropDownList->Handle())
        return;
    win::SetCapture(FDropDownList->Handle());
    // The button as the message that opened the list saw it: a quick click
    // may be over already.
    const int Primary = win::GetSystemMetrics(win::SM_SWAPBUTTON) ? win::VK_RBUTTON : win::VK_LBUTTON;
    FDropDownList->SetWaitForMouseEnter(win::GetKeyState(Primary) < 0);
}

void TdxBarCustomCombo::DoCurChange() {
    lf::TcxObjectLinkScope Self(this);
    inherited::DoCurChange();
    if (!Self.Alive()) return;
    const std::string Current = GetCurrentText();
    const bool Stays =
        FCurItemIndex >= 0 && FCurItemIndex < FItems->Count() && FItems->Strings(FCurItemIndex) == Current;
    if (!Stays) FCurItemIndex = FindPrefix(Current);
    if (!GetDroppedDown() || !FDropDownList || !FDropDownList->HandleAllocated()) return;
    if (FCurItemIndex >= 0 && cls::AnsiSameText(FItems->Strings(FCurItemIndex), Current)) {
        FDropDownList->SetItemIndex(FCurItemIndex);
    } else {
        FDropDownList->SetItemIndex(-1);
        if (FCurItemIndex >= 0) FDropDownList->SetTopIndex(FCurItemIndex);
    }
}

} // namespace bars
