#include "bars/links.h"
#include "bars/mdi.h"

#include <algorithm>
#include <typeinfo>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/button.h"
#include "bars/customizing/designstate.h"
#include "bars/item.h"
#include "bars/itemcontrol.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/buttons.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

template <class T> int IndexIn(const std::vector<T*>& AList, const T* AValue) {
    const auto It = std::find(AList.begin(), AList.end(), AValue);
    return It == AList.end() ? -1 : static_cast<int>(It - AList.begin());
}

template <class T> bool Contains(const std::vector<T>& AList, const T& AValue) {
    return std::find(AList.begin(), AList.end(), AValue) != AList.end();
}

bool IsCasedLetter(char32_t C) {
    return cls::UnicodeUpper(C) != cls::UnicodeLower(C);
}

} // namespace

// ============================================================================
// TdxBarItemLink
// ============================================================================

TdxBarItemLink::TdxBarItemLink(cls::TCollection* ACollection) : cls::TCollectionItem(ACollection) {
    FUserGlyph = new cls::TBitmap();
    TdxBarItemLinks* Links = Owner();
    if (!Links) return;
    TdxBarManager* Manager = Links->BarManager();
    if (Manager) FUseCount = Manager->RecentItemsStep();
    Links->LinkJoined(this);
    if (!Manager || Manager->IsLoading()) return;
    try {
        Manager->OnItemLinkAdd()(Manager, this);
    } catch (...) {
        // No destructor runs for this constructor: undo what it did.
        std::erase(Links->FRecentItems, this);
        delete FUserGlyph;
        throw;
    }
}

TdxBarItemLink::~TdxBarItemLink() {
    TdxBarManager* Manager = GetBarManager();
    if (Manager && !Manager->IsDestroying()) {
        try {
            Manager->OnItemLinkDelete()(Manager, this);
        } catch (...) {
            if (cls::TApplication* App = cls::ApplicationIfExists()) App->HandleException(this);
        }
    }
    TCustomdxBarControl* Window = GetBarControl();
    if (FControl && IsBarControlAlive(Window) && Window->SelectedControl() == FControl) {
        if (Manager && Manager->SelectedItemControl() == FControl) Manager->SetSelectedItemControl(nullptr);
        Window->SetHotControl(nullptr);
    }
    DestroyControl();
    if (FItem) FItem->RemoveLink(this);
    FItem = nullptr;
    if (TdxBarItemLinks* Links = Owner()) Links->LinkLeft(this);
    delete FUserGlyph;
    lf::cxClearObjectLinks(this);
    if (IsBarControlAlive(Window) && Window->HandleAllocated() && !Window->IsDestroying())
        Window->RepaintBar();
}

void TdxBarItemLink::SetCollection(cls::TCollection* Value) {
    if (Value == Collection()) return;
    if (TdxBarItemLinks* Old = Owner()) Old->LinkLeft(this);
    inherited::SetCollection(Value);
    if (TdxBarItemLinks* New = Owner()) New->LinkJoined(this);
}

void TdxBarItemLink::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBarItemLink*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    if (Other == this) return;
    FData = Other->FData;
    SetUserCaption(Other->FUserCaption);
    SetUserGlyph(Other->FUserGlyph);
    SetUserPaintStyle(Other->FUserPaintStyle);
    SetUserWidth(Other->FUserWidth);

    TdxBarItemLinks* Links = Owner();
    TdxBarItem* NewItem = Other->FItem;
    TdxBarManager* Manager = GetBarManager();
    if (NewItem && Manager) {
        // A reset's stored links name the design-time copy's items, and an
        // inline frame's items are its own copies: both are found by name.
        auto* OwnerComponent = dynamic_cast<cls::TComponent*>(Links->LinksOwner());
        if (IsBarResetting()) {
            cls::TCustomForm* Form = Manager->OwnerForm();
            NewItem = Form ? dynamic_cast<TdxBarItem*>(Form->FindComponent(NewItem->Name())) : nullptr;
        } else if (Manager->ComponentState().Contains(cls::csInline) ||
                   (OwnerComponent && OwnerComponent->ComponentState().Contains(cls::csInline))) {
            NewItem = Manager->FindItemByName(NewItem->Name());
        }
    }
    if (NewItem) {
        SetItem(NewItem);
    } else if (FItem) {
        // SetItem(nullptr) would free the link while it is being assigned.
        FItem->RemoveLink(this);
        FItem = nullptr;
        if (Links) Links->RebuildVisibleLists();
    }
    SetUserDefine(Other->FUserDefine);
    SetBeginGroup(Other->GetBeginGroup());
    SetVisible(Other->FVisible);
}

