#include "bars/bars.h"

#include "bars/item.h"
#include "bars/manager.h"

namespace bars {

// ============================================================================
// TdxBar
// ============================================================================

TdxBar::TdxBar(cls::TCollection* ACollection) : cls::TCollectionItem(ACollection), FFont(new cls::TFont()) {
    if (TdxBarManager* Manager = BarManager()) {
        if (Manager->Font()) FFont->Assign(Manager->Font());
        FItemLinks = new TdxBarItemLinks(this, Manager);
    } else {
        FItemLinks = new TdxBarItemLinks(this, nullptr);
    }
    FFont->SetOnChange(cls::TNotifyEvent(this, &TdxBar::FontChanged));
}

void TdxBar::AfterConstruction() {
    inherited::AfterConstruction();
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsLoading()) {
        if (Manager->OnBarAdd()) Manager->OnBarAdd()(Manager, this);
        Manager->DesignerModified();
    }
}

void TdxBar::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBar*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    SetCaption(Other->Caption());
    SetIsMainMenu(Other->IsMainMenu());
    FItemLinks->Assign(Other->ItemLinks());
    SetNotDocking(Other->NotDocking());
    // A main dock site counts as none.
    TdxDockControl* Dock = Other->DockControl();
    if (Dock && !Dock->IsMainDock() && Dock->BarManager() == BarManager()) {
        SetDockControl(Dock);
    } else {
        SetDockingStyle(Other->DockingStyle());
    }
    SetFont(Other->Font());
    SetUseOwnFont(Other->UseOwnFont());
    SetVisible(Other->Visible());
}

TdxBar::~TdxBar() {
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsDestroying()) {
        Manager->DesignerModified();
        if (Manager->OnBarDelete()) Manager->OnBarDelete()(Manager, this);
    }
    SetVisible(false);
    if (Manager) {
        Manager->RemoveHiddenBar(this);
        if (Manager->MainMenuBar() == this) Manager->SetMainMenuBar(nullptr);
    }
    delete FItemLinks;
    delete FFont;
}

TdxBars* TdxBar::Bars() const {
    return static_cast<TdxBars*>(Collection());
}

TdxBarManager* TdxBar::BarManager() const {
    return Bars() ? Bars()->BarManager() : nullptr;
}

void TdxBar::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    TdxBarManager* Manager = BarManager();
    if (Manager && Manager->FindBarByCaption(Value)) return;
    FCaption = Value;
    if (FName.empty() && Manager && !Manager->IsLoading()) {
        FName = Value.empty() || !Manager->FindBarByName(Value) ? Value : Bars()->GetUniqueBarName(Value);
    }
    if (Manager) Manager->DesignerModified();
}

void TdxBar::SetDockControl(TdxDockControl* Value) {
    TdxBarManager* Manager = BarManager();
    if (Value && Value->BarManager() != Manager) return;
    FLoadedDockControl = Value;
    if ((Manager && Manager->IsLoading()) || FDockControl == Value) return;
    FDockControl = Value;
    if (FDockingStyleUpdating) return;
    if (Value) FDockingStyle = Value->GetDockingStyle();
    if (Manager) Manager->DoBarDockingStyleChange(this);
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
    return FDockControl ? FDockControl->GetDockingStyle() : FDockingStyle;
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle Value) {
    TdxBarManager* Manager = BarManager();
    FLoadedDockingStyle = Value;
    if ((Manager && Manager->IsLoading()) || DockingStyle() == Value) return;
    FDockingStyle = Value;
    FDockingStyleUpdating = true;
    SetDockControl(nullptr);
    FDockingStyleUpdating = false;
    if (Manager) Manager->DoBarDockingStyleChange(this);
}

TdxDockControl* TdxBar::GetRealDockControl() const {
    if (FDockControl) return FDockControl;
    return Bars() ? Bars()->DockControls(FDockingStyle) : nullptr;
}

void TdxBar::SetFont(cls::TFont* Value) {
    FFont->Assign(Value);
}

void TdxBar::FontChanged(cls::TObject*) {
    if (!FFontPushing) FUseOwnFont = true;
}

void TdxBar::SetUseOwnFont(bool Value) {
    if (FUseOwnFont == Value) return;
    FUseOwnFont = Value;
    if (!Value) ManagerFontChanged();
}

void TdxBar::ManagerFontChanged() {
    TdxBarManager* Manager = BarManager();
    if (FUseOwnFont || !Manager) return;
    FFontPushing = true;
    FFont->Assign(Manager->Font());
    FFontPushing = false;
}

void TdxBar::SetIsMainMenu(bool Value) {
    if (FIsMainMenu == Value) return;
    TdxBarManager* Manager = BarManager();
    if (Value && Manager && Manager->MainMenuBar()) Manager->MainMenuBar()->SetIsMainMenu(false);
    FIsMainMenu = Value;
    if (Manager) Manager->SetMainMenuBar(Value ? this : nullptr);
}

void TdxBar::SetVisible(bool Value) {
    TdxBarManager* Manager = BarManager();
    if (Value && Manager && Manager->IsDestroying()) return;
    if (!Value && !FVisible && Manager) Manager->RemoveHiddenBar(this);
    if (Manager && Manager->IsLoading()) {
        FLoadedVisible = Value;
        return;
    }
    FLoadedVisible = Value;
    if (FVisible == Value) return;
    FVisible = Value;
    if (Manager) {
        Manager->RemoveHiddenBar(this);
        if (!Manager->IsDestroying() && Manager->OnBarVisibleChange())
            Manager->OnBarVisibleChange()(Manager, this);
    }
}

bool TdxBar::CanDock() const {
    TdxBarManager* Manager = BarManager();
    return !(AllDockingStyles <= FNotDocking) && !(Manager && AllDockingStyles <= Manager->NotDocking());
}

void TdxBar::ApplyLoadedState() {
    SetDockControl(FLoadedDockControl);
    if (!FDockControl) SetDockingStyle(FLoadedDockingStyle);
    SetVisible(FLoadedVisible);
}

// ============================================================================
// TdxBars
// ============================================================================

TdxBars::TdxBars(TdxBarManager* ABarManager)
    : cls::TCollection(TdxBar::ClassInfo()), FBarManager(ABarManager) {
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom})
        FDockControls[Style] = new TdxDockControl(nullptr, Style, ABarManager);
}

TdxBars::~TdxBars() {
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom}) {
        TdxDockControl* DockControl = FDockControls[Style];
        FDockControls[Style] = nullptr;
        delete DockControl;
    }
    Clear();
}

cls::TPersistent* TdxBars::GetOwner() {
    return FBarManager;
}

TdxDockControl* TdxBars::DockControls(TdxBarDockingStyle AStyle) const {
    return FDockControls[AStyle];
}

std::string TdxBars::GetUniqueBarName(const std::string& ABase) const {
    auto Taken = [this](const std::string& AName) {
        for (int I = 0; I < Count(); ++I)
            if (Items(I)->Name() == AName) return true;
        return false;
    };
    for (int N = 1;; ++N) {
        std::string Name = ABase + std::to_string(N);
        if (!Taken(Name)) return Name;
    }
}

void TdxBars::DockControlRemoved(TdxDockControl* ADockControl) {
    for (TdxDockControl*& Slot : FDockControls)
        if (Slot == ADockControl) Slot = nullptr;
}

} // namespace bars
