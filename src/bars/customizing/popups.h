// The two menus the library builds for itself from internal items: the
// toolbars popup (a right click on a toolbar or a dock site outside
// customizing: a check row per toolbar, and "Customize...") and the
// customizing popup (a right click on a link while customizing, or at
// design time: reset, delete, caption, paint style, group start,
// visibility, recent use; at design time also new items and "Delete Bar").
// Both own their links and keep their items in the internal items list
// (freed by FreeUnusedInternalItems once no control shows them).
#pragma once

#include "bars/button.h"
#include "bars/submenu.h"
#include "classes/graphics.h"

namespace lf {
struct TcxObjectLink;
}

namespace bars {

// A row of the toolbars list: a check button that shows or hides its bar.
// It keeps the bar by an object link, so a click after the bar went does
// nothing.
class TdxBarToolbarButton : public TdxBarButton {
    TRESTLE_CLASS(TdxBarToolbarButton, TdxBarButton)
public:
    explicit TdxBarToolbarButton(cls::TComponent* AOwner);
    ~TdxBarToolbarButton() override;
    // nullptr once the bar went.
    TdxBar* Bar() const;
    void SetBar(TdxBar* Value);

private:
    lf::TcxObjectLink* FBar;
};

class TdxBarToolbarsPopup : public TdxBarSubMenuControl {
    TRESTLE_CLASS(TdxBarToolbarsPopup, TdxBarSubMenuControl)
public:
    // The manager fills the popup's own links (FillToolbarsList).
    explicit TdxBarToolbarsPopup(TdxBarManager* ABarManager);
    ~TdxBarToolbarsPopup() override;
    // Its entries work while the manager customizes.
    bool IsCustomizing() const override { return false; }

private:
    TdxBarItemLinks* FLinks;
};

// Opens the toolbars popup of ABarManager at the screen point P, when it has
// entries: menu mode of any open bar window ends first.
void ShowBarToolbarsPopup(cls::TObject* ASender, TdxBarManager* ABarManager, cls::TPoint P);

class TdxBarCustomizingPopup : public TdxBarSubMenuControl {
    TRESTLE_CLASS(TdxBarCustomizingPopup, TdxBarSubMenuControl)
public:
    // Command indices (the items' Tags); the classes of "Add &Item" have
    // -100 - k for the k-th visible registered item class.
    enum {
        cmdAddSubItem = -4,
        cmdAddButton = -3,
        cmdAddItem = -2,
        cmdDeleteBar = -1,
        cmdReset = 0,
        cmdDelete = 1,
        cmdCaption = 2,
        cmdDefaultStyle = 3,
        cmdTextOnlyAlways = 4,
        cmdTextOnlyInMenus = 5,
        cmdImageAndText = 6,
        cmdBeginGroup = 7,
        cmdVisible = 8,
        cmdMostRecentlyUsed = 9,
        cmdFirstItemClass = -100
    };

    // Builds the popup for ALink of AItemLinks (nullptr: an empty place),
    // never animated; the caller places and shows it. The popup that was
    // open closes first.
    static TdxBarCustomizingPopup* CreateForLink(TdxBarManager* ABarManager, TdxBarItemLinks* AItemLinks,
                                                 TdxBarItemLink* ALink);
    ~TdxBarCustomizingPopup() override;
    bool IsCustomizing() const override { return false; }
    // The entry of command index i (i >= 0) is at position i + Offset.
    int Offset() const { return FOffset; }
    // The item of a command index, nullptr when the popup does not offer it.
    TdxBarItem* CommandItem(int AIndex) const;

protected:
    // The edited link's control stops being selected when the manager does
    // not customize (design mode); then the inherited close-up.
    void DoCloseUp() override;

private:
    explicit TdxBarCustomizingPopup(TdxBarManager* ABarManager);
    void Build(TdxBarItemLinks* AItemLinks, TdxBarItemLink* ALink);

    TdxBarItemLinks* FLinks;
    int FOffset = 0;
};

// The open customizing popup and the link it edits (nullptr when it was
// opened on an empty place or the link went).
TdxBarCustomizingPopup* GetBarCustomizingPopup();
TdxBarItemLink* GetBarCustomizingPopupLink();
// Set while a design-time command of the customizing popup runs (a rename
// among them).
bool IsCustomizingPopupCommandRunning();

// The right click of a bar window while customizing: the customizing popup
// for ALink (or an empty place) of the window's links at the screen point P.
void ShowBarCustomizingPopup(TCustomdxBarControl* ABarControl, TdxBarItemLink* ALink, cls::TPoint P);

} // namespace bars