TdxBarItemLinks* TdxBarItemLink::Owner() const {
    // The links' class is final, so its exact type answers for the cast
    // (asked for by every measure and paint of a link).
    cls::TCollection* Links = Collection();
    return Links && typeid(*Links) == typeid(TdxBarItemLinks) ? static_cast<TdxBarItemLinks*>(Links)
                                                              : nullptr;
}

TdxBarManager* TdxBarItemLink::GetBarManager() const {
    TdxBarItemLinks* Links = Owner();
    return Links ? Links->BarManager() : nullptr;
}

TCustomdxBarControl* TdxBarItemLink::GetBarControl() const {
    TdxBarItemLinks* Links = Owner();
    return Links ? Links->BarControl() : nullptr;
}

// --- Published properties ---

void TdxBarItemLink::SetBeginGroup(bool Value) {
    if (FBeginGroup == Value) return;
    FBeginGroup = Value;
    if (FControl) FControl->RefreshBar();
    Changed();
}

void TdxBarItemLink::SetStreamedItem(TdxBarItem* Value) {
    if (Value) SetItem(Value);
}

void TdxBarItemLink::SetItem(TdxBarItem* Value) {
    if (FItem == Value) return;
    // The control shows the old item; the new one may need another kind.
    DestroyControl();
    if (FItem) FItem->RemoveLink(this);
    FItem = nullptr;
    if (!Value) {
        delete this;
        return;
    }
    TdxBarItemLinks* Links = Owner();
    auto* SubItem = Links ? dynamic_cast<TCustomdxBarSubItem*>(Links->LinksOwner()) : nullptr;
    if (SubItem && !SubItem->CanContainItem(Value)) {
        Links->RebuildVisibleLists();
        throw cls::Exception(lf::cxGetResourceString(dxSBAR_RECURSIVESUBITEMS));
    }
    FItem = Value;
    FItem->AddLink(this);
    if (!Links) {
        Changed();
        return;
    }
    Links->RebuildVisibleLists();
    auto* OwnerComponent = dynamic_cast<cls::TComponent*>(Links->LinksOwner());
    if (OwnerComponent && !OwnerComponent->ComponentState().Contains(cls::csLoading)) ApplyMostRecentlyUsed();
    if (TCustomdxBarControl* Window = GetBarControl()) {
        CreateControl();
        Window->RepaintBar();
    }
    Changed();
}

void TdxBarItemLink::SetMostRecentlyUsed(bool Value) {
    if (FMostRecentlyUsed == Value) return;
    FMostRecentlyUsed = Value;
    ApplyMostRecentlyUsed();
    if (TCustomdxBarControl* Window = GetBarControl()) Window->RepaintBar();
    Changed();
}

void TdxBarItemLink::SetUserCaption(const std::string& Value) {
    if (FUserCaption == Value) return;
    FUserCaption = Value;
    FUserDefine.Include(udCaption);
    if (FControl) FControl->CaptionChanged();
    Changed();
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines Value) {
    if (FUserDefine == Value) return;
    FUserDefine = Value;
    if (!Value.Contains(udCaption)) FUserCaption.clear();
    if (!Value.Contains(udGlyph)) FUserGlyph->Assign(nullptr);
    if (!Value.Contains(udPaintStyle)) FUserPaintStyle = psStandard;
    if (!Value.Contains(udWidth)) FUserWidth = 0;
    if (FControl) FControl->CaptionChanged();
    if (FControl) FControl->GlyphChanged();
    Changed();
}

void TdxBarItemLink::SetUserGlyph(cls::TBitmap* Value) {
    FUserGlyph->Assign(Value);
    FUserDefine.Include(udGlyph);
    if (FControl) FControl->GlyphChanged();
    Changed();
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle Value) {
    if (Value == GetPaintStyle()) return;
    FUserPaintStyle = Value;
    FUserDefine.Include(udPaintStyle);
    if (auto* Button = dynamic_cast<TdxBarButtonControl*>(FControl)) Button->PaintStyleChanged();
    Changed();
}

