#include "bars/containeritems.h"

#include <algorithm>

#include "bars/button.h"
#include "bars/manager.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

// ============================================================================
// TCustomdxBarContainerItem
// ============================================================================

TCustomdxBarContainerItem::~TCustomdxBarContainerItem() {
    std::vector<TListedLink> Listed;
    Listed.swap(FListedLinks);
    for (const TListedLink& Entry : Listed) {
        delete static_cast<TdxBarItemLink*>(Entry.Link->Ref);
        lf::cxRemoveObjectLink(Entry.Link);
    }
}

void TCustomdxBarContainerItem::SetOnGetData(cls::TNotifyEvent Value) {
    const bool Changed = static_cast<bool>(FOnGetData) != static_cast<bool>(Value);
    FOnGetData = Value;
    if (Changed && !IsLoading()) VisibleChanged();
}

bool TCustomdxBarContainerItem::IsVisibleForUser() const {
    return FOnGetData || !IsEmpty();
}

void TCustomdxBarContainerItem::AddListedItemLinks(TdxBarItemLinks*, int, TdxBarItemLink*,
                                                   bool AFireGetData) {
    if (FPopulated) ClearItems();
    if (AFireGetData && FOnGetData) {
        lf::TcxObjectLinkScope Self(this);
        FInGetData = true;
        try {
            FOnGetData(this);
        } catch (...) {
            // An expansion goes on without the data.
        }
        if (!Self.Alive()) return;
        FInGetData = false;
    }
    FPopulated = true;
}

TdxBarItemLink* TCustomdxBarContainerItem::InsertListedLink(TdxBarItemLinks* ALinks, int AIndex,
                                                            TdxBarItemLink* ALink) {
    AIndex = std::clamp(AIndex, 0, ALinks->Count());
    auto* Link = static_cast<TdxBarItemLink*>(ALinks->Insert(AIndex));
    Link->SetContainerLink(ALink);
    FListedLinks.push_back(TListedLink{ALinks, lf::cxAddObjectLink(Link)});
    return Link;
}

void TCustomdxBarContainerItem::DeleteListedItemLinks(TdxBarItemLinks* ALinks, int) {
    std::vector<TListedLink> Listed;
    auto Keep = FListedLinks.begin();
    for (auto It = FListedLinks.begin(); It != FListedLinks.end(); ++It) {
        if (It->Links == ALinks || !It->Link->Ref)
            Listed.push_back(*It);
        else
            *Keep++ = *It;
    }
    FListedLinks.erase(Keep, FListedLinks.end());
    // Last first, so that the collection closes its gaps from the end.
    for (auto It = Listed.rbegin(); It != Listed.rend(); ++It) {
        auto* Link = static_cast<TdxBarItemLink*>(It->Link->Ref);
        if (Link && Link->Owner() == ALinks) delete Link;
        lf::cxRemoveObjectLink(It->Link);
    }
}

int TCustomdxBarContainerItem::ListedLinkCount(const TdxBarItemLinks* ALinks) const {
    return static_cast<int>(
        std::count_if(FListedLinks.begin(), FListedLinks.end(), [ALinks](const TListedLink& E) {
            const auto* Link = static_cast<const TdxBarItemLink*>(E.Link->Ref);
            return Link && E.Links == ALinks && Link->Owner() == ALinks;
        }));
}

void TCustomdxBarContainerItem::ClearItems() {
    FPopulated = false;
}

void TCustomdxBarContainerItem::ItemsChanged() {}

// ============================================================================
// TdxBarContainerItem
// ============================================================================

TdxBarContainerItem::TdxBarContainerItem(cls::TComponent* AOwner) : TCustomdxBarContainerItem(AOwner) {
    ItemLinks()->SetOnChange(cls::TNotifyEvent(this, &TdxBarContainerItem::LinksChanged));
}

void TdxBarContainerItem::LinksChanged(cls::TObject*) {
    ItemsChanged();
}

void TdxBarContainerItem::ItemsChanged() {
    if (!InGetData() && !IsLoading() && !IsDestroying()) VisibleChanged();
}

bool TdxBarContainerItem::IsEmpty() const {
    const TdxBarItemLinks* Links = ItemLinks();
    for (int I = 0; I < Links->Count(); ++I)
        if (const TdxBarItem* Item = Links->Items(I)->Item(); Item && Item->GetActualVisible()) return false;
    return true;
}

void TdxBarContainerItem::AddListedItemLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink,
                                             bool AFireGetData) {
    lf::TcxObjectLinkScope Self(this);
    inherited::AddListedItemLinks(ALinks, AIndex, ALink, AFireGetData);
    if (!Self.Alive() || !ALinks || ALinks == ItemLinks()) return;
    // The links to copy, taken before any is made: OnItemLinkAdd may change them.
    std::vector<lf::TcxObjectLink*> Sources;
    for (int I = 0; I < ItemLinks()->CanVisibleItemCount(); ++I)
        Sources.push_back(lf::cxAddObjectLink(ItemLinks()->CanVisibleItems(I)));
    lf::TcxObjectLinkScope ContainerLink(ALink);
    bool First = true;
    for (lf::TcxObjectLink* Source : Sources) {
        auto* Own = static_cast<TdxBarItemLink*>(Source->Ref);
        if (Own && Self.Alive()) {
            TdxBarItemLink* Link =
                InsertListedLink(ALinks, AIndex++, static_cast<TdxBarItemLink*>(ContainerLink.Object()));
            Link->Assign(Own);
            if (First) Link->SetBeginGroup(true);
            First = false;
            if (ContainerLink.Alive()) Link->TakeRecentState(ALink);
        }
        lf::cxRemoveObjectLink(Source);
    }
}

