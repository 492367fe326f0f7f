// The drop shadow of a bar window: up to five small popup windows, each
// covering one strip to the right of and below the window (and, when the
// window is joined to the control that opened it, around the outline of both
// together).
//
// With per-pixel alpha (the user module's UpdateLayeredWindow and a screen of
// more than 8 bits per pixel) the strips are 4 pixels wide, layered and
// blended black, fading with the distance from the window and at the ends
// that meet the shadow's corners; otherwise they are 2 pixels wide and filled
// with the button shadow colour. The mouse passes through them.
#pragma once

#include <array>

#include "bars/types.h"
#include "classes/controls.h"
#include "classes/object.h"

namespace bars {

class TdxBarShadow;

// Which ends of a strip fade.
inline constexpr unsigned char ShadowFadeStart = 1; // left end of a horizontal strip
inline constexpr unsigned char ShadowFadeEnd = 2;   // right end of a horizontal strip
inline constexpr unsigned char ShadowFadeTop = 4;   // top of a vertical strip

class TdxBarShadowPart : public cls::TCustomControl {
    TRESTLE_CLASS(TdxBarShadowPart, cls::TCustomControl)
public:
    // The window is made hidden.
    TdxBarShadowPart(TdxBarShadow* AShadow, unsigned char ACorners, bool AIsVertical);
    ~TdxBarShadowPart() override;

    unsigned char Corners() const { return FCorners; }
    // 32-bit black image of the strip with its alpha (premultiplied).
    cls::TBitmap* AlphaBitmap() const { return FAlphaBitmap; }
    bool IsVertical() const { return FIsVertical; }
    TdxBarShadow* Shadow() const { return FShadow; }

    // Takes the strip (screen coordinates) and makes its alpha image.
    void SetPartBounds(const cls::TRect& R);
    // A strip with fading ends must be at least the shadow size both ways.
    bool IsLargeEnough() const;
    // Right behind the owner bar window in z-order.
    void ShowPart();
    void HidePart();

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void Dispatch(cls::TMessage& Message) override;
    void Paint() override;

private:
    void FillAlphaBitmap();

    unsigned char FCorners;
    cls::TBitmap* FAlphaBitmap;
    bool FIsVertical;
    TdxBarShadow* FShadow;
};

class TdxBarShadow : public cls::TObject {
    TRESTLE_CLASS(TdxBarShadow, cls::TObject)
public:
    explicit TdxBarShadow(TCustomdxBarControl* AOwner) : FOwner(AOwner) {}
    ~TdxBarShadow() override;

    static constexpr int MaxParts = 5;

    // True without an owner rectangle or with the owner above or below the
    // window; False with the owner beside it.
    bool HorizontalJoin() const { return FHorizontalJoin; }
    TCustomdxBarControl* Owner() const { return FOwner; }
    // The strips in the order they were made; nullptr for unused slots.
    TdxBarShadowPart* Parts(int Index) const;
    bool Visible() const { return FVisible; }
    // The owner rectangle (empty when none) and the window's bounds, screen
    // coordinates.
    const cls::TRect& Rect1() const { return FRect1; }
    const cls::TRect& Rect2() const { return FRect2; }

    // Rebuilds the strips for the window's bounds and its owner rectangle.
    void SetBounds(const cls::TRect& AOwnerRect, const cls::TRect& AWindowRect);
    void SetVisible(bool Value);

    // Layered strips are possible: the entry point exists and the screen has
    // more than 8 bits per pixel.
    static bool IsLayered();
    // 4 layered, else 2.
    static int ShadowSize();

private:
    void FreeParts();
    void AddPart(const cls::TRect& R, unsigned char ACorners, bool AIsVertical);
    void BuildHorizontal(const cls::TRect& R1, const cls::TRect& R2);
    void BuildSide(const cls::TRect& R1, const cls::TRect& R2);

    bool FHorizontalJoin = true;
    TCustomdxBarControl* FOwner;
    std::array<TdxBarShadowPart*, MaxParts> FParts{};
    bool FVisible = false;
    cls::TRect FRect1{};
    cls::TRect FRect2{};
};

} // namespace bars