void TdxBarItemLink::SetUserWidth(int Value) {
    CheckItemLinkWidth(Value);
    if (Value == GetWidth()) return;
    FUserWidth = Value;
    FUserDefine.Include(udWidth);
    if (FControl) FControl->RefreshBar();
    Changed();
}

void TdxBarItemLink::SetVisible(bool Value) {
    TdxBarItemLinks* Links = Owner();
    TdxBarManager* Manager = GetBarManager();
    if ((Manager && Manager->IsLoading()) || (Links && Links->FAssigning)) {
        FLoadedVisible = Value;
        return;
    }
    if (FVisible == Value) return;
    FVisible = Value;
    if (Links && !(Manager && Manager->Designing())) Links->RebuildVisibleLists();
    if (FVisible) {
        ApplyMostRecentlyUsed();
        CreateControl();
        if (FControl) FControl->VisibleChanged();
    } else {
        MoveToRecentEnd();
        if (FControl) {
            lf::TcxObjectLinkScope Self(this);
            FControl->VisibleChanged();
            if (!Self.Alive()) return;
            DestroyControl();
        }
    }
    Changed();
}

// --- Effective values ---

std::string TdxBarItemLink::GetCaption() const {
    return FUserDefine.Contains(udCaption) || !FItem ? FUserCaption : FItem->Caption();
}

cls::TBitmap* TdxBarItemLink::GetGlyph() const {
    return FUserDefine.Contains(udGlyph) || !FItem ? FUserGlyph : FItem->Glyph();
}

TdxBarPaintStyle TdxBarItemLink::GetPaintStyle() const {
    if (FUserDefine.Contains(udPaintStyle) || !FItem) return FUserPaintStyle;
    if (auto* Button = dynamic_cast<TdxBarButton*>(FItem)) return Button->PaintStyle();
    return psStandard;
}

int TdxBarItemLink::GetWidth() const {
    return FUserDefine.Contains(udWidth) ? FUserWidth : 0;
}

bool TdxBarItemLink::GetBeginGroup() const {
    TdxBarItemLinks* Links = Owner();
    if (!Links) return FBeginGroup;
    const int VisibleIndex = GetVisibleIndex();
    if (VisibleIndex == 0) return false;
    if (FBeginGroup) return true;
    if (VisibleIndex < 0) return false;
    // A separator of hidden links moves on to the next shown one.
    const int Previous = Links->VisibleItems(VisibleIndex - 1)->Index();
    const int Self = Index();
    for (int I = Previous + 1; I < Self; ++I)
        if (Links->Items(I)->FBeginGroup) return true;
    return false;
}

int TdxBarItemLink::GetVisibleIndex() const {
    TdxBarItemLinks* Links = Owner();
    return Links ? IndexIn(Links->FVisibleItems, this) : -1;
}

int TdxBarItemLink::GetRecentIndex() const {
    TdxBarItemLinks* Links = Owner();
    return Links ? IndexIn(Links->FRecentItems, this) : -1;
}

// --- Operations ---

void TdxBarItemLink::Changed() {
    TdxBarManager* Manager = GetBarManager();
    if (Manager && !Manager->IsLoading()) Manager->OnItemLinkChange()(Manager, this);
}

void TdxBarItemLink::CreateControl() {
    TCustomdxBarControl* Window = GetBarControl();
    if (FControl || !FItem || !Window || Window->IsDestroying() || Owner()->IndexOfCanVisible(this) < 0)
        return;
    const TdxBarItemControlClass ControlClass = GetItemControlClass(FItem->ClassType());
    if (ControlClass) FControl = ControlClass.Create(this);
}

void TdxBarItemLink::DestroyControl() {
    // The control clears the field itself on its way out.
    delete FControl;
    FControl = nullptr;
}

void TdxBarItemLink::ApplyMostRecentlyUsed() {
    if (FMostRecentlyUsed) {
        TdxBarManager* Manager = GetBarManager();
        FUseCount = Manager ? Manager->RecentItemsStep() : 0;
        BringToRecentTop(false);
    } else {
        FUseCount = 0;
        MoveToRecentEnd();
    }
}

