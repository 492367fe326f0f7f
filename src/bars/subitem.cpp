#include "bars/subitem.h"

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/manager.h"

#include <algorithm>

namespace bars {

TCustomdxBarSubItem::TCustomdxBarSubItem(cls::TComponent* AOwner)
    : TdxBarItem(AOwner), FItemLinks(new TdxBarItemLinks(this, BarManager())) {}

TCustomdxBarSubItem::~TCustomdxBarSubItem() {
    SetDetachingBar(-1);
    delete FItemLinks;
    FItemLinks = nullptr;
}

void TCustomdxBarSubItem::SetBarSize(int Value) {
    FBarSize = std::max(Value, 0);
}

TdxBar* TCustomdxBarSubItem::GetDetachingBar() const {
    if (FDetachingBarID < 0 || !BarManager() || !BarManager()->Bars()) return nullptr;
    return static_cast<TdxBar*>(BarManager()->Bars()->FindItemID(FDetachingBarID));
}

int TCustomdxBarSubItem::DetachingBar() const {
    const TdxBar* Bar = GetDetachingBar();
    return Bar ? Bar->Index() : -1;
}

void TCustomdxBarSubItem::SetDetachingBar(int Value) {
    TdxBars* Bars = BarManager() ? BarManager()->Bars() : nullptr;
    TdxBar* Bar = Bars && Value >= 0 && Value < Bars->Count() ? Bars->Items(Value) : nullptr;
    FDetachingBarID = Bar ? Bar->ID() : -1;
}

void TCustomdxBarSubItem::DetachingBarRemoved(TdxBar* ABar) {
    if (ABar && GetDetachingBar() == ABar) FDetachingBarID = -1;
}

void TCustomdxBarSubItem::SetItemLinks(TdxBarItemLinks* Value) {
    FItemLinks->Assign(Value);
}

void TCustomdxBarSubItem::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    if (!IsLoading()) RepaintLinkBars();
}

bool TCustomdxBarSubItem::CanContainItem(TdxBarItem* AItem) const {
    if (AItem == this) return false;
    if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(AItem))
        return !SubItem->ItemLinks()->ContainsItem(this);
    if (auto* Button = dynamic_cast<TdxBarButton*>(AItem)) {
        const TdxBarItemLinks* Links = Button->DropDownItemLinks();
        return !(Links && Links->ContainsItem(this));
    }
    return true;
}

void TCustomdxBarSubItem::BarManagerChanged() {
    FItemLinks->SetBarManager(BarManager());
}

void TCustomdxBarSubItem::DoCloseUp() {
    FOnCloseUp(this);
}

void TCustomdxBarSubItem::DoDetaching() {
    FOnDetaching(this);
}

void TCustomdxBarSubItem::DoPaintBar(cls::TCanvas* Canvas, const cls::TRect& R) {
    FOnPaintBar(this, Canvas, R);
}

void TCustomdxBarSubItem::DoPopup() {
    FOnPopup(this);
}

} // namespace bars
