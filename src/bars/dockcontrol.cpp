#include "bars/dockcontrol.h"

#include "bars/manager.h"

namespace bars {

TdxDockControl::TdxDockControl(cls::TComponent* AOwner) : cls::TComponent(AOwner) {}

TdxDockControl::TdxDockControl(cls::TComponent* AOwner, TdxBarDockingStyle AStyle, TdxBarManager* ABarManager)
    : cls::TComponent(AOwner), FMainStyle(AStyle), FDockingStyle(AStyle) {
    SetBarManager(ABarManager);
}

TdxDockControl::~TdxDockControl() {
    SetBarManager(nullptr);
}

void TdxDockControl::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) {
        FBarManager->RemoveDockControl(this);
        FBarManager->RemoveFreeNotification(this);
    }
    FBarManager = Value;
    if (FBarManager) {
        FBarManager->AddDockControl(this);
        UpdateColor();
    }
}

void TdxDockControl::SetColor(cls::TColor Value) {
    FColor = Value;
    FParentColor = false;
}

bool TdxDockControl::CanDocking(TdxBar*) const {
    return FAllowDocking;
}

void TdxDockControl::UpdateColor() {
    if (!FBarManager || FBarManager->AutoDockColor()) {
        SetParentColor(true);
    } else {
        SetColor(FBarManager->DockColor());
    }
}

bool TdxDockControl::GetSunkenBorder() const {
    return FBarManager && FBarManager->SunkenBorder();
}

void TdxDockControl::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == cls::opRemove && AComponent == FBarManager) {
        // The manager is going: it has no use for our unregistering.
        FBarManager = nullptr;
    }
}

} // namespace bars
