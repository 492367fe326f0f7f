#include "bars/item.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/button.h"
#include "bars/categories.h"
#include "bars/itemcontrol.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "classes/filer.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"

#include <algorithm>

namespace bars {

namespace {

// A selected control in a hidden window is left alone: it is drawn when the
// window shows.
bool IsHiddenSelection(const TdxBarItemControl* AControl) {
    const TCustomdxBarControl* Window = AControl->Parent();
    return Window && Window->SelectedControl() == AControl && !Window->Visible();
}

// The manager's update lock for the length of a scope (when there is a manager).
class TManagerLock {
public:
    TManagerLock(TdxBarManager* AManager, bool ALock) : FManager(ALock ? AManager : nullptr) {
        if (!FManager) return;
        FPrevious = FManager->LockUpdate();
        FManager->SetLockUpdate(true);
    }
    ~TManagerLock() {
        if (FManager) FManager->SetLockUpdate(FPrevious);
    }
    TManagerLock(const TManagerLock&) = delete;
    TManagerLock& operator=(const TManagerLock&) = delete;

private:
    TdxBarManager* FManager;
    bool FPrevious = false;
};

} // namespace

// ============================================================================
// Captions and hints
// ============================================================================

std::string GetHintFromCaption(const std::string& ACaption) {
    std::string Result = ACaption;
    if (const auto P = Result.find('&'); P != std::string::npos) Result.erase(P, 1);
    if (const auto P = Result.find("..."); P != std::string::npos) Result.erase(P, 3);
    return Result;
}

// ============================================================================
// TdxBarItem: life
// ============================================================================

TdxBarItem::TdxBarItem(cls::TComponent* AOwner) : cls::TComponent(AOwner), FGlyph(new cls::TBitmap()) {
    TdxBarManager* Manager = nullptr;
    if (auto* Form = dynamic_cast<cls::TCustomForm*>(AOwner)) Manager = GetBarManagerByForm(Form);
    if (!Manager && dxBarManagerList()) Manager = dxBarManagerList()->GetItem(0);
    SetBarManager(Manager);
    FGlyph->SetOnChange(cls::TNotifyEvent(this, &TdxBarItem::GlyphBitmapChanged));
}

TdxBarItem::~TdxBarItem() {
    SetBarManager(nullptr);
    FreeLinks();
    delete FActionLink;
    FActionLink = nullptr;
    delete FGlyph;
    lf::cxClearObjectLinks(this);
}

void TdxBarItem::BeforeDestruction() {
    inherited::BeforeDestruction();
    FOnDestroy(this);
    FreeLinks();
}

void TdxBarItem::FreeLinks() {
    // One re-layout at the end instead of one per link, for toolbars that
    // are shown and not batching already.
    bool Lock = false;
    if (FBarManager && !FBarManager->IsDestroying()) {
        for (TdxBarItemLink* Link : FLinks) {
            TdxBarItemLinks* Links = Link->Owner();
            auto* Bar = Links ? dynamic_cast<TdxBar*>(Links->LinksOwner()) : nullptr;
            if (Bar && Links->BarControl() && !Bar->LockUpdate()) Lock = true;
        }
    }
    TManagerLock Guard(FBarManager, Lock);
    while (!FLinks.empty()) {
        TdxBarItemLink* Link = FLinks.back();
        delete Link;
        // The link leaves the list itself; never loop on one that did not.
        if (!FLinks.empty() && FLinks.back() == Link) FLinks.pop_back();
    }
}

void TdxBarItem::Loaded() {
    inherited::Loaded();
    if (cls::TBasicAction* A = Action()) ActionChange(A, true);
    FOnAfterLoad(this);
}

void TdxBarItem::AddLink(TdxBarItemLink* ALink) {
    if (ALink && std::find(FLinks.begin(), FLinks.end(), ALink) == FLinks.end()) FLinks.push_back(ALink);
}

void TdxBarItem::RemoveLink(TdxBarItemLink* ALink) {
    std::erase(FLinks, ALink);
    if (FClickItemLink == ALink) FClickItemLink = nullptr;
}

void TdxBarItem::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) FBarManager->RemoveItem(this);
    FBarManager = Value;
    if (FBarManager) FBarManager->AddItem(this);
}

cls::TComponent* TdxBarItem::GetParentComponent() const {
    return HasParent() ? FBarManager : nullptr;
}

void TdxBarItem::SetParentComponent(cls::TComponent* Value) {
    if (IsLoading()) return;
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Value)) {
        SetBarManager(Manager);
        BarManagerChanged();
    }
}