void TdxBarItemLink::TakeRecentState(const TdxBarItemLink* AFrom) {
    if (!AFrom) return;
    FUseCount = AFrom->FUseCount;
    const int Position = AFrom->GetRecentIndex();
    if (TdxBarItemLinks* Links = Owner(); Links && Position >= 0) Links->MoveRecentItem(this, Position);
}

void TdxBarItemLink::SetReplaced(bool Value) {
    if (FReplaced == Value) return;
    FReplaced = Value;
    if (TdxBarItemLinks* Links = Owner()) Links->RebuildVisibleLists();
}

void TdxBarItemLink::MoveToRecentEnd() {
    TdxBarItemLinks* Links = Owner();
    if (!Links) return;
    Links->MoveRecentItem(this, Links->RecentItemCount() - 1);
}

void TdxBarItemLink::BringToRecentTop(bool AIncrement) {
    TdxBarItemLinks* Links = Owner();
    if (!Links || !Links->UsesRecentItems()) return;
    Links->MoveRecentItem(this, 0);
    if (AIncrement) ++FUseCount;
}

void TdxBarItemLink::ApplyRecentUse(bool AIncrement) {
    if (!FItem || !FItem->GetActualVisible() || !FVisible) return;
    const bool WasShown = GetVisibleIndex() >= 0;
    BringToRecentTop(AIncrement);
    TdxBarItemLinks* Links = Owner();
    TCustomdxBarControl* Window = Links ? Links->BarControl() : nullptr;
    // A docked toolbar that did not show the link makes room for it.
    const TdxBarManager* Manager = GetBarManager();
    if (!WasShown && Window && Window->IsToolbarWindow() && Window->DockingStyle() != dsNone &&
        Window->HandleAllocated() && Manager && Manager->IsNonStandardStyle())
        win::PostMessage(Window->Handle(), WM_DXBAR_REFRESH, 0, 0);
    auto* SubItem = Links ? dynamic_cast<TCustomdxBarSubItem*>(Links->LinksOwner()) : nullptr;
    TdxBarItemLink* Through = SubItem ? SubItem->GetActiveLink() : nullptr;
    if (!Through && Window) Through = Window->GetSourceLink(this);
    if (Through && Through->FContainerLink) Through = Through->FContainerLink;
    if (Through && Through != this) Through->ApplyRecentUse(AIncrement);
}

bool TdxBarItemLink::IsAccel(std::uint16_t AKey, cls::TShiftState AShift, char32_t AKeyChar) const {
    const char32_t C = cls::GetAccelChar(GetCaption());
    if (!C) return false;
    AShift *= cls::TShiftState{cls::ssShift, cls::ssCtrl, cls::ssAlt};
    if (AKeyChar) {
        // The character a key types settles case and layout; Shift went into it.
        AShift.Exclude(cls::ssShift);
        return AShift.Empty() && cls::UnicodeUpper(AKeyChar) == C;
    }
    if (C >= '0' && C <= '9') return AKey == C && AShift.Empty();
    // Beyond ASCII only the character tells which key types it.
    if (C > 0x7F) return false;
    if (IsCasedLetter(C)) {
        AShift.Exclude(cls::ssShift);
        return AKey == C && AShift.Empty();
    }
    const win::SHORT Scan = win::VkKeyScan(static_cast<char>(C));
    if (Scan == -1) return false;
    cls::TShiftState Needed;
    if (Scan & 0x100) Needed.Include(cls::ssShift);
    if (Scan & 0x200) Needed.Include(cls::ssCtrl);
    return AKey == (Scan & 0xFF) && AShift == Needed;
}

bool TdxBarItemLink::ContainsItem(const TdxBarItem* AItem) const {
    std::vector<const TdxBarItemLinks*> Visited;
    return ContainsItemWalk(AItem, Visited);
}

bool TdxBarItemLink::ContainsItemWalk(const TdxBarItem* AItem,
                                      std::vector<const TdxBarItemLinks*>& AVisited) const {
    if (!FItem) return false;
    if (FItem == AItem) return true;
    auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(FItem);
    if (!SubItem || !SubItem->ItemLinks()) return false;
    const TdxBarItemLinks* Links = SubItem->ItemLinks();
    if (Contains(AVisited, Links)) return false;
    AVisited.push_back(Links);
    for (int I = 0; I < Links->Count(); ++I)
        if (Links->Items(I)->ContainsItemWalk(AItem, AVisited)) return true;
    return false;
}

