// What the units of the controls share.
#pragma once

#include "classes/component.h"
#include "classes/graphics.h"

namespace cls {
class TControl;
} // namespace cls

namespace cls::detail {

// The graphic control that holds the mouse capture through its parent's
// window (SetCaptureControl), or nullptr.
TControl* CaptureControl();

// Binds a canvas to a paint DC for the duration of a Paint; the control may
// be deleted by the paint, and then the canvas is left alone.
class TPaintBinding {
public:
    TPaintBinding(TComponent* AControl, TCanvas* ACanvas, gfx::HDC DC) : FGuard(AControl), FCanvas(ACanvas) {
        FCanvas->Lock();
        FCanvas->SetHandle(DC);
    }
    ~TPaintBinding() {
        if (!FGuard.Alive()) return;
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
    }
    TPaintBinding(const TPaintBinding&) = delete;
    TPaintBinding& operator=(const TPaintBinding&) = delete;

private:
    TComponentGuard FGuard;
    TCanvas* FCanvas;
};

} // namespace cls::detail
