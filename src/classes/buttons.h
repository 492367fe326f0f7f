// Buttons: the push button, the check box and the speed button.
//
// TButton and TCheckBox are windowed controls that paint themselves in the
// classic look or, under a visual style, with the "Button" theme parts. A
// push button clicks on a left press released over it, on Space, on its
// mnemonic, and (through the form's dialog keys) on Enter when it is the
// default or focused button and on Esc when it is the cancel button; its
// ModalResult then ends the form's modal loop. TSpeedButton is a graphic
// control with a glyph that takes no focus.
#pragma once

#include "classes/controls.h"
#include "classes/forms.h"
#include "classes/graphics.h"

namespace cls {

// The character after the last single "&" of a caption, in upper case; 0 when there is none.
char32_t GetAccelChar(const std::string& Caption);
// True when Key (a character code) is the caption's mnemonic.
bool IsAccel(char32_t Key, const std::string& Caption);

class TButton : public TCustomControl {
    TRESTLE_CLASS(TButton, TCustomControl)
public:
    // 75 x 25, a tab stop.
    explicit TButton(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;
    // Sets the form's ModalResult (when the button has one), then OnClick.
    void Click() override;

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Enter clicks this button: it has the focus, or it is the default one
    // and no other button has it.
    bool IsActive();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(win::WORD& Key, TShiftState Shift) override;
    void KeyUp(win::WORD& Key, TShiftState Shift) override;

private:
    void SetPressed(bool Value);

    bool FDefault = false;
    bool FCancel = false;
    bool FPressed = false;  // drawn pushed in
    bool FTracking = false; // a left press is held on the button
    bool FMouseInControl = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TCustomControl {
    TRESTLE_CLASS(TCheckBox, TCustomControl)
public:
    // 97 x 17, a tab stop.
    explicit TCheckBox(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;

    bool Checked() const { return FState == cbChecked; }
    // A change runs Click (OnClick).
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(win::WORD& Key, TShiftState Shift) override;
    void KeyUp(win::WORD& Key, TShiftState Shift) override;
    // The next state of a click: unchecked and checked in turn.
    virtual void Toggle();

private:
    TCheckBoxState FState = cbUnchecked;
    bool FPressed = false;
    bool FMouseInControl = false;
};

class TSpeedButton : public TGraphicControl {
    TRESTLE_CLASS(TSpeedButton, TGraphicControl)
public:
    // 23 x 22, flat.
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    void Dispatch(TMessage& Message) override;

    // The glyph; its lower-left pixel is the transparent colour.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void GlyphChanged(TObject* Sender);

    TBitmap* FGlyph;
    bool FFlat = true;
    bool FPressed = false;
    bool FTracking = false;
    bool FMouseInControl = false;
};

} // namespace cls