void TdxBarItem::ReadState(cls::TReader* Reader) {
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Reader->Parent())) {
        SetBarManager(Manager);
        BarManagerChanged();
    }
    inherited::ReadState(Reader);
}

void TdxBarItem::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    // A freed action has already dropped the link's reference to it.
    if (Operation == cls::opRemove && FActionLink &&
        (!FActionLink->Action() || FActionLink->Action() == AComponent))
        SetAction(nullptr);
}

// ============================================================================
// TdxBarItem: properties
// ============================================================================

void TdxBarItem::SetAlign(TdxBarItemAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (!IsLoading()) ForEachLinkControl([](TdxBarItemControl* C) { C->RefreshBar(); });
}

void TdxBarItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    const bool HintFollows = !FCaptionIsFromAction && !dynamic_cast<TCustomdxBarSubItem*>(this) &&
                             (FHint.empty() || cls::GetShortHint(FHint) == GetHintFromCaption(FCaption));
    FCaption = Value;
    if (IsLoading()) return;
    if (HintFollows) {
        const std::string Text = GetHintFromCaption(FCaption);
        const auto Bar = FHint.find('|');
        FHint = Bar == std::string::npos ? Text : Text + "|" + FHint.substr(Bar + 1);
    }
    CaptionChanged();
}

void TdxBarItem::SetCategory(int Value) {
    if (FCategory == Value) return;
    if (IsLoading()) {
        // The categories may not be read yet.
        FCategory = Value;
        return;
    }
    if (!FBarManager || Value < 0 || Value >= FBarManager->Categories()->Count()) return;
    FCategory = Value;
    FBarManager->DesignerModified();
}

void TdxBarItem::SetDescription(const std::string& Value) {
    FDescription = Value;
    if (FBarManager) FBarManager->RefreshCustomizingFormItem(this);
}

bool TdxBarItem::GetEnabled() const {
    if (FEnabled) return true;
    return FCategory > -1 && FBarManager && FBarManager->IsCustomizing() && !FBarManager->Designing();
}

void TdxBarItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (!IsLoading()) EnabledChanged();
}

