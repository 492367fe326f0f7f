// Painters of the customizing form's command list: each row shows a command
// the way the manager's style shows it, a picture cell, the caption and, for
// some items, a part at the right (a drop-down part, a sub item's arrow, an
// edit box or a combo's button). Like the bar painters they keep no state:
// each class is named by its one constant object.
#pragma once

#include <string>

#include "classes/graphics.h"

namespace bars {

class TdxBarItem;
class TdxBarCustomizingFormPainter;
using TdxBarCustomizingFormPainterClass = const TdxBarCustomizingFormPainter*;
class TdxBarItemControlPainter;

class TdxBarCustomizingFormPainter {
public:
    TdxBarCustomizingFormPainter(const TdxBarCustomizingFormPainter&) = delete;
    TdxBarCustomizingFormPainter& operator=(const TdxBarCustomizingFormPainter&) = delete;

    static TdxBarCustomizingFormPainterClass Class();

    // A right-pointing filled triangle (X, Y), (X, Y + 6), (X + 3, Y + 3).
    virtual void DrawArrow(cls::TCanvas* ACanvas, int X, bool ASelected, int Y) const;
    virtual cls::TColor GetBackgroundColor(bool ASelected, TdxBarItem* AItem) const;
    // A row of a button, a sub item or any item but an edit or combo.
    virtual void DrawItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                          TdxBarItem* AItem) const;
    // A row of an edit or combo item.
    virtual void DrawEditItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected,
                              const std::string& ACaption, TdxBarItem* AItem) const;
    virtual void DrawFocusRect(cls::TCanvas* ACanvas, cls::TRect R, TdxBarItem* AItem) const;
    virtual cls::TColor GetTextColor(bool ASelected) const;

protected:
    constexpr TdxBarCustomizingFormPainter() = default;
    ~TdxBarCustomizingFormPainter() = default;

    // The caption, single line, vertically centred, transparent, from X.
    void DrawCaption(cls::TCanvas* ACanvas, const cls::TRect& R, int X, bool ASelected,
                     const std::string& AText) const;
    // The item's picture centred in ACell (flat: the flat look).
    void DrawPicture(cls::TCanvas* ACanvas, const cls::TRect& ACell, bool ASelected, TdxBarItem* AItem,
                     bool AFlat) const;
    // A sub item's arrow at (right - 9, top + 7) in the row's state; none for container items.
    void DrawSubItemArrow(cls::TCanvas* ACanvas, const cls::TRect& R, bool ASelected,
                          TdxBarItem* AItem) const;
    // A down arrow in clBtnText centred in R.
    void DrawDownArrow(cls::TCanvas* ACanvas, const cls::TRect& R) const;
};

class TdxBarCustomizingFormStandardPainter : public TdxBarCustomizingFormPainter {
public:
    static TdxBarCustomizingFormPainterClass Class();
    void DrawFocusRect(cls::TCanvas* ACanvas, cls::TRect R, TdxBarItem* AItem) const override;

protected:
    constexpr TdxBarCustomizingFormStandardPainter() = default;
    ~TdxBarCustomizingFormStandardPainter() = default;
};

class TdxBarCustomizingFormFlatPainter : public TdxBarCustomizingFormPainter {
public:
    static TdxBarCustomizingFormPainterClass Class();
    cls::TColor GetBackgroundColor(bool ASelected, TdxBarItem* AItem) const override;
    void DrawItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                  TdxBarItem* AItem) const override;
    void DrawEditItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                      TdxBarItem* AItem) const override;
    cls::TColor GetTextColor(bool ASelected) const override;

protected:
    constexpr TdxBarCustomizingFormFlatPainter() = default;
    ~TdxBarCustomizingFormFlatPainter() = default;
};

class TdxBarCustomizingFormOffice11Painter : public TdxBarCustomizingFormFlatPainter {
public:
    static TdxBarCustomizingFormPainterClass Class();
    cls::TColor GetBackgroundColor(bool ASelected, TdxBarItem* AItem) const override;
    void DrawItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                  TdxBarItem* AItem) const override;
    void DrawEditItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                      TdxBarItem* AItem) const override;
    cls::TColor GetTextColor(bool ASelected) const override;

protected:
    constexpr TdxBarCustomizingFormOffice11Painter() = default;
    ~TdxBarCustomizingFormOffice11Painter() = default;
};

class TdxBarCustomizingFormXPPainter : public TdxBarCustomizingFormPainter {
public:
    static TdxBarCustomizingFormPainterClass Class();
    void DrawItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                  TdxBarItem* AItem) const override;
    void DrawEditItem(cls::TCanvas* ACanvas, cls::TRect R, bool ASelected, const std::string& ACaption,
                      TdxBarItem* AItem) const override;
    void DrawFocusRect(cls::TCanvas* ACanvas, cls::TRect R, TdxBarItem* AItem) const override;

protected:
    constexpr TdxBarCustomizingFormXPPainter() = default;
    ~TdxBarCustomizingFormXPPainter() = default;
};

// The painter of the form for the manager's item-control painter class:
// XP, Office11 and Flat have their own, every other style the Standard one.
TdxBarCustomizingFormPainterClass
GetCustomizingFormPainterClass(const TdxBarItemControlPainter* APainterClass);

} // namespace bars
