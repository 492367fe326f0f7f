// The customizing form's own controls: the toolbar list with a visibility
// check box per bar, the command list that draws each command in the
// manager's style and from which commands are dragged onto bars, and the
// flat "... modify" button that drops down a popup menu.
#pragma once

#include "bars/customizing/painters.h"
#include "classes/controls.h"
#include "classes/stdctrls.h"

namespace bars {

class TdxBar;
class TdxBarItem;
class TdxBarManager;
class TdxBarPopupMenu;

// Rows: text = the bar's Caption, object = the TdxBar.
class TCheckListBox : public cls::TCustomListBox {
    TRESTLE_CLASS(TCheckListBox, cls::TCustomListBox)
public:
    explicit TCheckListBox(cls::TComponent* AOwner);

    void WndProc(cls::TMessage& Message) override;
    void Dispatch(cls::TMessage& Message) override;

    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value) { FBarManager = Value; }
    // The width of the check area at a row's left (the row height).
    int CheckWidth() const { return FCheckWidth; }
    TdxBar* Bars(int AIndex) const;
    // Shows or hides the row's bar when it may close, else beeps.
    void Toggle(int AIndex);
    void InvalidateCheck(int AIndex);
    // In design mode the designer selects the bar of the selected row first.
    void Click() override;

protected:
    void DrawItem(int Index, const cls::TRect& Rect, cls::TOwnerDrawState State) override;
    void MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) override;
    void KeyPress(char32_t& Key) override;

private:
    int FCheckWidth = 0;
    TdxBarManager* FBarManager = nullptr;
};

// Rows 22 pixels high: text = the item's Caption, object = the TdxBarItem.
class TCommandsListBox : public cls::TCustomListBox {
    TRESTLE_CLASS(TCommandsListBox, cls::TCustomListBox)
public:
    explicit TCommandsListBox(cls::TComponent* AOwner);

    void Dispatch(cls::TMessage& Message) override;

    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value) { FBarManager = Value; }
    TdxBarItem* Item(int AIndex) const;
    TdxBarCustomizingFormPainterClass Painter() const;

protected:
    void DrawItem(int Index, const cls::TRect& Rect, cls::TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;
    void MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) override;

private:
    TdxBarManager* FBarManager = nullptr;
};

// The design-mode "... modify" button: checked, it drops its menu down.
class TCheckableButton : public cls::TGraphicControl {
    TRESTLE_CLASS(TCheckableButton, cls::TGraphicControl)
public:
    explicit TCheckableButton(cls::TComponent* AOwner);
    ~TCheckableButton() override;

    void Dispatch(cls::TMessage& Message) override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TdxBarPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TdxBarPopupMenu* APopupMenu);
    // Left edge 5 pixels right of the label, right edge kept.
    void AlignWithLabel(cls::TControl* ALabel);

protected:
    void Paint() override;
    void MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) override;
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;

private:
    void MenuCloseUp(cls::TObject* Sender);

    bool FChecked = false;
    TdxBarPopupMenu* FPopupMenu = nullptr;
    bool FIgnoreNextPress = false;
    bool FMouseInControl = false;
};

} // namespace bars
