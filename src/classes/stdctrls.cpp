#include "classes/stdctrls.h"

#include "classes/buttons.h"
#include "classes/controls_internal.h"
#include "gfx/draw.h"

namespace cls {

using win::LPARAM;
using win::WPARAM;

// ============================================================================
// TListBoxStrings: the items of a list box, in its window or kept by it
// ============================================================================

class TListBoxStrings : public TStrings {
    TRESTLE_CLASS(TListBoxStrings, TStrings)
public:
    explicit TListBoxStrings(TCustomListBox* AListBox) : FListBox(AListBox) {}

    int Count() const override {
        if (win::HWND Wnd = Window()) return static_cast<int>(win::SendMessage(Wnd, win::LB_GETCOUNT, 0, 0));
        return FListBox->FSaveItems->Count();
    }
    void Insert(int Index, const std::string& S) override {
        if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
        if (win::HWND Wnd = Window())
            win::SendMessage(Wnd, win::LB_INSERTSTRING, static_cast<WPARAM>(Index),
                             reinterpret_cast<LPARAM>(S.c_str()));
        else
            FListBox->FSaveItems->Insert(Index, S);
    }
    void Delete(int Index) override {
        CheckIndex(Index);
        if (win::HWND Wnd = Window())
            win::SendMessage(Wnd, win::LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
        else
            FListBox->FSaveItems->Delete(Index);
    }
    void Clear() override {
        if (win::HWND Wnd = Window())
            win::SendMessage(Wnd, win::LB_RESETCONTENT, 0, 0);
        else
            FListBox->FSaveItems->Clear();
    }

protected:
    std::string Get(int Index) const override {
        CheckIndex(Index);
        win::HWND Wnd = Window();
        if (!Wnd) return FListBox->FSaveItems->Strings(Index);
        const auto Length = win::SendMessage(Wnd, win::LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
        if (Length < 0) return std::string();
        std::string Text(static_cast<std::size_t>(Length) + 1, '\0');
        win::SendMessage(Wnd, win::LB_GETTEXT, static_cast<WPARAM>(Index),
                         reinterpret_cast<LPARAM>(Text.data()));
        Text.resize(static_cast<std::size_t>(Length));
        return Text;
    }
    TObject* GetObject(int Index) const override {
        CheckIndex(Index);
        if (win::HWND Wnd = Window())
            return reinterpret_cast<TObject*>(
                win::SendMessage(Wnd, win::LB_GETITEMDATA, static_cast<WPARAM>(Index), 0));
        return FListBox->FSaveItems->Objects(Index);
    }
    void PutObject(int Index, TObject* AObject) override {
        CheckIndex(Index);
        if (win::HWND Wnd = Window())
            win::SendMessage(Wnd, win::LB_SETITEMDATA, static_cast<WPARAM>(Index),
                             reinterpret_cast<LPARAM>(AObject));
        else
            FListBox->FSaveItems->SetObjects(Index, AObject);
    }
    // A changed string keeps its object and the selection.
    void Put(int Index, const std::string& S) override {
        const int Selected = FListBox->ItemIndex();
        TStrings::Put(Index, S);
        FListBox->SetItemIndex(Selected);
    }
    void SetUpdateState(bool Updating) override {
        win::HWND Wnd = Window();
        if (!Wnd) return;
        win::SendMessage(Wnd, win::WM_SETREDRAW, Updating ? 0 : 1, 0);
        if (!Updating) FListBox->Refresh();
    }

private:
    win::HWND Window() const { return FListBox->HandleAllocated() ? FListBox->Handle() : nullptr; }
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
    }

    TCustomListBox* FListBox;
};

// ============================================================================
// TCustomListBox
// ============================================================================

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(new TListBoxStrings(this)), FSaveItems(new TStringList) {
    auto* Canvas = new TControlCanvas;
    Canvas->SetControl(this);
    FCanvas = Canvas;
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
    FTabStop = true;
    FParentColor = false;
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
    delete FCanvas;
    FCanvas = nullptr;
    delete FItems;
    FItems = nullptr;
    delete FSaveItems;
    FSaveItems = nullptr;
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            CNCommand(Message);
            break;
        case CN_DRAWITEM:
            CNDrawItem(Message);
            break;
        case CN_MEASUREITEM:
            CNMeasureItem(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    static constexpr win::DWORD Styles[] = {0, win::LBS_OWNERDRAWFIXED, win::LBS_OWNERDRAWVARIABLE};
    Params.Style |= win::WS_VSCROLL | win::LBS_HASSTRINGS | win::LBS_NOTIFY | Styles[FStyle];
    if (!FIntegralHeight) Params.Style |= win::LBS_NOINTEGRALHEIGHT;
    if (FBorderStyle == bsSingle) Params.ExStyle |= win::WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
    inherited::CreateWnd();
    if (FStyle == lbOwnerDrawFixed)
        win::SendMessage(FHandle, win::LB_SETITEMHEIGHT, 0, win::MAKELPARAM(FItemHeight, 0));
    if (FSaveItems->Count() > 0) {
        // The window takes them over: they are no longer kept here.
        TStringList Kept;
        Kept.Assign(FSaveItems);
        FSaveItems->Clear();
        FItems->Assign(&Kept);
    }
    if (FSaveTopIndex > 0) SetTopIndex(FSaveTopIndex);
    if (FSaveItemIndex >= 0) SetItemIndex(FSaveItemIndex);
    FSaveTopIndex = 0;
    FSaveItemIndex = -1;
}

void TCustomListBox::DestroyWnd() {
    if (FHandle) {
        const int SavedIndex = ItemIndex();
        const int SavedTop = TopIndex();
        FSaveItems->Assign(FItems);
        FSaveItemIndex = SavedIndex;
        FSaveTopIndex = SavedTop;
    }
    inherited::DestroyWnd();
}

// --- Properties ---

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated()) return FSaveItemIndex;
    return static_cast<int>(win::SendMessage(FHandle, win::LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FSaveItemIndex = Value >= 0 && Value < Count() ? Value : -1;
        return;
    }
    if (ItemIndex() != Value) win::SendMessage(FHandle, win::LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

int TCustomListBox::TopIndex() {
    if (!HandleAllocated()) return FSaveTopIndex;
    return static_cast<int>(win::SendMessage(FHandle, win::LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int Value) {
    if (!HandleAllocated()) {
        FSaveTopIndex = std::max(Value, 0);
        return;
    }
    if (TopIndex() != Value) win::SendMessage(FHandle, win::LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

int TCustomListBox::ItemHeight() {
    if (FStyle != lbStandard || !HandleAllocated()) return FItemHeight;
    return static_cast<int>(win::SendMessage(FHandle, win::LB_GETITEMHEIGHT, 0, 0));
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || Value == FItemHeight) return;
    FItemHeight = Value;
    if (HandleAllocated() && FStyle == lbOwnerDrawFixed)
        win::SendMessage(FHandle, win::LB_SETITEMHEIGHT, 0, win::MAKELPARAM(Value, 0));
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    if (FIntegralHeight == Value) return;
    FIntegralHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

TRect TCustomListBox::ItemRect(int Index) {
    TRect R{};
    const int N = Count();
    if (!HandleAllocated() || Index < 0 || Index > N) return R;
    if (Index < N) {
        win::SendMessage(FHandle, win::LB_GETITEMRECT, static_cast<WPARAM>(Index),
                         reinterpret_cast<LPARAM>(&R));
    } else if (N > 0) {
        win::SendMessage(FHandle, win::LB_GETITEMRECT, static_cast<WPARAM>(N - 1),
                         reinterpret_cast<LPARAM>(&R));
        gfx::OffsetRect(&R, 0, R.bottom - R.top);
    }
    return R;
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
    const TRect Client = ClientRect();
    if (!gfx::PtInRect(&Client, Pos)) return -1;
    const int N = Count();
    for (int I = TopIndex(); I < N; ++I) {
        const TRect R = ItemRect(I);
        if (gfx::PtInRect(&R, Pos)) return I;
    }
    return Existing ? -1 : N;
}

// --- Drawing and notifications ---

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (FOnDrawItem) {
        FOnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index < Count()) FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Strings(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
    FOnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNCommand(TMessage& Message) {
    switch (Message.WParamHi()) {
        case win::LBN_SELCHANGE:
            Click();
            break;
        case win::LBN_DBLCLK:
            DblClick();
            break;
        default:
            break;
    }
}

// The canvas draws on the item's DC in the list box's font and colour, the
// selected item in the highlight colours; a focused item gets its focus
// rectangle after DrawItem.
void TCustomListBox::CNDrawItem(TMessage& Message) {
    const auto& DIS = *reinterpret_cast<const win::DRAWITEMSTRUCT*>(Message.LParam);
    const TOwnerDrawState State = TOwnerDrawState::FromBits(DIS.itemState & 0xFFFF);
    const auto Index = static_cast<int>(DIS.itemID);
    TComponentGuard Guard(this);
    {
        detail::TPaintBinding Binding(this, FCanvas, DIS.hDC);
        FCanvas->SetFont(Font());
        FCanvas->SetBrush(Brush());
        if (Index >= 0 && State.Contains(odSelected)) {
            FCanvas->Brush()->SetColor(clHighlight);
            FCanvas->Font()->SetColor(clHighlightText);
        }
        if (Index >= 0)
            DrawItem(Index, DIS.rcItem, State);
        else
            FCanvas->FillRect(DIS.rcItem);
    }
    if (Guard.Alive() && State.Contains(odFocused)) gfx::DrawFocusRect(DIS.hDC, &DIS.rcItem);
    Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
    auto& MIS = *reinterpret_cast<win::MEASUREITEMSTRUCT*>(Message.LParam);
    MIS.itemHeight = static_cast<win::UINT>(FItemHeight);
    if (FStyle == lbOwnerDrawVariable) {
        int Height = FItemHeight;
        MeasureItem(static_cast<int>(MIS.itemID), Height);
        MIS.itemHeight = static_cast<win::UINT>(std::max(Height, 0));
    }
    Message.Result = 1;
}

} // namespace cls

namespace cls {

// ============================================================================
// TLabel
// ============================================================================

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csClickEvents, csDoubleClicks, csOpaque};
    SetBounds(0, 0, 65, 17);
}

void TLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR:
            if (FShowAccelChar && FFocusControl && Enabled() &&
                IsAccel(TWMChar{Message}.CharCode(), Caption()) && FFocusControl->CanFocus()) {
                FFocusControl->SetFocus();
                Message.Result = 1;
                return;
            }
            break;
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            inherited::Dispatch(Message);
            AdjustBounds();
            Invalidate();
            return;
        default:
            break;
    }
    inherited::Dispatch(Message);
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

win::UINT TLabel::TextFlags() const {
    win::UINT Flags = FWordWrap ? gfx::DT_WORDBREAK : gfx::DT_SINGLELINE;
    if (!FShowAccelChar) Flags |= gfx::DT_NOPREFIX;
    return Flags;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    gfx::HDC DC = gfx::CreateCompatibleDC(nullptr);
    if (!DC) return;
    gfx::HGDIOBJ OldFont = gfx::SelectObject(DC, Font()->Handle());
    TRect R{0, 0, FWordWrap ? Width() : 0, 0};
    const std::string Text = const_cast<TLabel*>(this)->Caption();
    gfx::DrawText(DC, Text.empty() ? std::string_view("0") : std::string_view(Text), &R,
                  TextFlags() | gfx::DT_CALCRECT);
    gfx::SelectObject(DC, OldFont);
    gfx::DeleteDC(DC);
    SetBounds(Left(), Top(), Text.empty() && !FWordWrap ? 0 : R.right, R.bottom);
}

void TLabel::Paint() {
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    if (!FTransparent) {
        C->Brush()->SetColor(Color());
        C->FillRect(Client);
    }
    C->Font()->Assign(Font());
    gfx::HDC DC = C->Handle();
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    TRect R = Client;
    const std::string Text = Caption();
    if (!Enabled()) {
        TRect Shifted = R;
        gfx::OffsetRect(&Shifted, 1, 1);
        gfx::SetTextColor(DC, ColorToRGB(clBtnHighlight));
        gfx::DrawText(DC, Text, &Shifted, TextFlags());
        gfx::SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
        gfx::SetTextColor(DC, ColorToRGB(Font()->Color()));
    }
    gfx::DrawText(DC, Text, &R, TextFlags());
}

// ============================================================================
// TGroupBox
// ============================================================================

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED || Message.Msg == CM_ENABLEDCHANGED) {
        inherited::Dispatch(Message);
        Invalidate();
        Realign();
        return;
    }
    inherited::Dispatch(Message);
}

void TGroupBox::AdjustClientRect(TRect& Rect) {
    inherited::AdjustClientRect(Rect);
    Canvas()->Font()->Assign(Font());
    Rect.top += Canvas()->TextHeight("0");
    gfx::InflateRect(&Rect, -1, -1);
}

void TGroupBox::Paint() {
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    C->Brush()->SetColor(Color());
    const TRect Client = ClientRect();
    C->FillRect(Client);
    const int TextH = C->TextHeight("0");
    TRect Frame{Client.left, Client.top + TextH / 2, Client.right, Client.bottom};
    gfx::HDC DC = C->Handle();
    gfx::DrawEdge(DC, &Frame, gfx::EDGE_ETCHED, gfx::BF_RECT);
    const std::string Text = Caption();
    if (Text.empty()) return;
    TRect TextRect{8, 0, 0, TextH};
    gfx::DrawText(DC, Text, &TextRect, gfx::DT_SINGLELINE | gfx::DT_CALCRECT);
    C->FillRect(TextRect);
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    gfx::SetTextColor(DC, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    gfx::DrawText(DC, Text, &TextRect, gfx::DT_SINGLELINE);
}

// ============================================================================
// TEdit
// ============================================================================

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
    FTabStop = true;
    SetBounds(0, 0, 121, 21);
    SetParentColor(false);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= win::ES_AUTOHSCROLL;
    if (FReadOnly) Params.Style |= win::ES_READONLY;
    Params.ExStyle |= win::WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW);
}

void TEdit::CreateWnd() {
    inherited::CreateWnd();
    win::SendMessage(FHandle, win::EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && Message.WParamHi() == win::EN_CHANGE) {
        Change();
        return;
    }
    inherited::Dispatch(Message);
}

void TEdit::Change() {
    FOnChange(this);
}

void TEdit::SelectAll() {
    if (HandleAllocated()) win::SendMessage(FHandle, win::EM_SETSEL, 0, -1);
}

void TEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (HandleAllocated()) win::SendMessage(FHandle, win::EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (HandleAllocated()) win::SendMessage(FHandle, win::EM_SETREADONLY, Value ? 1 : 0, 0);
}

} // namespace cls
