// Image lists: editing, masks, drawing styles, the disabled look and change links.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classes/imagelist.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;

void Fill(TBitmap& B, const TRect& R, TColor Color) {
    B.Canvas()->Brush()->SetColor(Color);
    B.Canvas()->FillRect(R);
}

// A W x H bitmap of one colour.
struct TSolid : TBitmap {
    TSolid(int W, int H, TColor Color) : TBitmap(W, H) { Fill(*this, Rect(0, 0, W, H), Color); }
};

// A 6 x 6 glyph: fuchsia background, a black 2 x 2 square at (1, 1), a white pixel at (4, 1).
struct TGlyph : TSolid {
    TGlyph() : TSolid(6, 6, clFuchsia) {
        Fill(*this, Rect(1, 1, 3, 3), clBlack);
        Canvas()->SetPixels(4, 1, clWhite);
    }
};

bool Near(TColor A, TColor B) {
    for (int Shift = 0; Shift < 24; Shift += 8)
        if (std::abs(((A >> Shift) & 0xFF) - ((B >> Shift) & 0xFF)) > 1) return false;
    return true;
}

struct TRecorder {
    std::vector<std::string> Events;
    TObject* LastSender = nullptr;
    std::function<void()> Extra;
    void Link(TObject* Sender) {
        Events.push_back("link");
        LastSender = Sender;
        if (Extra) Extra();
    }
    void List(TObject* Sender) {
        Events.push_back("list");
        LastSender = Sender;
    }
};

// The first pixel of each 4 x 4 image drawn side by side.
std::vector<TColor> Colors(TCustomImageList& L) {
    TSolid Dst(4 * L.Count() + 1, 4, clWhite);
    std::vector<TColor> Result;
    for (int I = 0; I < L.Count(); ++I) {
        L.Draw(Dst.Canvas(), 4 * I, 0, I);
        Result.push_back(Dst.Canvas()->Pixels(4 * I, 0));
    }
    return Result;
}

TEST(ImageList, EditingKeepsOrderAndFiresOnce) {
    TImageList L(nullptr);
    L.SetWidth(4);
    L.SetHeight(4);
    EXPECT_FALSE(L.HandleAllocated());
    TRecorder R;
    L.SetOnChange(TNotifyEvent(&R, &TRecorder::List));

    TSolid Red(4, 4, clRed), Yellow(4, 4, clYellow), Aqua(4, 4, clAqua), Strip(8, 4, clLime);
    Fill(Strip, Rect(4, 0, 8, 4), clBlue);
    struct {
        std::function<void()> Action;
        std::vector<TColor> Expected;
    } const Steps[] = {
        {[&] { EXPECT_EQ(L.Add(&Red, nullptr), 0); }, {clRed}},
        {[&] { EXPECT_EQ(L.Add(&Strip, nullptr), 1); }, {clRed, clLime, clBlue}},
        {[&] { L.Insert(0, &Yellow, nullptr); }, {clYellow, clRed, clLime, clBlue}},
        {[&] { L.Replace(1, &Aqua, nullptr); }, {clYellow, clAqua, clLime, clBlue}},
        {[&] { L.Move(0, 3); }, {clAqua, clLime, clBlue, clYellow}},
        {[&] { L.Move(2, 0); }, {clBlue, clAqua, clLime, clYellow}},
        {[&] { L.Delete(1); }, {clBlue, clLime, clYellow}},
        {[&] { L.Clear(); }, {}},
    };
    for (std::size_t I = 0; I < std::size(Steps); ++I) {
        R.Events.clear();
        Steps[I].Action();
        EXPECT_EQ(R.Events.size(), 1u) << "step " << I;
        EXPECT_EQ(Colors(L), Steps[I].Expected) << "step " << I;
    }
    EXPECT_TRUE(L.HandleAllocated());
    EXPECT_EQ(R.LastSender, &L);
}

TEST(ImageList, BadArgumentsRaiseOrDoNothing) {
    TImageList L(nullptr);
    TSolid Image(16, 16, clRed);
    L.Add(&Image, nullptr);
    ExpectError<EInvalidOperation>([&] { L.Delete(1); }, "Invalid ImageList Index");
    ExpectError<EInvalidOperation>([&] { L.Delete(-1); }, "Invalid ImageList Index");
    ExpectError<EInvalidOperation>([&] { L.Move(0, 1); }, "Invalid ImageList Index");
    ExpectError<EInvalidOperation>([&] { L.Replace(3, &Image, nullptr); }, "Unable to Replace Image");
    ExpectError<EInvalidOperation>([&] { L.Replace(0, nullptr, nullptr); }, "Unable to Replace Image");
    ExpectError<EInvalidOperation>([&] { L.Insert(2, &Image, nullptr); }, "List index out of bounds (2)");
    ExpectError<EInvalidOperation>([&] { L.Insert(0, nullptr, nullptr); }, "Unable to insert an image");
    ExpectError<EInvalidOperation>([&] { L.SetWidth(0); }, "Invalid image size");
    TBitmap Empty;
    EXPECT_EQ(L.Add(nullptr, nullptr), -1);
    EXPECT_EQ(L.Add(&Empty, nullptr), -1);
    EXPECT_EQ(L.AddMasked(&Empty, clRed), -1);
    EXPECT_EQ(L.Count(), 1);

    TSolid Dst(16, 16, clWhite);
    L.Draw(Dst.Canvas(), 0, 0, -1);
    L.Draw(Dst.Canvas(), 0, 0, 1);
    L.Draw(nullptr, 0, 0, 0);
    EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), clWhite);
    TBitmap Out;
    EXPECT_FALSE(L.GetBitmap(1, &Out));
    EXPECT_FALSE(L.GetBitmap(0, nullptr));

    // A new size starts the list afresh.
    L.SetWidth(8);
    EXPECT_EQ(L.Count(), 0);
}

