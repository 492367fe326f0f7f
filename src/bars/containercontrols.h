// The control of a container or list item, and the menu it opens.
//
// In a toolbar the item shows as a sub item; its menu holds the links the
// item expands to and gives them back when it closes. In a menu the item's
// link normally gives way to its expansion (the menu window does that); a
// control shows there only while customizing, for a second link of the same
// item, or when the item has nothing to expand to: a plain entry, its
// caption in parentheses when the item has nothing to show.
#pragma once

#include <string>

#include "bars/itemcontrol.h"
#include "bars/submenu.h"

namespace lf {
struct TcxObjectLink;
}

namespace bars {

class TCustomdxBarContainerItem;

class TdxBarContainerItemControl : public TdxBarSubItemControl {
    TRESTLE_CLASS(TdxBarContainerItemControl, TdxBarSubItemControl)
public:
    explicit TdxBarContainerItemControl(TdxBarItemLink* AItemLink) : TdxBarSubItemControl(AItemLink) {}

    TCustomdxBarContainerItem* GetContainerItem() const;

    // Outside customizing: a container menu filled by the item for this link.
    TdxBarSubMenuControl* CreateSubMenuControl() override;
    std::string GetCaption() const override;
    // An item with nothing to show opens no menu from a menu's entry.
    bool CanOpenMenu() const override;
    bool HasDblClickAction() const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;
};

class TContainerItemSubMenuControl : public TdxBarSubMenuControl {
    TRESTLE_CLASS(TContainerItemSubMenuControl, TdxBarSubMenuControl)
public:
    explicit TContainerItemSubMenuControl(cls::TComponent* AOwner) : TdxBarSubMenuControl(AOwner) {}
    // The item's expansion goes with the menu.
    ~TContainerItemSubMenuControl() override;

    // The item that fills the menu, nullptr once it went.
    TCustomdxBarContainerItem* ContainerItem() const;
    void SetContainerItem(TCustomdxBarContainerItem* Value);

    bool IsCustomizing() const override { return false; }

protected:
    // The item takes its links back first.
    void DoCloseUp() override;

private:
    void ReleaseItemLinks();

    lf::TcxObjectLink* FContainerItem = nullptr;
};

} // namespace bars
