// The manager's customizing mode, its toolbars list and customize entry, the
// reset of usage data, and the command list's items.
#include <vector>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/customizing/customizingform.h"
#include "bars/customizing/designstate.h"
#include "bars/customizing/popups.h"
#include "bars/item.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

constexpr int kCustomizeTag = 1000;

// The windows of the manager's bars, each alive when asked for.
std::vector<lf::TcxObjectLink*> BarWindows(TdxBarManager* AManager) {
    std::vector<lf::TcxObjectLink*> Windows;
    for (int I = 0; I < AManager->Bars()->Count(); ++I)
        if (TdxBarControl* W = AManager->Bars()->Items(I)->Control())
            Windows.push_back(lf::cxAddObjectLink(W));
    return Windows;
}

template <class F> void ForEachWindow(const std::vector<lf::TcxObjectLink*>& AWindows, F AOperation) {
    for (lf::TcxObjectLink* L : AWindows) {
        auto* W = static_cast<TCustomdxBarControl*>(L->Ref);
        if (IsBarControlAlive(W)) AOperation(W);
    }
}

} // namespace

void TdxBarManager::SetIsCustomizing(bool Value) {
    if (FIsCustomizing == Value || (Value && GetBarCustomizingForm())) return;
    cls::TComponentGuard Self(this);
    const std::vector<lf::TcxObjectLink*> Windows = BarWindows(this);
    auto Release = [&Windows] {
        for (lf::TcxObjectLink* L : Windows) lf::cxRemoveObjectLink(L);
    };
    try {
        ForEachWindow(Windows, [](TCustomdxBarControl* W) { W->DeactivateAll(); });
        ForEachWindow(Windows, [](TCustomdxBarControl* W) { W->DestroyControls(); });
        if (!Self.Alive()) return Release();
        FIsCustomizing = Value;
        for (int I = 0; I < FBars->Count(); ++I) {
            TdxBar* Bar = FBars->Items(I);
            Bar->ItemLinks()->RebuildVisibleLists();
            if (TdxBarControl* W = Bar->Control()) W->CreateControls();
            if (!Self.Alive()) return Release();
        }
        for (int I = 0; I < ItemCount(); ++I)
            if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Items(I)))
                SubItem->ItemLinks()->RebuildVisibleLists();
        for (int I = 0; I < PopupMenuCount(); ++I)
            if (auto* Menu = dynamic_cast<TdxBarPopupMenu*>(GetPopupMenu(I)))
                Menu->ItemLinks()->RebuildVisibleLists();
        ShowBarCustomizingForm(this, Value);
        if (!Self.Alive()) return Release();
        ForEachWindow(Windows, [](TCustomdxBarControl* W) { W->RepaintBar(); });
    } catch (...) {
        Release();
        throw;
    }
    Release();
}

void TdxBarManager::RefreshCustomizingFormItem(TdxBarItem* AItem) {
    if (!FDesigning || !GetIsCustomizing() || IsLoading() || IsDestroying() ||
        IsCustomizingPopupCommandRunning())
        return;
    if (AItem && AItem->Category() >= 0) BarCustomizingFormRefreshCommands();
}

void TdxBarManager::FillToolbarsList(TdxBarItemLinks* ALinks) {
    for (int I = 0; I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        if (!Bar->CanClose() || Bar->Hidden()) continue;
        auto* Button = new TdxBarToolbarButton(FOwnerForm);
        AddInternalItem(Button);
        Button->SetCaption(Bar->Caption());
        Button->SetTag(I);
        Button->SetBar(Bar);
        Button->SetButtonStyle(bsChecked);
        Button->SetDown(Bar->Visible());
        Button->SetOnClick(cls::TNotifyEvent(this, &TdxBarManager::ToolbarsListClick));
        ALinks->Add(Button);
    }
    AddCustomizeEntry(ALinks, true, TdxBarButton::ClassInfo());
    DoShowToolbarsPopup(ALinks);
}

void TdxBarManager::AddCustomizeEntry(TdxBarItemLinks* ALinks, bool ABeginGroup,
                                      cls::TClassOf<TdxBarItem> AItemClass) {
    if (!FCanCustomize) return;
    TdxBarItem* Button = AItemClass.Create(FOwnerForm);
    AddInternalItem(Button);
    Button->SetCaption(lf::cxGetResourceString(dxSBAR_CUSTOMIZEITEM));
    Button->SetTag(kCustomizeTag);
    // The customizing form is open exactly while the manager customizes.
    Button->SetEnabled(!FIsCustomizing && !GetBarCustomizingForm());
    Button->SetOnClick(cls::TNotifyEvent(this, &TdxBarManager::ToolbarsListClick));
    ALinks->Add(Button)->SetBeginGroup(ABeginGroup);
}

void TdxBarManager::ToolbarsListClick(cls::TObject* Sender) {
    auto* Item = dynamic_cast<TdxBarItem*>(Sender);
    if (!Item) return;
    if (Item->Tag() == kCustomizeTag) {
        SetIsCustomizing(true);
        return;
    }
    // The row keeps its bar by reference: a row of a bar that went does nothing.
    auto* Row = dynamic_cast<TdxBarToolbarButton*>(Item);
    if (TdxBar* Bar = Row ? Row->Bar() : nullptr) Bar->SetVisible(!Bar->Visible());
}

void TdxBarManager::ResetUsageData() {
    TLockUpdateGuard Lock(this);
    const std::unique_ptr<cls::TForm> Copy = LoadDesignTimeBarState(this);
    auto* Stored = Copy ? dynamic_cast<TdxBarManager*>(Copy->FindComponent(Name())) : nullptr;
    if (!Stored) return;
    for (int I = 0; I < ItemCount(); ++I) {
        auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Items(I));
        auto* Source =
            SubItem ? dynamic_cast<TCustomdxBarSubItem*>(Copy->FindComponent(SubItem->Name())) : nullptr;
        if (Source) SubItem->ItemLinks()->AssignRecentFlags(Source->ItemLinks());
    }
    for (int I = 0; I < FBars->Count() && I < Stored->Bars()->Count(); ++I)
        FBars->Items(I)->ItemLinks()->AssignRecentFlags(Stored->Bars()->Items(I)->ItemLinks());
}

void TdxBarManager::ResetUsageDataWithConfirmation() {
    if (cls::Application->MessageBox(lf::cxGetResourceString(dxSBAR_CONFIRMRESETUSAGEDATA),
                                     cls::Application->Title(),
                                     win::MB_YESNO | win::MB_ICONWARNING | win::MB_DEFBUTTON2) == win::IDYES)
        ResetUsageData();
}

std::vector<TdxBarItem*> TdxBarManager::GetCommandListItems(int AIndex) const {
    std::vector<TdxBarItem*> Items = GetItemsByCategory(AIndex);
    if (!FDesigning) std::erase_if(Items, [](TdxBarItem* Item) { return !Item->GetActualVisible(); });
    return Items;
}

} // namespace bars
