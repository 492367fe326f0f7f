#include "bars/customizing/controls.h"

#include "bars/bars.h"
#include "bars/edititems.h"
#include "bars/item.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "classes/modalloop.h"
#include "gfx/draw.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

using cls::TMessage;
using cls::TRect;
using win::LPARAM;
using win::WPARAM;

namespace {

constexpr int kCommandRowHeight = 22;

cls::TPoint MessagePoint(const TMessage& Message) {
    return cls::TPoint{static_cast<short>(Message.LParam & 0xFFFF),
                       static_cast<short>((Message.LParam >> 16) & 0xFFFF)};
}

// The cursor in a control's client coordinates.
cls::TPoint CursorPosIn(cls::TControl* AControl) {
    win::POINT P{};
    win::GetCursorPos(&P);
    return AControl->ScreenToClient(P);
}

} // namespace

// ============================================================================
// TCheckListBox
// ============================================================================

TCheckListBox::TCheckListBox(cls::TComponent* AOwner) : cls::TCustomListBox(AOwner) {
    SetStyle(cls::lbOwnerDrawFixed);
}

TdxBar* TCheckListBox::Bars(int AIndex) const {
    if (AIndex < 0 || AIndex >= Items()->Count()) return nullptr;
    return static_cast<TdxBar*>(Items()->Objects(AIndex));
}

void TCheckListBox::WndProc(TMessage& Message) {
    // Two fast clicks on a box toggle it twice.
    if (Message.Msg == win::WM_LBUTTONDBLCLK && MessagePoint(Message).x < FCheckWidth)
        Message.Msg = win::WM_LBUTTONDOWN;
    inherited::WndProc(Message);
}

void TCheckListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case cls::CN_DRAWITEM: {
            auto DIS = *reinterpret_cast<const win::DRAWITEMSTRUCT*>(Message.LParam);
            FCheckWidth = DIS.rcItem.bottom - DIS.rcItem.top;
            DIS.rcItem.left += FCheckWidth;
            Message.LParam = reinterpret_cast<LPARAM>(&DIS);
            inherited::Dispatch(Message);
            return;
        }
        case win::WM_LBUTTONDBLCLK: {
            const cls::TPoint P = MessagePoint(Message);
            cls::TComponentGuard Guard(this);
            inherited::Dispatch(Message);
            if (Guard.Alive() && P.x >= FCheckWidth) Toggle(ItemAtPos(P, true));
            return;
        }
        default:
            inherited::Dispatch(Message);
    }
}

void TCheckListBox::DrawItem(int Index, const TRect& Rect, cls::TOwnerDrawState State) {
    inherited::DrawItem(Index, Rect, State);
    TdxBar* Bar = Bars(Index);
    if (!Bar) return;
    TRect Check{Rect.left + 1 - FCheckWidth, Rect.top, Rect.left - 1, Rect.bottom};
    const int Size = Check.right - Check.left;
    const int Middle = (Rect.top + Rect.bottom) / 2;
    Check.top = Middle - Size / 2;
    Check.bottom = Check.top + Size;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(TRect{Rect.left - FCheckWidth, Rect.top, Rect.left, Rect.bottom});
    win::UINT Flags = gfx::DFCS_BUTTONCHECK;
    if (Bar->Visible()) Flags |= gfx::DFCS_CHECKED;
    if (!Bar->CanClose()) Flags |= gfx::DFCS_INACTIVE;
    gfx::DrawFrameControl(Canvas()->Handle(), &Check, gfx::DFC_BUTTON, Flags);
}

void TCheckListBox::InvalidateCheck(int AIndex) {
    if (!HandleAllocated() || AIndex < 0 || AIndex >= Count()) return;
    TRect R = ItemRect(AIndex);
    R.right = R.left + FCheckWidth;
    win::InvalidateRect(Handle(), &R, true);
    win::UpdateWindow(Handle());
}

void TCheckListBox::Toggle(int AIndex) {
    TdxBar* Bar = Bars(AIndex);
    if (!Bar || !Bar->CanClose()) {
        win::MessageBeep(0);
        return;
    }
    cls::TComponentGuard Guard(this);
    Bar->SetVisible(!Bar->Visible());
    if (!Guard.Alive()) return;
    InvalidateCheck(AIndex);
    if (FBarManager) FBarManager->DesignerModified();
}