// ============================================================================
// TdxBarItemLinks
// ============================================================================

TdxBarItemLinks::TdxBarItemLinks(cls::TPersistent* AOwner, TdxBarManager* ABarManager)
    : cls::TCollection(TdxBarItemLink::ClassInfo()), FBarManager(ABarManager), FOwner(AOwner) {}

TdxBarItemLinks::~TdxBarItemLinks() {
    FDestroying = true;
    if (FBarControl) {
        TCustomdxBarControl* Control = FBarControl;
        FBarControl = nullptr;
        auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Control);
        if (Menu && Menu->Closing()) {
            // A close in progress (whose events freed the collection) frees it.
            Menu->SetItemLinks(nullptr);
        } else if (Menu) {
            Menu->CloseAndFree();
        } else {
            delete Control;
        }
    }
    Clear();
    lf::cxClearObjectLinks(this);
}

void TdxBarItemLinks::Assign(cls::TPersistent* Source) {
    if (!dynamic_cast<TdxBarItemLinks*>(Source)) {
        inherited::Assign(Source);
        return;
    }
    // A maximized MDI child's system menu entry outlives the assignment.
    TSystemMenuSubItem* SystemMenu =
        Count() > 0 ? dynamic_cast<TSystemMenuSubItem*>(Items(0)->Item()) : nullptr;
    lf::TcxObjectLinkScope SystemMenuAlive(SystemMenu);
    FAssigning = true;
    try {
        inherited::Assign(Source);
    } catch (...) {
        FAssigning = false;
        throw;
    }
    FAssigning = false;
    for (int I = 0; I < Count(); ++I) Items(I)->SetVisible(Items(I)->FLoadedVisible);
    if (SystemMenu && SystemMenuAlive.Alive()) Add(SystemMenu)->SetIndex(0);
}

TdxBarItemLink* TdxBarItemLinks::Add(TdxBarItem* AItem) {
    TdxBarItemLink* Link = Add();
    if (!AItem) return Link;
    try {
        Link->SetItem(AItem);
    } catch (...) {
        delete Link;
        throw;
    }
    return Link;
}

TdxBarItemLink* TdxBarItemLinks::AvailableItems(int Index) const {
    return FAvailableItems.at(static_cast<std::size_t>(Index));
}

TdxBarItemLink* TdxBarItemLinks::CanVisibleItems(int Index) const {
    return FCanVisibleItems.at(static_cast<std::size_t>(Index));
}

TdxBarItemLink* TdxBarItemLinks::VisibleItems(int Index) const {
    return FVisibleItems.at(static_cast<std::size_t>(Index));
}

TdxBarItemLink* TdxBarItemLinks::RecentItems(int Index) const {
    return FRecentItems.at(static_cast<std::size_t>(Index));
}

int TdxBarItemLinks::IndexOfCanVisible(const TdxBarItemLink* ALink) const {
    return IndexIn(FCanVisibleItems, ALink);
}

void TdxBarItemLinks::RebuildVisibleLists() {
    // Told apart afterwards: a list that came out the same keeps its generation.
    const std::vector<TdxBarItemLink*> Previous = std::move(FVisibleItems);
    BuildVisibleLists();
    if (FVisibleItems != Previous) ++FVisibleGeneration;
}

void TdxBarItemLinks::BuildVisibleLists() {
    FAvailableItems.clear();
    FCanVisibleItems.clear();
    FVisibleItems.clear();
    const bool Designing = FBarManager && FBarManager->Designing();
    for (int I = 0; I < Count(); ++I) {
        if (cls::TCollection::Items(I) == FConstructingLink) continue;
        TdxBarItemLink* Link = Items(I);
        if (!Link->FItem || !(Designing || Link->FItem->GetActualVisible())) continue;
        FAvailableItems.push_back(Link);
        if ((Designing || Link->FVisible) && !Link->FReplaced) FCanVisibleItems.push_back(Link);
    }
    if (Designing || FRecentLimit < 0) {
        FVisibleItems = FCanVisibleItems;
        return;
    }
    const std::size_t Limit = std::min(static_cast<std::size_t>(FRecentLimit), FRecentItems.size());
    const auto RecentEnd = FRecentItems.begin() + static_cast<std::ptrdiff_t>(Limit);
    for (TdxBarItemLink* Link : FCanVisibleItems)
        if (std::find(FRecentItems.begin(), RecentEnd, Link) != RecentEnd) FVisibleItems.push_back(Link);
}

