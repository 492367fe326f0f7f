// Sub items: items that open a submenu of their own links. A sub item's
// submenu may be detachable (torn off into a floating toolbar, its detaching
// bar).
#pragma once

#include "bars/item.h"

namespace bars {

using TdxBarPaintSubMenuBarEvent =
    cls::TEvent<void(cls::TObject* Sender, cls::TCanvas* Canvas, const cls::TRect& R)>;

class TCustomdxBarSubItem : public TdxBarItem {
    TRESTLE_CLASS(TCustomdxBarSubItem, TdxBarItem)
public:
    explicit TCustomdxBarSubItem(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
    ~TCustomdxBarSubItem() override;

    // Width of the side strip of the submenu; negative values become 0.
    int BarSize() const { return FBarSize; }
    void SetBarSize(int Value);
    bool Detachable() const { return FDetachable; }
    void SetDetachable(bool Value) { FDetachable = Value; }
    // The detaching bar's index in the manager's Bars, -1 when none (or when
    // that bar went). An index out of range means none.
    int DetachingBar() const;
    void SetDetachingBar(int Value);
    TdxBar* GetDetachingBar() const;
    // Owned.
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    void SetItemLinks(TdxBarItemLinks* Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);

    cls::TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(cls::TNotifyEvent Value) { FOnCloseUp = Value; }
    cls::TNotifyEvent OnDetaching() const { return FOnDetaching; }
    void SetOnDetaching(cls::TNotifyEvent Value) { FOnDetaching = Value; }
    TdxBarPaintSubMenuBarEvent OnPaintBar() const { return FOnPaintBar; }
    void SetOnPaintBar(TdxBarPaintSubMenuBarEvent Value) { FOnPaintBar = Value; }
    cls::TNotifyEvent OnPopup() const { return FOnPopup; }
    void SetOnPopup(cls::TNotifyEvent Value) { FOnPopup = Value; }

    // False for the sub item itself, for a sub item whose links contain this
    // one and for a button whose drop-down menu contains it: linking such an
    // item would make the sub item contain itself.
    bool CanContainItem(TdxBarItem* AItem) const;
    // A sub item opens its menu: shortcuts go to its links instead.
    bool CanClickDirectly() const override { return false; }
    // The link collection tells the designer of its updates only while true.
    virtual bool AllowDesignerNotify() const { return true; }
    // A bar that is being removed drops out as detaching bar.
    virtual void DetachingBarRemoved(TdxBar* ABar);

    virtual void DoCloseUp();
    virtual void DoDetaching();
    virtual void DoPaintBar(cls::TCanvas* Canvas, const cls::TRect& R);
    virtual void DoPopup();

protected:
    void BarManagerChanged() override;

private:
    int FBarSize = 0;
    bool FDetachable = false;
    // The bar's collection ID: it survives renumbering and is never reused,
    // so a bar that went cannot be mistaken for another.
    int FDetachingBarID = -1;
    TdxBarItemLinks* FItemLinks = nullptr;
    bool FShowCaption = true;
    cls::TNotifyEvent FOnCloseUp;
    cls::TNotifyEvent FOnDetaching;
    TdxBarPaintSubMenuBarEvent FOnPaintBar;
    cls::TNotifyEvent FOnPopup;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
    TRESTLE_CLASS(TdxBarSubItem, TCustomdxBarSubItem)
public:
    explicit TdxBarSubItem(cls::TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    bool AllowCustomizing() const { return FAllowCustomizing; }
    void SetAllowCustomizing(bool Value) { FAllowCustomizing = Value; }
    // False while the internal flag is set.
    bool AllowDesignerNotify() const override { return !FInternal; }

private:
    bool FAllowCustomizing = true;
    // Never set by the library itself.
    bool FInternal = false;
};

} // namespace bars