void TCheckListBox::MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) {
    cls::TComponentGuard Guard(this);
    inherited::MouseDown(Button, Shift, X, Y);
    if (!Guard.Alive() || X >= FCheckWidth) return;
    const int Index = ItemAtPos(cls::TPoint{X, Y}, true);
    if (Index >= 0) Toggle(Index);
}

void TCheckListBox::KeyPress(char32_t& Key) {
    cls::TComponentGuard Guard(this);
    inherited::KeyPress(Key);
    if (Guard.Alive() && Key == U' ') Toggle(ItemIndex());
}

void TCheckListBox::Click() {
    if (FBarManager && FBarManager->Designing()) {
        if (cls::TCustomForm* Form = FBarManager->OwnerForm(); Form && Form->Designer()) {
            TdxBar* Bar = Bars(ItemIndex());
            Form->Designer()->SelectComponent(Bar ? static_cast<cls::TPersistent*>(Bar) : FBarManager);
        }
    }
    inherited::Click();
}

// ============================================================================
// TCommandsListBox
// ============================================================================

TCommandsListBox::TCommandsListBox(cls::TComponent* AOwner) : cls::TCustomListBox(AOwner) {
    SetStyle(cls::lbOwnerDrawVariable);
    cls::TControlStyle Style = ControlStyle();
    Style.Include(cls::csOpaque);
    Style.Exclude(cls::csCaptureMouse);
    SetControlStyle(Style);
}

TdxBarItem* TCommandsListBox::Item(int AIndex) const {
    if (AIndex < 0 || AIndex >= Items()->Count()) return nullptr;
    return static_cast<TdxBarItem*>(Items()->Objects(AIndex));
}

TdxBarCustomizingFormPainterClass TCommandsListBox::Painter() const {
    return GetCustomizingFormPainterClass(FBarManager ? FBarManager->PainterClass() : nullptr);
}

void TCommandsListBox::MeasureItem(int, int& Height) {
    Height = kCommandRowHeight;
}

void TCommandsListBox::DrawItem(int Index, const TRect& Rect, cls::TOwnerDrawState State) {
    TdxBarItem* AItem = Item(Index);
    if (!AItem) return;
    cls::TCanvas* C = Canvas();
    const TdxBarCustomizingFormPainterClass P = Painter();
    const bool Selected = State.Contains(cls::odSelected);
    const std::string Caption = RemoveAccelChars(AItem->Caption());
    const cls::TColor SaveBrush = C->Brush()->Color();
    const cls::TColor SavePen = C->Pen()->Color();
    if (dynamic_cast<TdxBarEdit*>(AItem))
        P->DrawEditItem(C, Rect, Selected, Caption, AItem);
    else
        P->DrawItem(C, Rect, Selected, Caption, AItem);
    if (Index == Count() - 1) {
        const TRect Below{Rect.left, Rect.bottom, Rect.right, ClientRect().bottom};
        if (Below.bottom > Below.top)
            lf::FillRectByColor(C->Handle(), Below, P->GetBackgroundColor(false, AItem));
    }
    C->Brush()->SetColor(SaveBrush);
    C->Pen()->SetColor(SavePen);
    if (State.Contains(cls::odFocused)) P->DrawFocusRect(C, Rect, AItem);
}

void TCommandsListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case cls::CN_DRAWITEM:
            if (Count() > 0) inherited::Dispatch(Message);
            Message.Result = 1;
            return;
        case win::WM_ERASEBKGND: {
            TRect R = ClientRect();
            if (const int N = Count()) R.top = ItemRect(N - 1).bottom;
            if (R.bottom > R.top)
                gfx::FillRect(reinterpret_cast<gfx::HDC>(Message.WParam), &R, Brush()->Handle());
            Message.Result = 1;
            return;
        }
        case win::WM_MOUSEACTIVATE: {
            cls::TComponentGuard Guard(this);
            inherited::Dispatch(Message);
            if (!Guard.Alive()) return;
            const int Index = ItemAtPos(CursorPosIn(this), true);
            if (Index >= 0) SetItemIndex(Index);
            return;
        }
        case win::WM_SETFOCUS: {
            cls::TComponentGuard Guard(this);
            inherited::Dispatch(Message);
            if (Guard.Alive() && ItemIndex() < 0 && Count() > 0) {
                SetItemIndex(0);
                Click();
            }
            return;
        }
        default:
            inherited::Dispatch(Message);
    }
}