void TdxBarItemLinks::MoveRecentItem(TdxBarItemLink* ALink, int AIndex) {
    const int Current = IndexIn(FRecentItems, ALink);
    if (Current < 0) return;
    AIndex = std::clamp(AIndex, 0, RecentItemCount() - 1);
    if (Current == AIndex) return;
    FRecentItems.erase(FRecentItems.begin() + Current);
    FRecentItems.insert(FRecentItems.begin() + AIndex, ALink);
    RebuildVisibleLists();
}

// --- Recently used commands ---

bool TdxBarItemLinks::UsesRecentItems() const {
    if (!FBarManager || !FBarManager->IsNonStandardStyle()) return false;
    // A submenu follows the toolbar or popup menu it was opened from: through
    // the active link of its sub item, the link whose control opened it.
    const TdxBarItemLinks* Root = this;
    std::vector<const TdxBarItemLinks*> Visited{Root};
    while (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Root->FOwner)) {
        TdxBarItemLink* Opener = SubItem->GetActiveLink();
        if (!Opener || !Opener->Owner() ||
            Contains(Visited, static_cast<const TdxBarItemLinks*>(Opener->Owner())))
            break;
        Root = Opener->Owner();
        Visited.push_back(Root);
    }
    return Root->FUseRecentItems;
}

void TdxBarItemLinks::SetRecentLimit(int Value) {
    FPrevRecentLimit = FRecentLimit;
    FRecentLimit = UsesRecentItems() ? Value : -1;
    RebuildVisibleLists();
}

void TdxBarItemLinks::RestoreRecentLimit() {
    FRecentLimit = FPrevRecentLimit;
    RebuildVisibleLists();
}

int TdxBarItemLinks::GetRecentCount() const {
    if (FCanVisibleItems.empty() || !UsesRecentItems()) return -1;
    const auto [MinLink, MaxLink] = std::minmax_element(
        FCanVisibleItems.begin(), FCanVisibleItems.end(),
        [](const TdxBarItemLink* A, const TdxBarItemLink* B) { return A->FUseCount < B->FUseCount; });
    const int Min = (*MinLink)->FUseCount;
    const int Max = (*MaxLink)->FUseCount;
    const int Percents = FBarManager->MostRecentItemsPercents();
    const int Threshold = Min + gfx::MulDiv(Max - Min, 100 - Percents, 100);
    int Result = -1;
    for (int I = RecentItemCount() - 1; I >= 0; --I) {
        const TdxBarItemLink* Link = FRecentItems[static_cast<std::size_t>(I)];
        if (IndexOfCanVisible(Link) >= 0 && Link->FUseCount >= Threshold) {
            Result = I + 1;
            break;
        }
    }
    if (Result < 0) return -1;
    // -1 as well when every can-visible link lies within that many.
    int Shown = 0;
    for (int I = 0; I < Result; ++I)
        if (IndexOfCanVisible(FRecentItems[static_cast<std::size_t>(I)]) >= 0) ++Shown;
    return Shown == CanVisibleItemCount() ? -1 : Result;
}

void TdxBarItemLinks::ApplyLoadedState(bool AApplyVisible) {
    for (int I = Count() - 1; I >= 0; --I) {
        if (I >= Count()) continue;
        if (Items(I)->FItem) Items(I)->ApplyMostRecentlyUsed();
    }
    if (AApplyVisible) {
        for (int I = 0; I < Count(); ++I) Items(I)->SetVisible(Items(I)->FLoadedVisible);
    }
    for (int Position = 0; Position < Count(); ++Position) {
        for (int I = 0; I < Count(); ++I) {
            TdxBarItemLink* Link = Items(I);
            if (Link->FLoadedRecentIndex != Position) continue;
            Link->FUseCount = Link->FLoadedUseCount;
            Link->FLoadedRecentIndex = -1;
            MoveRecentItem(Link, Position);
            break;
        }
    }
    RebuildVisibleLists();
}