// ============================================================================
// TdxBarListItem
// ============================================================================

TdxBarListItem::TdxBarListItem(cls::TComponent* AOwner)
    : TCustomdxBarContainerItem(AOwner), FItems(new cls::TStringList()) {
    FItems->SetOnChange(cls::TNotifyEvent(this, &TdxBarListItem::ItemsChangedEvent));
}

TdxBarListItem::~TdxBarListItem() {
    FItems->SetOnChange(nullptr);
    std::vector<lf::TcxObjectLink*> Buttons;
    Buttons.swap(FButtons);
    for (lf::TcxObjectLink* Link : Buttons) {
        delete static_cast<TdxBarButton*>(Link->Ref);
        lf::cxRemoveObjectLink(Link);
    }
    delete FItems;
}

void TdxBarListItem::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
}

void TdxBarListItem::SetItems(cls::TStrings* Value) {
    FItems->Assign(Value);
}

void TdxBarListItem::ItemsChangedEvent(cls::TObject*) {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    if (!InGetData() && !IsLoading() && !IsDestroying()) VisibleChanged();
}

int TdxBarListItem::DataIndex() const {
    if (FItemIndex < 0 || FItemIndex >= FItems->Count()) return -1;
    int Result = 0;
    for (int I = 0; I < FItemIndex; ++I)
        if (FItems->Strings(I) != Separator) ++Result;
    return Result;
}

void TdxBarListItem::SetDataIndex(int Value) {
    int Found = -1;
    for (int I = 0, Number = 0; Value >= 0 && I < FItems->Count(); ++I) {
        if (FItems->Strings(I) == Separator) continue;
        if (Number++ == Value) {
            Found = I;
            break;
        }
    }
    SetItemIndex(Found);
}

void TdxBarListItem::GetItemCaption(int AIndex, std::string& ACaption) const {
    ACaption = FItems->Strings(AIndex);
}

char TdxBarListItem::AcceleratorOf(int ANumber) {
    if (ANumber < 0) return 0;
    if (ANumber < 9) return static_cast<char>('1' + ANumber);
    if (ANumber < 9 + 26) return static_cast<char>('A' + ANumber - 9);
    return 0;
}

void TdxBarListItem::Click() {
    if (!GetActiveLink()) inherited::Click();
}

int TdxBarListItem::ButtonCount() const {
    return static_cast<int>(
        std::count_if(FButtons.begin(), FButtons.end(), [](const lf::TcxObjectLink* L) { return L->Ref; }));
}

TdxBarButton* TdxBarListItem::Buttons(int AIndex) const {
    for (const lf::TcxObjectLink* Link : FButtons)
        if (Link->Ref && AIndex-- == 0) return static_cast<TdxBarButton*>(Link->Ref);
    return nullptr;
}

TdxBarButton* TdxBarListItem::MakeButton(int AEntry, int ANumber) {
    TdxBarManager* Manager = BarManager();
    cls::TComponent* ButtonOwner = Manager && Manager->OwnerForm() ? Manager->OwnerForm() : Owner();
    auto* Button = new TdxBarButton(ButtonOwner);
    FButtons.push_back(lf::cxAddObjectLink(Button));
    Button->SetAction(Action());
    if (FShowCheck && AEntry == FItemIndex) {
        Button->SetButtonStyle(bsChecked);
        Button->SetDown(true);
    }
    std::string Caption;
    GetItemCaption(AEntry, Caption);
    if (const char Accelerator = FShowNumbers ? AcceleratorOf(ANumber) : 0)
        Caption = std::string("&") + Accelerator + " " + Caption;
    Button->SetCaption(Caption);
    Button->SetTag(AEntry);
    Button->SetOnClick(cls::TNotifyEvent(this, &TdxBarListItem::EntryClick));
    Button->SetEnabled(Enabled());
    return Button;
}

void TdxBarListItem::EntryClick(cls::TObject* Sender) {
    auto* Button = dynamic_cast<TdxBarButton*>(Sender);
    if (!Button) return;
    SetItemIndex(static_cast<int>(Button->Tag()));
    Click();
}

void TdxBarListItem::AddListedItemLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink,
                                        bool AFireGetData) {
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope ContainerLink(ALink);
    inherited::AddListedItemLinks(ALinks, AIndex, ALink, AFireGetData);
    if (!Self.Alive() || !ALinks) return;
    bool BeginGroup = true;
    int Number = 0;
    for (int I = 0; I < FItems->Count() && Self.Alive(); ++I) {
        if (FItems->Strings(I) == Separator) {
            BeginGroup = true;
            continue;
        }
        TdxBarButton* Button = MakeButton(I, Number++);
        TdxBarItemLink* Link =
            InsertListedLink(ALinks, AIndex++, static_cast<TdxBarItemLink*>(ContainerLink.Object()));
        Link->SetItem(Button);
        if (BeginGroup) Link->SetBeginGroup(true);
        BeginGroup = false;
        if (ContainerLink.Alive()) Link->TakeRecentState(ALink);
    }
}

void TdxBarListItem::ClearItems() {
    for (auto It = FButtons.begin(); It != FButtons.end();) {
        auto* Button = static_cast<TdxBarButton*>((*It)->Ref);
        if (Button && Button->LinkCount() > 0) {
            ++It;
            continue;
        }
        lf::cxRemoveObjectLink(*It);
        It = FButtons.erase(It);
        delete Button;
    }
    inherited::ClearItems();
}

} // namespace bars