void TCommandsListBox::MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) {
    cls::TComponentGuard Guard(this);
    inherited::MouseDown(Button, Shift, X, Y);
    if (!Guard.Alive()) return;
    if (Button == cls::mbRight) {
        SetFocus();
        if (!Guard.Alive()) return;
        const int Index = ItemAtPos(cls::TPoint{X, Y}, true);
        if (Index >= 0) SetItemIndex(Index);
        Click();
        return;
    }
    if (Button != cls::mbLeft || ItemIndex() < 0) return;
    TdxBarItem* AItem = Item(ItemIndex());
    Click();
    if (!Guard.Alive() || !AItem || !FBarManager) return;
    lf::TcxObjectLinkScope ItemAlive(AItem);
    cls::TComponentGuard ManagerAlive(FBarManager);
    if (cls::DragDetect(Handle(), ClientToScreen(cls::TPoint{X, Y})) && Guard.Alive() && ItemAlive.Alive() &&
        ManagerAlive.Alive())
        FBarManager->DragItemLink(AItem, nullptr);
}

// ============================================================================
// TCheckableButton
// ============================================================================

TCheckableButton::TCheckableButton(cls::TComponent* AOwner) : cls::TGraphicControl(AOwner) {
    cls::TControlStyle Style = ControlStyle();
    Style.Exclude(cls::csCaptureMouse);
    SetControlStyle(Style);
}

TCheckableButton::~TCheckableButton() {
    SetPopupMenu(nullptr);
}

void TCheckableButton::Dispatch(TMessage& Message) {
    if ((Message.Msg == cls::CM_MOUSEENTER || Message.Msg == cls::CM_MOUSELEAVE) && Message.LParam == 0) {
        FMouseInControl = Message.Msg == cls::CM_MOUSEENTER;
        Invalidate();
    }
    inherited::Dispatch(Message);
}

void TCheckableButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    Repaint();
    if (FChecked && FPopupMenu) {
        const cls::TPoint P = ClientToScreen(cls::TPoint{0, Height()});
        FPopupMenu->PopupEx(P.x, P.y, 0, Height(), true, nullptr);
    }
}

void TCheckableButton::SetPopupMenu(TdxBarPopupMenu* APopupMenu) {
    if (FPopupMenu == APopupMenu) return;
    if (FPopupMenu) {
        FPopupMenu->SetOnCloseUp(nullptr);
        FPopupMenu->RemoveFreeNotification(this);
    }
    FPopupMenu = APopupMenu;
    if (FPopupMenu) {
        FPopupMenu->FreeNotification(this);
        FPopupMenu->SetOnCloseUp(cls::TNotifyEvent(this, &TCheckableButton::MenuCloseUp));
    }
}

void TCheckableButton::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == cls::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TCheckableButton::MenuCloseUp(cls::TObject*) {
    if (!FChecked) return;
    if (IsPrimaryMouseButtonDown()) {
        const cls::TPoint P = CursorPosIn(this);
        if (P.x >= 0 && P.y >= 0 && P.x < Width() && P.y < Height()) FIgnoreNextPress = true;
    }
    SetChecked(false);
}

void TCheckableButton::MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) {
    cls::TComponentGuard Guard(this);
    inherited::MouseDown(Button, Shift, X, Y);
    if (!Guard.Alive()) return;
    if (FIgnoreNextPress)
        FIgnoreNextPress = false;
    else if (Button == cls::mbLeft)
        SetChecked(true);
}

void TCheckableButton::AlignWithLabel(cls::TControl* ALabel) {
    const int Right = Left() + Width();
    const int NewLeft = ALabel->Left() + ALabel->Width() + 5;
    SetBounds(NewLeft, Top(), Right - NewLeft, Height());
}

void TCheckableButton::Paint() {
    cls::TCanvas* C = Canvas();
    TRect R = ClientRect();
    gfx::HDC DC = C->Handle();
    cls::TCustomForm* Form = cls::GetParentForm(this);
    if ((FMouseInControl && Form && Form->Active()) || FChecked)
        gfx::DrawEdge(DC, &R, FChecked ? gfx::BDR_SUNKENOUTER : gfx::BDR_RAISEDINNER, gfx::BF_RECT);
    gfx::InflateRect(&R, -1, -1);
    if (FChecked) gfx::OffsetRect(&R, 1, 1);
    C->Brush()->SetStyle(cls::bsClear);
    C->Font()->Assign(Font());
    C->Font()->SetColor(cls::clBtnText);
    lf::cxDrawText(DC, Caption(), R, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE | gfx::DT_NOCLIP);
    C->Brush()->SetStyle(cls::bsSolid);
}

} // namespace bars
