// The popup menu component: a list of item links that a program shows at a
// screen point, and that a button carries as its drop-down part. Here it is
// the component with its links; showing it needs the menu window.
#pragma once

#include "bars/types.h"
#include "classes/component.h"

namespace bars {

class TdxBarPopupMenu : public cls::TComponent {
    TRESTLE_CLASS(TdxBarPopupMenu, cls::TComponent)
public:
    // Joins the manager of the owner form, else the first manager (when there is one).
    explicit TdxBarPopupMenu(cls::TComponent* AOwner);
    ~TdxBarPopupMenu() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    // Owned.
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    void SetItemLinks(TdxBarItemLinks* Value);

private:
    TdxBarManager* FBarManager = nullptr;
    TdxBarItemLinks* FItemLinks = nullptr;
};

} // namespace bars
