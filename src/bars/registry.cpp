#include "bars/registry.h"

#include "bars/button.h"
#include "bars/categories.h"
#include "bars/comboitems.h"
#include "bars/containercontrols.h"
#include "bars/containeritems.h"
#include "bars/drawing.h"
#include "bars/edititems.h"
#include "bars/itemcontrol.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/mdi.h"
#include "bars/quickcust.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/wincontrols.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace bars {

namespace {

struct TStartupRegistration {
    TdxBarItemClass ItemClass;
    TdxBarItemControlClass ItemControlClass;
    bool Visible;
};

// The item kinds the library registers at start, in this order: button,
// edit, custom combo, combo, sub item, list item and container item (offered
// to users), then the quick-customization button, the quick-customization
// item, the quick-customization sub item and the MDI system menu sub item
// (hidden). A kind joins the table with the classes that show it.
std::vector<TStartupRegistration> StartupRegistrations() {
    return {
        {TdxBarButton::ClassInfo(), TdxBarButtonControl::ClassInfo(), true},
        {TdxBarEdit::ClassInfo(), TdxBarEditControl::ClassInfo(), true},
        {TCustomdxBarCombo::ClassInfo(), TCustomdxBarComboControl::ClassInfo(), true},
        {TdxBarCombo::ClassInfo(), TdxBarComboControl::ClassInfo(), true},
        {TdxBarSubItem::ClassInfo(), TdxBarSubItemControl::ClassInfo(), true},
        {TdxBarListItem::ClassInfo(), TdxBarContainerItemControl::ClassInfo(), true},
        {TdxBarContainerItem::ClassInfo(), TdxBarContainerItemControl::ClassInfo(), true},
        {TdxBarQuickCustExtButton::ClassInfo(), TdxBarQuickCustExtButtonControl::ClassInfo(), false},
        {TdxBarQuickCustItem::ClassInfo(), TdxBarQuickCustItemControl::ClassInfo(), false},
        {TdxBarQuickSubItem::ClassInfo(), TdxBarSubItemControl::ClassInfo(), false},
        {TSystemMenuSubItem::ClassInfo(), TSystemMenuSubItemControl::ClassInfo(), false},
    };
}

int GStartCount = 0;
std::vector<std::unique_ptr<TRegItemRecord>> GRegItems;
std::vector<const TCustomdxBarControl*> GBarControls;
TCustomdxBarControl* GActiveBarControl = nullptr;
std::vector<lf::TcxObjectLink*> GInternalItems;
win::UINT_PTR GFreeInternalItemsTimer = 0;
TdxBarFormRedirect GFormRedirect = nullptr;

void StopFreeInternalItemsTimer() {
    if (GFreeInternalItemsTimer) win::KillTimer(nullptr, GFreeInternalItemsTimer);
    GFreeInternalItemsTimer = 0;
}

void FreeInternalItemsTimerProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    StopFreeInternalItemsTimer();
    FreeUnusedInternalItems();
}

void ClearInternalItems() {
    for (lf::TcxObjectLink* Link : GInternalItems) lf::cxRemoveObjectLink(Link);
    GInternalItems.clear();
}

} // namespace

// ============================================================================
// Start and end
// ============================================================================

void StartLibrary() {
    if (++GStartCount > 1) return;
    BindUser32EntryPoints();
    CreateBarManagerList();
    UpdateScreenBitsPerPixel();
    CreateCheckerPatternBrush();
    CreateGlyphScratch();
    cls::RegisterClass(TdxBarGroup::ClassInfo());
    for (const TStartupRegistration& Entry : StartupRegistrations())
        RegisterBarItemClass(Entry.ItemClass, Entry.ItemControlClass, Entry.Visible);
    LoadBarCursors();
    LoadSystemMenuBitmaps();
}

void EndLibrary() {
    if (GStartCount == 0 || --GStartCount > 0) return;
    const std::vector<TStartupRegistration> Table = StartupRegistrations();
    for (auto It = Table.rbegin(); It != Table.rend(); ++It) UnregisterBarItemClass(It->ItemClass);
    GBarControls.clear();
    GActiveBarControl = nullptr;
    GRegItems.clear();
    DeleteCheckerPatternBrush();
    DeleteGlyphScratch();
    FreeBarManagerList();
    StopFreeInternalItemsTimer();
    ClearInternalItems();
    ReleaseUser32EntryPoints();
}

bool IsLibraryStarted() {
    return GStartCount > 0;
}

// ============================================================================
// Registered item classes
// ============================================================================

