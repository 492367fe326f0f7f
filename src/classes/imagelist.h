// Image lists: images of one size kept side by side in a strip bitmap, with
// a monochrome mask strip (white = transparent), drawn normally, blended,
// as masks, or in the embossed disabled look. Clients follow changes through
// change links.
#pragma once

#include <memory>
#include <vector>

#include "classes/component.h"
#include "classes/events.h"
#include "classes/graphics.h"

namespace cls {

class TCustomImageList;

inline constexpr TResStringRec SImageIndexError{1221, "Invalid ImageList Index"};
inline constexpr TResStringRec SReplaceImage{1222, "Unable to Replace Image"};
inline constexpr TResStringRec SInsertImage{1223, "Unable to insert an image"};

// A client's subscription to an image list's changes.
class TChangeLink : public TObject {
    TRESTLE_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    // Unregisters from the image list it follows.
    ~TChangeLink() override;

    TCustomImageList* Sender() const { return FSender; }
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    // Calls OnChange with the image list.
    virtual void Change();

private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
    TNotifyEvent FOnChange;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
    TRESTLE_CLASS(TCustomImageList, TComponent)
public:
    // 16 x 16, masked, no background colour.
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    // Copies the images and settings of another image list.
    void Assign(TPersistent* Source) override;

    // Changing the size removes every image. Sizes below 1 raise
    // EInvalidOperation "Invalid image size".
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    int Count() const { return static_cast<int>(FAlpha.size()); }
    // clNone draws the images transparently; another colour fills their
    // transparent parts (except with dsTransparent).
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    // The colour dsFocus (25%) and dsSelected (50%) blend the images with;
    // clNone blends nothing, clDefault is clHighlight.
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    // Without masks images are drawn opaque and added masks are ignored.
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);

    // --- Editing (each fires OnChange) ---
    // Adds Image (several images when it is a multiple of Width wide) with
    // the white pixels of Mask transparent; returns the index of the first,
    // or -1 for a missing or empty image. A 32-bit image with alpha keeps its
    // alpha and is blended when drawn.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The pixels of MaskColor become transparent; clDefault takes the image's
    // TransparentColor, clNone makes none.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // The icon is stretched to the list's size.
    int AddIcon(TIcon* Image);
    // Inserts before Index (0..Count; else EInvalidOperation "List index out
    // of bounds (%d)"). A missing image raises EInvalidOperation "Unable to
    // insert an image".
    void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    // EInvalidOperation "Unable to Replace Image" for a bad index or a missing image.
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    // EInvalidOperation "Invalid ImageList Index" for a bad index.
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);

    // Sizes Image to the list and draws the image on it; false for a bad index.
    bool GetBitmap(int Index, TBitmap* Image);
    // An icon of the image and its mask; false for a bad index.
    bool GetIcon(int Index, TIcon* Image);

    // Draws with the list's DrawingStyle and ImageType. A bad index draws
    // nothing. Disabled images show their shape embossed in the button
    // highlight and shadow colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);

    // --- Changes ---
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    // Changes inside an update fire one OnChange at the final EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // True once the list has held images.
    bool HandleAllocated() const { return FHandleAllocated; }

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    // Tells the change links, then OnChange.
    virtual void Change();
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle ADrawingStyle,
                        TImageType AImageType, bool Enabled);

private:
    // One image: Width x Height pixels and mask values (0 or 0xFFFFFF), rows top first.
    struct TCell {
        std::vector<std::uint32_t> Pixels;
        std::vector<std::uint32_t> Mask;
        bool Alpha = false;
    };
    enum class TMaskSource { None, Bitmap, Color };

    void SetSize(int AWidth, int AHeight);
    std::vector<TCell> MakeCells(TBitmap* Image, TMaskSource Source, TBitmap* Mask, gfx::COLORREF Key,
                                 bool All) const;
    TCell CellFromPixels(std::vector<std::uint32_t> Pixels, std::vector<std::uint32_t> Mask,
                         bool Keyed) const;
    TCell ReadCell(int Index) const;
    std::vector<TCell> ReadAll() const;
    // Rebuilds the strips from the cells.
    void Store(const std::vector<TCell>& Cells);
    void DrawCell(gfx::HDC DC, int X, int Y, int Index, TDrawingStyle Style, TImageType Type) const;
    void DrawDisabled(TCanvas* Canvas, int X, int Y, int Index);

    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    bool FMasked = true;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    // The strips, each held by a memory DC that draws from it: the images
    // (straight alpha), their masks and, while an image has alpha, the
    // images premultiplied as AlphaBlend takes them.
    std::unique_ptr<gfx::MemoryDC> FImages;
    std::unique_ptr<gfx::MemoryDC> FMasks;
    std::unique_ptr<gfx::MemoryDC> FBlended;
    std::vector<bool> FAlpha;
    bool FHandleAllocated = false;
    int FUpdateCount = 0;
    bool FChanged = false;
    std::vector<TChangeLink*> FClients;
    TNotifyEvent FOnChange;
};

class TImageList : public TCustomImageList {
    TRESTLE_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

} // namespace cls
