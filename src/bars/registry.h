// The library's process-wide state: the registry that gives each item class
// the class of the control that shows it, the live bar windows, the window
// that holds menu mode, the items the library makes for itself, and the
// library's start and end.
//
// The library starts with the first bar manager and ends with the last one
// (each manager calls StartLibrary and EndLibrary); a program or test that
// needs it without a manager, or registers item classes of its own that must
// outlive its managers, holds a start of its own around that use.
#pragma once

#include "bars/item.h"
#include "bars/types.h"
#include "classes/object.h"

namespace cls {
class TCustomForm;
}

namespace bars {

using TdxBarItemControlClass = cls::TClassOf<TdxBarItemControl>;

// ============================================================================
// Start and end
// ============================================================================

// Counted: the first start binds the optional entry points, creates the
// manager list, reads the screen depth, makes the checker brush, registers
// the groups' class and the item classes of the start-up table and loads the
// cursors; the matching last end undoes it (the cursors stay).
void StartLibrary();
// An end without a start does nothing.
void EndLibrary();
bool IsLibraryStarted();

// ============================================================================
// Registered item classes
// ============================================================================

class TRegItemRecord : public cls::TObject {
    TRESTLE_CLASS(TRegItemRecord, cls::TObject)
public:
    TRegItemRecord(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass, bool AVisible)
        : FItemClass(AItemClass), FItemControlClass(AItemControlClass), FVisible(AVisible) {}

    TdxBarItemClass ItemClass() const { return FItemClass; }
    TdxBarItemControlClass ItemControlClass() const { return FItemControlClass; }
    // The kind is offered to users (the customizing form's new commands).
    bool Visible() const { return FVisible; }

private:
    TdxBarItemClass FItemClass;
    TdxBarItemControlClass FItemControlClass;
    bool FVisible;
};

// Appends a record and registers the item class for streaming.
void RegisterBarItemClass(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass,
                          bool AVisible);
// Removes the first record of the class and unregisters it from streaming;
// a class without a record is left alone.
void UnregisterBarItemClass(TdxBarItemClass AItemClass);
int GetRegItemRecordCount();
// Nullptr out of range.
TRegItemRecord* GetRegItemRecord(int AIndex);
// The visible kinds in registration order; nullptr out of range.
int GetVisibleItemClassCount();
TdxBarItemClass GetVisibleItemClass(int AIndex);
// The control class registered for exactly this item class (a descendant of
// a registered class has none of its own); nullptr when there is none.
TdxBarItemControlClass GetItemControlClass(cls::TClass AItemClass);

// ============================================================================
// Bar windows and menu mode
// ============================================================================

// Called by the bar window's constructor and destructor.
void AddBarControlToList(TCustomdxBarControl* AControl);
void RemoveBarControlFromList(TCustomdxBarControl* AControl);
// AControl is not nullptr and has not been destroyed: callers test a window
// with it after every call that may have destroyed it.
bool IsBarControlAlive(const TCustomdxBarControl* AControl);

// The window that holds menu mode, nullptr when none (set by the window's SetActive).
TCustomdxBarControl* GetActiveBarControl();
void SetActiveBarControl(TCustomdxBarControl* AControl);

// ============================================================================
// Managers of forms
// ============================================================================

// Gives the form whose manager serves a form without a parent (a form
// embedded elsewhere); unset by default.
using TdxBarFormRedirect = cls::TCustomForm* (*)(cls::TCustomForm* AForm);
// Returns the previous procedure.
TdxBarFormRedirect SetBarManagerFormRedirect(TdxBarFormRedirect AProc);
// The manager whose owner form is AForm (after the redirect), nullptr when none.
TdxBarManager* GetBarManagerByForm(cls::TCustomForm* AForm);

// ============================================================================
// Internal items
// ============================================================================

// Items the library makes for itself (customizing popup, quick
// customization, the MDI system menu). An item freed elsewhere simply leaves.
void AddInternalItem(TdxBarItem* AItem);
int InternalItemCount();
// Frees, last first, every internal item that has no item control any more.
void FreeUnusedInternalItems();
// The same once the messages waiting now are handled (a thread timer): for
// an owner that goes while one of its items may still be running its click.
void FreeUnusedInternalItemsLater();

} // namespace bars