TEST(ImageList, MasksBackgroundsAndStyles) {
    TImageList L(nullptr);
    L.SetWidth(6);
    L.SetHeight(6);
    TGlyph Glyph;
    ASSERT_EQ(L.AddMasked(&Glyph, clDefault), 0);
    TSolid Mask(6, 6, clWhite);
    Fill(Mask, Rect(0, 0, 3, 6), clBlack);
    ASSERT_EQ(L.Add(&Glyph, &Mask), 1);

    struct {
        int Index;
        TDrawingStyle Style;
        TImageType Type;
        TColor Bk;
        TColor At00, At11, At41;
    } const Cases[] = {
        {0, dsNormal, itImage, clNone, clGreen, clBlack, clWhite},
        {0, dsNormal, itImage, clNavy, clNavy, clBlack, clWhite},
        {0, dsTransparent, itImage, clNavy, clGreen, clBlack, clWhite},
        {0, dsNormal, itMask, clNone, clWhite, clBlack, clBlack},
        {1, dsNormal, itImage, clNone, clFuchsia, clBlack, clGreen},
        {1, dsNormal, itMask, clNone, clBlack, clBlack, clWhite},
    };
    for (const auto& C : Cases) {
        L.SetBkColor(C.Bk);
        TSolid Dst(6, 6, clGreen);
        L.Draw(Dst.Canvas(), 0, 0, C.Index, C.Style, C.Type);
        EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), C.At00) << C.Index << " " << C.Style << " " << C.Type;
        EXPECT_EQ(Dst.Canvas()->Pixels(1, 1), C.At11) << C.Index << " " << C.Style << " " << C.Type;
        EXPECT_EQ(Dst.Canvas()->Pixels(4, 1), C.At41) << C.Index << " " << C.Style << " " << C.Type;
    }

    // Blending toward the blend colour, on the image's opaque pixels only.
    L.SetBkColor(clNone);
    L.SetBlendColor(clWhite);
    TSolid Dst(6, 6, clGreen);
    L.Draw(Dst.Canvas(), 0, 0, 0, dsSelected, itImage);
    EXPECT_TRUE(Near(Dst.Canvas()->Pixels(1, 1), gfx::RGB(128, 128, 128)));
    EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), clGreen);
    L.Draw(Dst.Canvas(), 0, 0, 0, dsFocus, itImage);
    EXPECT_TRUE(Near(Dst.Canvas()->Pixels(1, 1), gfx::RGB(64, 64, 64)));

    // Without masks images are opaque.
    TImageList Plain(nullptr);
    Plain.SetMasked(false);
    Plain.SetWidth(6);
    Plain.SetHeight(6);
    Plain.AddMasked(&Glyph, clFuchsia);
    Plain.Draw(Dst.Canvas(), 0, 0, 0);
    EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), clFuchsia);
}

TEST(ImageList, DisabledLookIsEmbossed) {
    TImageList L(nullptr);
    L.SetWidth(6);
    L.SetHeight(6);
    TGlyph Glyph;
    L.AddMasked(&Glyph, clFuchsia);
    TSolid Dst(8, 8, clBtnFace);
    Dst.Canvas()->Brush()->SetColor(clRed);
    L.Draw(Dst.Canvas(), 0, 0, 0, false);

    const auto Face = static_cast<TColor>(ColorToRGB(clBtnFace));
    const auto Shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
    const auto Light = static_cast<TColor>(ColorToRGB(clBtnHighlight));
    struct {
        int X, Y;
        TColor Expected;
    } const Pixels[] = {
        {1, 1, Shadow}, {2, 2, Shadow}, {3, 3, Light}, {3, 2, Light}, {2, 3, Light},
        {0, 0, Face},   {4, 4, Face},   {4, 1, Face},  {5, 2, Face},
    };
    for (const auto& P : Pixels) EXPECT_EQ(Dst.Canvas()->Pixels(P.X, P.Y), P.Expected) << P.X << "," << P.Y;
    EXPECT_EQ(Dst.Canvas()->Brush()->Color(), clRed) << "the canvas keeps its brush";
}

