// Dock sites: the four main sites along the edges of a manager's form and
// the sites placed on a form. A dock site registers with its manager and
// follows its colour.
#pragma once

#include "bars/types.h"
#include "classes/component.h"
#include "classes/graphics.h"

namespace bars {

// A dock site: one of the four main sites of a manager's bars (made for a
// docking style) or a site placed on a form (docking style dsNone at creation).
class TdxDockControl : public cls::TComponent {
    TRESTLE_CLASS(TdxDockControl, cls::TComponent)
public:
    // A placed dock site; it docks like a dsTop site.
    explicit TdxDockControl(cls::TComponent* AOwner);
    // A main dock site of ABarManager's bars.
    TdxDockControl(cls::TComponent* AOwner, TdxBarDockingStyle AStyle, TdxBarManager* ABarManager);
    ~TdxDockControl() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    // Unregisters from the old manager and registers with the new one.
    void SetBarManager(TdxBarManager* Value);
    bool AllowDocking() const { return FAllowDocking; }
    void SetAllowDocking(bool Value) { FAllowDocking = Value; }
    TdxBarDockingStyle GetDockingStyle() const { return FDockingStyle; }
    // Made for a docking style by the bars collection.
    bool IsMainDock() const { return FMainStyle != dsNone; }

    cls::TColor Color() const { return FColor; }
    void SetColor(cls::TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value) { FParentColor = Value; }

    virtual bool CanDocking(TdxBar* ABar) const;
    // The parent's colour without manager or with the manager's AutoDockColor,
    // else the manager's DockColor.
    virtual void UpdateColor();
    virtual bool GetSunkenBorder() const;

protected:
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;

private:
    bool FAllowDocking = true;
    TdxBarManager* FBarManager = nullptr;
    TdxBarDockingStyle FMainStyle = dsNone;
    TdxBarDockingStyle FDockingStyle = dsTop;
    cls::TColor FColor = cls::clBtnFace;
    bool FParentColor = true;
};

} // namespace bars