void TdxBarItemLinks::AssignRecentFlags(TdxBarItemLinks* ASource) {
    if (!ASource) return;
    const int N = std::min(Count(), ASource->Count());
    for (int I = 0; I < N; ++I) Items(I)->FMostRecentlyUsed = ASource->Items(I)->FMostRecentlyUsed;
    ApplyLoadedState(false);
    // The leading run of links that cannot show stays; the can-visible links
    // follow it in their recent order, then the rest.
    auto Lead = FRecentItems.begin();
    while (Lead != FRecentItems.end() && IndexOfCanVisible(*Lead) < 0) ++Lead;
    std::stable_partition(Lead, FRecentItems.end(),
                          [this](const TdxBarItemLink* Link) { return IndexOfCanVisible(Link) >= 0; });
    RebuildVisibleLists();
}

// --- Window ---

TCustomdxBarControl* TdxBarItemLinks::CreateBarControl() {
    if (FBarControl) return FBarControl;
    if (auto* Bar = dynamic_cast<TdxBar*>(FOwner)) {
        TdxBarManager* Manager = Bar->BarManager() ? Bar->BarManager() : FBarManager;
        if (!Manager) return nullptr;
        // The window makes itself the collection's window.
        new TdxBarControl(Manager, Bar);
        return FBarControl;
    }
    TdxBarManager* Manager = FBarManager;
    if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(FOwner)) {
        // The menu belongs to the manager of the window it opens from.
        if (TdxBarItemLink* Opener = SubItem->GetActiveLink()) Manager = Opener->GetBarManager();
    }
    if (!Manager) return nullptr;
    auto* Menu = new TdxBarSubMenuControl(Manager);
    Menu->SetItemLinks(this);
    return FBarControl;
}

// --- Keys ---

bool TdxBarItemLinks::IsShortCut(cls::TShortCut AShortCut) {
    std::vector<const TdxBarItemLinks*> Visited;
    return IsShortCutWalk(AShortCut, Visited);
}

bool TdxBarItemLinks::IsShortCutWalk(cls::TShortCut AShortCut,
                                     std::vector<const TdxBarItemLinks*>& AVisited) {
    if (AShortCut == 0 || Contains(AVisited, static_cast<const TdxBarItemLinks*>(this))) return false;
    AVisited.push_back(this);
    lf::TcxObjectLinkScope Self(this);
    // An action's update may change the item's enabled state or shortcut.
    for (int I = 0; I < Count() && Self.Alive(); ++I) {
        TdxBarItem* Item = Items(I)->FItem;
        if (Item && Item->ActionLink()) Item->ActionLink()->Update();
    }
    for (int I = 0; Self.Alive() && I < AvailableItemCount(); ++I) {
        TdxBarItem* Item = AvailableItems(I)->FItem;
        if (!Item || !Item->Enabled()) continue;
        if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Item)) {
            if (SubItem->ItemLinks() && SubItem->ItemLinks()->IsShortCutWalk(AShortCut, AVisited))
                return true;
            continue;
        }
        if (Item->CanClickDirectly() && Item->ShortCut() == AShortCut) {
            Item->DirectClick();
            return true;
        }
        auto* Button = dynamic_cast<TdxBarButton*>(Item);
        if (Button && Button->ButtonStyle() == bsDropDown && Button->DropDownItemLinks() &&
            Button->DropDownItemLinks()->IsShortCutWalk(AShortCut, AVisited))
            return true;
    }
    return false;
}

TdxBarItemLink* TdxBarItemLinks::FindAccelLink(std::uint16_t AKey, cls::TShiftState AShift,
                                               TdxBarItemLink* AStartLink, char32_t AKeyChar) {
    AShift.Exclude(cls::ssAlt);
    auto Matches = [&](TdxBarItemLink* Link) {
        return Link->FItem && Link->FItem->CanUseAccelerator(Link) && Link->IsAccel(AKey, AShift, AKeyChar);
    };
    if (IsToolbarLinks()) {
        if (!FBarControl || !FBarControl->Visible()) return nullptr;
        TdxBarItemLink* First = GetNextSelectable(AStartLink);
        for (TdxBarItemLink* Link = First; Link; Link = GetNextSelectable(Link)) {
            if (Matches(Link)) return Link;
            if (GetNextSelectable(Link) == First) break;
        }
        return nullptr;
    }
    const int N = CanVisibleItemCount();
    const int Start = AStartLink ? IndexOfCanVisible(AStartLink) + 1 : 0;
    for (int K = 0; K < N; ++K) {
        TdxBarItemLink* Link = FCanVisibleItems[static_cast<std::size_t>((Start + K) % N)];
        if (Matches(Link)) return Link;
    }
    return nullptr;
}