void RegisterBarItemClass(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass,
                          bool AVisible) {
    GRegItems.push_back(std::make_unique<TRegItemRecord>(AItemClass, AItemControlClass, AVisible));
    cls::RegisterClass(AItemClass);
}

void UnregisterBarItemClass(TdxBarItemClass AItemClass) {
    const auto It = std::find_if(GRegItems.begin(), GRegItems.end(), [AItemClass](const auto& Record) {
        return Record->ItemClass() == AItemClass;
    });
    if (It == GRegItems.end()) return;
    GRegItems.erase(It);
    cls::UnRegisterClass(AItemClass);
}

int GetRegItemRecordCount() {
    return static_cast<int>(GRegItems.size());
}

TRegItemRecord* GetRegItemRecord(int AIndex) {
    if (AIndex < 0 || AIndex >= GetRegItemRecordCount()) return nullptr;
    return GRegItems[static_cast<std::size_t>(AIndex)].get();
}

int GetVisibleItemClassCount() {
    return static_cast<int>(std::count_if(GRegItems.begin(), GRegItems.end(),
                                          [](const auto& Record) { return Record->Visible(); }));
}

TdxBarItemClass GetVisibleItemClass(int AIndex) {
    if (AIndex < 0) return nullptr;
    for (const auto& Record : GRegItems)
        if (Record->Visible() && AIndex-- == 0) return Record->ItemClass();
    return nullptr;
}

TdxBarItemControlClass GetItemControlClass(cls::TClass AItemClass) {
    for (const auto& Record : GRegItems)
        if (Record->ItemClass().Get() == AItemClass) return Record->ItemControlClass();
    return nullptr;
}

// ============================================================================
// Bar windows and menu mode
// ============================================================================

void AddBarControlToList(TCustomdxBarControl* AControl) {
    if (AControl && !IsBarControlAlive(AControl)) GBarControls.push_back(AControl);
}

void RemoveBarControlFromList(TCustomdxBarControl* AControl) {
    std::erase(GBarControls, AControl);
    if (GActiveBarControl == AControl) GActiveBarControl = nullptr;
}

bool IsBarControlAlive(const TCustomdxBarControl* AControl) {
    return AControl && std::find(GBarControls.begin(), GBarControls.end(), AControl) != GBarControls.end();
}

TCustomdxBarControl* GetActiveBarControl() {
    return GActiveBarControl;
}

void SetActiveBarControl(TCustomdxBarControl* AControl) {
    GActiveBarControl = AControl;
}

// ============================================================================
// Managers of forms
// ============================================================================

TdxBarFormRedirect SetBarManagerFormRedirect(TdxBarFormRedirect AProc) {
    return std::exchange(GFormRedirect, AProc);
}

TdxBarManager* GetBarManagerByForm(cls::TCustomForm* AForm) {
    if (AForm && !AForm->Parent() && GFormRedirect) AForm = GFormRedirect(AForm);
    const TdxBarManagerList* List = dxBarManagerList();
    if (!AForm || !List) return nullptr;
    for (int I = 0; I < List->GetCount(); ++I)
        if (TdxBarManager* Manager = List->GetItem(I); Manager->OwnerForm() == AForm) return Manager;
    return nullptr;
}

// ============================================================================
// Internal items
// ============================================================================

void AddInternalItem(TdxBarItem* AItem) {
    if (AItem) GInternalItems.push_back(lf::cxAddObjectLink(AItem));
}

int InternalItemCount() {
    std::erase_if(GInternalItems, [](lf::TcxObjectLink* Link) {
        if (Link->Ref) return false;
        lf::cxRemoveObjectLink(Link);
        return true;
    });
    return static_cast<int>(GInternalItems.size());
}

void FreeUnusedInternalItems() {
    for (std::size_t I = GInternalItems.size(); I-- > 0;) {
        if (I >= GInternalItems.size()) continue;
        lf::TcxObjectLink* Link = GInternalItems[I];
        auto* Item = static_cast<TdxBarItem*>(Link->Ref);
        if (Item && Item->HasLinkControls()) continue;
        GInternalItems.erase(GInternalItems.begin() + static_cast<std::ptrdiff_t>(I));
        lf::cxRemoveObjectLink(Link);
        delete Item;
    }
}

void FreeUnusedInternalItemsLater() {
    if (!IsLibraryStarted()) return;
    // Started anew each time: a window system reset may have dropped the old one.
    StopFreeInternalItemsTimer();
    GFreeInternalItemsTimer = win::SetTimer(nullptr, 0, 0, &FreeInternalItemsTimerProc);
}

} // namespace bars