void TdxBarItem::SetGlyph(cls::TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TdxBarItem::GlyphBitmapChanged(cls::TObject*) {
    if (!IsLoading()) GlyphChanged();
}

void TdxBarItem::SetImageIndexValue(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (!IsLoading()) GlyphChanged();
}

void TdxBarItem::SetShortCut(cls::TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    if (!IsLoading()) ShortCutChanged();
}

void TdxBarItem::SetVisible(TdxBarItemVisible Value) {
    // Outside loading the loaded value follows, so that a later Loaded keeps it.
    FLoadedVisible = Value;
    if (IsLoading() || FVisible == Value) return;
    FVisible = Value;
    VisibleChanged();
}

void TdxBarItem::ApplyLoadedVisible() {
    SetVisible(FLoadedVisible);
}

// ============================================================================
// TdxBarItem: state and lookups
// ============================================================================

bool TdxBarItem::GetActualVisible() const {
    const bool Customizing = FBarManager && FBarManager->GetIsCustomizing();
    switch (FVisible) {
        case ivAlways:
            return IsVisibleForUser() || Customizing;
        case ivInCustomizing:
            return Customizing;
        case ivNever:
            break;
    }
    return false;
}

TdxBarItemLink* TdxBarItem::GetActiveLink() const {
    for (TdxBarItemLink* Link : FLinks)
        if (Link->Control() && Link->Control()->Active()) return Link;
    return nullptr;
}

bool TdxBarItem::HasLinkControls() const {
    return std::any_of(FLinks.begin(), FLinks.end(),
                       [](const TdxBarItemLink* Link) { return Link->Control(); });
}

int TdxBarItem::GetIndex() const {
    return FBarManager ? FBarManager->IndexOfItem(this) : -1;
}

cls::TCustomImageList* TdxBarItem::GetImages() const {
    return FBarManager ? FBarManager->Images() : nullptr;
}

bool TdxBarItem::IsImageIndexValid() const {
    const cls::TCustomImageList* Images = GetImages();
    return Images && ImageIndex() >= 0 && ImageIndex() < Images->Count();
}

bool TdxBarItem::CanUseAccelerator(TdxBarItemLink*) const {
    return Enabled();
}

// ============================================================================
// TdxBarItem: notifications
// ============================================================================

void TdxBarItem::ForEachLinkControl(const std::function<void(TdxBarItemControl*)>& AOperation) {
    // A control may free links: walk by index and re-check the bound.
    for (std::size_t I = 0; I < FLinks.size(); ++I)
        if (TdxBarItemControl* Control = FLinks[I]->Control()) AOperation(Control);
}

void TdxBarItem::ForEachLinkControl(TdxBarUserDefine ASkip,
                                    const std::function<void(TdxBarItemControl*)>& AOperation) {
    for (std::size_t I = 0; I < FLinks.size(); ++I) {
        TdxBarItemControl* Control = FLinks[I]->Control();
        if (Control && !FLinks[I]->UserDefine().Contains(ASkip)) AOperation(Control);
    }
}

void TdxBarItem::CaptionChanged() {
    cls::TComponentGuard Self(this);
    ForEachLinkControl(udCaption, [](TdxBarItemControl* C) { C->CaptionChanged(); });
    if (Self.Alive() && FBarManager) FBarManager->RefreshCustomizingFormItem(this);
}

void TdxBarItem::EnabledChanged() {
    ForEachLinkControl([](TdxBarItemControl* C) { C->EnabledChanged(); });
}

void TdxBarItem::GlyphChanged() {
    cls::TComponentGuard Self(this);
    ForEachLinkControl(udGlyph, [](TdxBarItemControl* C) { C->GlyphChanged(); });
    if (Self.Alive() && FBarManager) FBarManager->RefreshCustomizingFormItem(this);
}

void TdxBarItem::ShortCutChanged() {
    cls::TComponentGuard Self(this);
    ForEachLinkControl([](TdxBarItemControl* C) { C->ShortCutChanged(); });
    if (Self.Alive() && FBarManager) FBarManager->RefreshCustomizingFormItem(this);
}

void TdxBarItem::RepaintLinkControls() {
    ForEachLinkControl([](TdxBarItemControl* C) {
        if (!IsHiddenSelection(C)) C->Repaint();
    });
}

void TdxBarItem::RepaintLinkBars() {
    ForEachLinkControl([](TdxBarItemControl* C) {
        if (!IsHiddenSelection(C) && IsBarControlAlive(C->Parent())) C->Parent()->RepaintBar();
    });
}

void TdxBarItem::VisibleChanged() {
    if (FBarManager && FBarManager->Designing()) return;
    TManagerLock Lock(FBarManager, true);
    for (std::size_t I = 0; I < FLinks.size(); ++I) {
        TdxBarItemLink* Link = FLinks[I];
        if (TdxBarItemLinks* Links = Link->Owner()) Links->RebuildVisibleLists();
        if (GetActualVisible()) {
            Link->ApplyMostRecentlyUsed();
            Link->CreateControl();
            if (TdxBarItemControl* Control = Link->Control()) Control->VisibleChanged();
        } else if (TdxBarItemControl* Control = Link->Control()) {
            Control->VisibleChanged();
            // The notice may have freed the link.
            if (I < FLinks.size() && FLinks[I] == Link) Link->DestroyControl();
        }
    }
}

// ============================================================================
// TdxBarItem: clicking
// ============================================================================

void TdxBarItem::Click() {
    if (!Enabled()) return;
    lf::TcxObjectLinkScope Self(this);
    try {
        if (FBarManager) FBarManager->DoClickItem(this);
        if (Self.Object()) DoClick();
    } catch (...) {
        // A handler that freed the item leaves no sender to report.
        cls::Application->HandleException(Self.Object());
    }
}

void TdxBarItem::DirectClick() {
    if (CanClickDirectly()) Click();
}

void TdxBarItem::DoClick() {
    cls::TBasicAction* A = Action();
    if (FOnClick && !(A && FOnClick == A->OnExecute())) {
        FOnClick(this);
    } else if (FActionLink && !ComponentState().Contains(cls::csDesigning)) {
        FActionLink->Execute(this);
    }
}

// ============================================================================
// TdxBarItem: action
// ============================================================================

cls::TBasicAction* TdxBarItem::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TdxBarItem::SetAction(cls::TBasicAction* Value) {
    if (!Value) {
        delete FActionLink;
        FActionLink = nullptr;
        return;
    }
    if (!FActionLink) FActionLink = GetActionLinkClass().Create(this);
    FActionLink->SetAction(Value);
    FActionLink->SetOnChange(cls::TNotifyEvent(this, &TdxBarItem::DoActionChange));
    ActionChange(Value, Value->ComponentState().Contains(cls::csLoading));
    Value->FreeNotification(this);
}

TdxBarItemActionLinkClass TdxBarItem::GetActionLinkClass() const {
    return cls::ActionLinkClass<TdxBarItemActionLink>();
}

void TdxBarItem::DoActionChange(cls::TObject* Sender) {
    if (Sender && Sender == Action()) ActionChange(Sender, false);
}

void TdxBarItem::ActionChange(cls::TObject* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<cls::TCustomAction*>(Sender);
    if (!A) return;
    if (!CheckDefaults || FCaption.empty()) {
        FCaptionIsFromAction = CheckDefaults;
        try {
            SetCaption(A->Caption());
        } catch (...) {
            FCaptionIsFromAction = false;
            throw;
        }
        FCaptionIsFromAction = false;
    }
    if (auto* Button = dynamic_cast<TdxBarButton*>(this); Button && (!CheckDefaults || !Button->Down()))
        Button->SetDown(A->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(A->HelpContext());
    if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(A->ImageIndex());
    if (!CheckDefaults || FShortCut == 0) SetShortCut(A->ShortCut());
    if (!CheckDefaults || FVisible == ivAlways) SetVisible(BooleanToItemVisible(A->Visible()));
    if (!CheckDefaults || !FOnClick) SetOnClick(A->OnExecute());
}

void TdxBarItem::AssignTo(cls::TPersistent* Dest) {
    auto* A = dynamic_cast<cls::TCustomAction*>(Dest);
    if (!A) {
        inherited::AssignTo(Dest);
        return;
    }
    A->SetCaption(FCaption);
    if (auto* Button = dynamic_cast<TdxBarButton*>(this)) A->SetChecked(Button->Down());
    A->SetEnabled(FEnabled);
    A->SetHelpContext(FHelpContext);
    A->SetHint(FHint);
    A->SetImageIndex(ImageIndex());
    A->SetShortCut(FShortCut);
    if (FVisible != ivInCustomizing) A->SetVisible(FVisible == ivAlways);
    A->SetOnExecute(FOnClick);
}

// ============================================================================
// TdxBarItemActionLink
// ============================================================================

void TdxBarItemActionLink::AssignClient(cls::TObject* AClient) {
    FClient = dynamic_cast<TdxBarItem*>(AClient);
}

bool TdxBarItemActionLink::IsCaptionLinked() {
    return inherited::IsCaptionLinked() && FClient && FClient->Caption() == CustomAction()->Caption();
}

bool TdxBarItemActionLink::IsCheckedLinked() {
    auto* Button = dynamic_cast<TdxBarButton*>(FClient);
    return inherited::IsCheckedLinked() && Button && Button->Down() == CustomAction()->Checked();
}

bool TdxBarItemActionLink::IsEnabledLinked() {
    return inherited::IsEnabledLinked() && FClient && FClient->FEnabled == CustomAction()->Enabled();
}

bool TdxBarItemActionLink::IsHelpContextLinked() {
    return inherited::IsHelpContextLinked() && FClient &&
           FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TdxBarItemActionLink::IsHintLinked() {
    return inherited::IsHintLinked() && FClient &&
           (FClient->Hint() == CustomAction()->Hint() ||
            FClient->Hint() == GetHintFromCaption(FClient->Caption()));
}

bool TdxBarItemActionLink::IsImageIndexLinked() {
    return inherited::IsImageIndexLinked() && FClient &&
           FClient->ImageIndex() == CustomAction()->ImageIndex();
}

bool TdxBarItemActionLink::IsShortCutLinked() {
    return inherited::IsShortCutLinked() && FClient && FClient->ShortCut() == CustomAction()->ShortCut();
}

bool TdxBarItemActionLink::IsVisibleLinked() {
    if (!inherited::IsVisibleLinked() || !FClient) return false;
    const TdxBarItemVisible Visible = FClient->IsLoading() ? FClient->LoadedVisible() : FClient->Visible();
    return Visible == BooleanToItemVisible(CustomAction()->Visible());
}

bool TdxBarItemActionLink::IsOnExecuteLinked() {
    return inherited::IsOnExecuteLinked() && FClient && Action() &&
           FClient->OnClick() == Action()->OnExecute();
}

void TdxBarItemActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TdxBarItemActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) static_cast<TdxBarButton*>(FClient)->SetDown(Value);
}

void TdxBarItemActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TdxBarItemActionLink::SetHelpContext(cls::THelpContext Value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}

void TdxBarItemActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TdxBarItemActionLink::SetImageIndex(cls::TImageIndex Value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}

void TdxBarItemActionLink::SetShortCut(cls::TShortCut Value) {
    if (IsShortCutLinked()) FClient->SetShortCut(Value);
}

void TdxBarItemActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(BooleanToItemVisible(Value));
}

void TdxBarItemActionLink::SetOnExecute(cls::TNotifyEvent Value) {
    if (IsOnExecuteLinked()) FClient->SetOnClick(Value);
}

} // namespace bars