bool TdxBarItemLinks::ContainsItem(const TdxBarItem* AItem) const {
    std::vector<const TdxBarItemLinks*> Visited{this};
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->ContainsItemWalk(AItem, Visited)) return true;
    return false;
}

// --- Keyboard navigation ---

bool TdxBarItemLinks::IsSelectableLink(const TdxBarItemLink* ALink) const {
    if (!ALink->FControl || !ALink->FControl->CanSelect()) return false;
    if (!IsToolbarLinks() || !FBarControl) return true;
    const cls::TRect Client = FBarControl->ClientRect();
    const cls::TRect& R = ALink->FItemRect;
    return R.left >= Client.left && R.top >= Client.top && R.right <= Client.right &&
           R.bottom <= Client.bottom && R.right > R.left && R.bottom > R.top;
}

TdxBarItemLink* TdxBarItemLinks::StepSelectable(int AFrom, int AStep) const {
    const int N = VisibleItemCount();
    for (int K = 1; K <= N; ++K) {
        const int I = ((AFrom + AStep * K) % N + N) % N;
        TdxBarItemLink* Link = FVisibleItems[static_cast<std::size_t>(I)];
        if (IsSelectableLink(Link)) return Link;
    }
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::GetFirstSelectable() const {
    return StepSelectable(-1, 1);
}

TdxBarItemLink* TdxBarItemLinks::GetLastSelectable() const {
    return StepSelectable(VisibleItemCount(), -1);
}

TdxBarItemLink* TdxBarItemLinks::GetNextSelectable(TdxBarItemLink* ALink) const {
    const int I = ALink ? IndexIn(FVisibleItems, ALink) : -1;
    return I < 0 ? GetFirstSelectable() : StepSelectable(I, 1);
}

TdxBarItemLink* TdxBarItemLinks::GetPrevSelectable(TdxBarItemLink* ALink) const {
    const int I = ALink ? IndexIn(FVisibleItems, ALink) : -1;
    return I < 0 ? GetLastSelectable() : StepSelectable(I, -1);
}

// --- Collection updates ---

bool TdxBarItemLinks::IsOwnerDestroying() const {
    if (auto* Component = dynamic_cast<cls::TComponent*>(FOwner))
        return Component->ComponentState().Contains(cls::csDestroying);
    return FBarManager && FBarManager->IsDestroying();
}

bool TdxBarItemLinks::IsToolbarLinks() const {
    return dynamic_cast<TdxBar*>(FOwner) != nullptr;
}

void TdxBarItemLinks::DesignerModified() {
    if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(FOwner);
        SubItem && !SubItem->AllowDesignerNotify())
        return;
    BarManagerDesignerModified(FBarManager);
}

void TdxBarItemLinks::LinkJoined(TdxBarItemLink* ALink) {
    FRecentItems.push_back(ALink);
    // The update held back while the link was not one yet.
    if (FConstructingLink == ALink) {
        FConstructingLink = nullptr;
        Changed();
    }
}

void TdxBarItemLinks::LinkLeft(TdxBarItemLink* ALink) {
    // At once: a collection that holds its updates back would otherwise keep
    // the link in its lists until the update ends.
    std::erase(FRecentItems, ALink);
    std::erase(FAvailableItems, ALink);
    std::erase(FCanVisibleItems, ALink);
    if (std::erase(FVisibleItems, ALink) > 0) ++FVisibleGeneration;
}

void TdxBarItemLinks::Notify(cls::TCollectionItem* Item, cls::TCollectionNotification Action) {
    if (Action == cls::cnAdded) FConstructingLink = Item;
    inherited::Notify(Item, Action);
}

void TdxBarItemLinks::Update(cls::TCollectionItem* Item) {
    // A link under construction is not one yet: its constructor updates.
    if (FDestroying || FConstructingLink || IsOwnerDestroying()) return;
    DesignerModified();
    inherited::Update(Item);
    RebuildVisibleLists();
    FOnChange(this);
}

} // namespace bars