TEST(ImageList, AlphaImagesAreBlended) {
    TImageList L(nullptr);
    L.SetWidth(2);
    L.SetHeight(1);
    TBitmap Image;
    Image.SetPixelFormat(pf32bit);
    Image.SetSize(2, 1);
    Image.ScanLine(0)[0] = 0xC0800000u;
    Image.ScanLine(0)[1] = 0x000000FFu;
    L.Add(&Image, nullptr);
    TSolid Dst(2, 1, clWhite);
    L.Draw(Dst.Canvas(), 0, 0, 0);
    EXPECT_TRUE(Near(Dst.Canvas()->Pixels(0, 0), gfx::RGB(159, 63, 63)))
        << std::hex << Dst.Canvas()->Pixels(0, 0);
    EXPECT_EQ(Dst.Canvas()->Pixels(1, 0), clWhite);

    // The disabled look sees the blended result.
    TSolid Gray(4, 3, clBtnFace);
    L.Draw(Gray.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(Gray.Canvas()->Pixels(0, 0), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(Gray.Canvas()->Pixels(1, 0), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST(ImageList, BitmapsIconsAndAssign) {
    TImageList L(nullptr);
    L.SetWidth(6);
    L.SetHeight(6);
    TGlyph Glyph;
    L.AddMasked(&Glyph, clFuchsia);

    TBitmap Out;
    ASSERT_TRUE(L.GetBitmap(0, &Out));
    EXPECT_EQ(Out.Width(), 6);
    EXPECT_EQ(Out.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(Out.Canvas()->Pixels(1, 1), clBlack);

    TIcon Icon;
    ASSERT_TRUE(L.GetIcon(0, &Icon));
    EXPECT_EQ(Icon.Width(), 6);
    TSolid Dst(6, 6, clGreen);
    Dst.Canvas()->Draw(0, 0, &Icon);
    EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), clGreen);
    EXPECT_EQ(Dst.Canvas()->Pixels(1, 1), clBlack);

    // Back in through AddIcon, and a copy of the whole list.
    EXPECT_EQ(L.AddIcon(&Icon), 1);
    TImageList Copy(nullptr);
    Copy.Assign(&L);
    EXPECT_EQ(Copy.Width(), 6);
    ASSERT_EQ(Copy.Count(), 2);
    TSolid Dst2(6, 6, clGreen);
    Copy.Draw(Dst2.Canvas(), 0, 0, 1);
    EXPECT_EQ(Dst2.Canvas()->Pixels(0, 0), clGreen);
    EXPECT_EQ(Dst2.Canvas()->Pixels(2, 2), clBlack);
    EXPECT_EQ(Dst2.Canvas()->Pixels(4, 1), clWhite);
}

TEST(ImageList, ChangeLinks) {
    auto* L = new TImageList(nullptr);
    TRecorder R;
    L->SetOnChange(TNotifyEvent(&R, &TRecorder::List));
    TChangeLink A, B;
    A.SetOnChange(TNotifyEvent(&R, &TRecorder::Link));
    B.SetOnChange(TNotifyEvent(&R, &TRecorder::Link));
    L->RegisterChanges(&A);
    L->RegisterChanges(&B);
    L->RegisterChanges(&B);
    EXPECT_EQ(A.Sender(), L);

    TSolid Image(16, 16, clRed);
    L->Add(&Image, nullptr);
    EXPECT_EQ(R.Events, (std::vector<std::string>{"link", "link", "list"}));
    EXPECT_EQ(R.LastSender, L);

    R.Events.clear();
    L->BeginUpdate();
    L->Add(&Image, nullptr);
    L->BeginUpdate();
    L->Delete(0);
    L->EndUpdate();
    L->SetBkColor(clRed);
    EXPECT_TRUE(R.Events.empty());
    L->EndUpdate();
    EXPECT_EQ(R.Events, (std::vector<std::string>{"link", "link", "list"}));
    L->BeginUpdate();
    L->EndUpdate();
    EXPECT_EQ(R.Events.size(), 3u) << "an update without changes fires nothing";

    R.Events.clear();
    L->UnRegisterChanges(&B);
    EXPECT_EQ(B.Sender(), nullptr);
    {
        TChangeLink Temporary;
        L->RegisterChanges(&Temporary);
    }
    L->Clear();
    EXPECT_EQ(R.Events, (std::vector<std::string>{"link", "list"}));

    // A link handler may delete the list; nothing else is called after that.
    L->RegisterChanges(&B);
    R.Events.clear();
    R.Extra = [&] {
        R.Extra = nullptr;
        delete L;
    };
    L->Add(&Image, nullptr);
    EXPECT_EQ(R.Events, (std::vector<std::string>{"link"}));
    EXPECT_EQ(A.Sender(), nullptr);
    EXPECT_EQ(B.Sender(), nullptr);
}

} // namespace
