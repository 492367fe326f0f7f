// Fonts, pens, brushes, canvases, bitmaps and icons.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "classes/exceptions.h"
#include "classes/graphics.h"
#include "classes/streams.h"
#include "classes/temp_dir.h"
#include "gfx/draw.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;

// Counts OnChanging and OnChange of anything with a TNotifyEvent.
struct TCounter {
    int Changing = 0;
    int Changed = 0;
    TObject* Sender = nullptr;
    void OnChanging(TObject*) { ++Changing; }
    void OnChange(TObject* S) {
        ++Changed;
        Sender = S;
    }
    template <class T> void Watch(T& Object) {
        Object.SetOnChange(TNotifyEvent(this, &TCounter::OnChange));
        if constexpr (requires { Object.SetOnChanging(TNotifyEvent()); })
            Object.SetOnChanging(TNotifyEvent(this, &TCounter::OnChanging));
    }
};

// A white bitmap of the given size.
void MakeWhite(TBitmap& B, int W, int H) {
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(Rect(0, 0, W, H));
}

// --- TFont ---

TEST(Font, DefaultsAndSizeHeightRoundTrip) {
    TFont F;
    EXPECT_EQ(F.Name(), "MS Sans Serif");
    EXPECT_EQ(F.Height(), -11);
    EXPECT_EQ(F.Size(), 8);
    EXPECT_EQ(F.Color(), clWindowText);
    EXPECT_EQ(F.Charset(), gfx::DEFAULT_CHARSET);
    EXPECT_EQ(F.PixelsPerInch(), 96);

    struct {
        int Size, Height;
    } const Cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}, {72, -96}};
    for (const auto& C : Cases) {
        F.SetSize(C.Size);
        EXPECT_EQ(F.Height(), C.Height) << C.Size;
        EXPECT_EQ(F.Size(), C.Size) << C.Size;
    }
    F.SetPixelsPerInch(120);
    F.SetSize(10);
    EXPECT_EQ(F.Height(), -17);
    EXPECT_EQ(F.Size(), 10);
    EXPECT_THROW(F.SetPixelsPerInch(0), EInvalidGraphicOperation);
}

TEST(Font, OnChangeFiresOncePerRealChange) {
    TFont F, Other;
    TCounter C;
    C.Watch(F);
    F.SetName("MS Sans Serif");
    F.SetName("");
    F.SetSize(8);
    F.SetStyle({});
    F.SetColor(clWindowText);
    EXPECT_EQ(C.Changed, 0);

    F.SetName("DejaVu Sans");
    F.SetStyle({fsBold, fsUnderline});
    F.SetColor(clRed);
    F.SetOrientation(900);
    EXPECT_EQ(C.Changed, 4);
    EXPECT_EQ(C.Changing, 4);
    EXPECT_EQ(C.Sender, &F);

    Other.SetSize(20);
    Other.SetStyle({fsItalic});
    Other.SetPitch(fpFixed);
    F.Assign(&Other);
    EXPECT_EQ(C.Changed, 5);
    F.Assign(&Other);
    EXPECT_EQ(C.Changed, 5);
    EXPECT_EQ(F.Height(), Other.Height());
    EXPECT_EQ(F.Style(), TFontStyles{fsItalic});
    EXPECT_EQ(F.Pitch(), fpFixed);
    EXPECT_EQ(F.Color(), clWindowText);
    EXPECT_EQ(F.Name(), "MS Sans Serif");

    TPen P;
    EXPECT_THROW(F.Assign(&P), EConvertError);
}

TEST(Font, HandleFollowsProperties) {
    TFont F;
    F.SetStyle({fsBold, fsStrikeOut});
    F.SetCharset(gfx::RUSSIAN_CHARSET);
    F.SetPitch(fpVariable);
    gfx::LOGFONT LF;
    ASSERT_EQ(gfx::GetObject(F.Handle(), sizeof LF, &LF), static_cast<int>(sizeof LF));
    EXPECT_STREQ(LF.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(LF.lfHeight, -11);
    EXPECT_EQ(LF.lfWeight, gfx::FW_BOLD);
    EXPECT_EQ(LF.lfItalic, 0);
    EXPECT_EQ(LF.lfStrikeOut, 1);
    EXPECT_EQ(LF.lfCharSet, gfx::RUSSIAN_CHARSET);
    EXPECT_EQ(LF.lfPitchAndFamily & 0x0F, gfx::VARIABLE_PITCH);

    gfx::HFONT Old = F.Handle();
    F.SetSize(12);
    EXPECT_EQ(gfx::GetObjectType(Old), 0u) << "the old handle is deleted";
    ASSERT_TRUE(gfx::GetObject(F.Handle(), sizeof LF, &LF));
    EXPECT_EQ(LF.lfHeight, -16);

    // Names are cut to what a LOGFONT holds, never inside a character.
    std::string Long;
    for (int I = 0; I < 20; ++I) Long += "\xC3\xA9";
    F.SetName(Long);
    EXPECT_EQ(F.Name(), Long.substr(0, 30));
}

TEST(Font, SetHandleReadsTheLogFontAndSharesTheHandle) {
    gfx::HFONT H = gfx::CreateFont(-20, 0, 0, 0, gfx::FW_BOLD, 1, 0, 0, gfx::SYMBOL_CHARSET, 0, 0, 0,
                                   gfx::FIXED_PITCH, "DejaVu Sans");
    auto* A = new TFont;
    A->SetColor(clBlue);
    TCounter C;
    C.Watch(*A);
    A->SetHandle(H);
    EXPECT_EQ(C.Changed, 1);
    EXPECT_EQ(A->Handle(), H);
    EXPECT_EQ(A->Name(), "DejaVu Sans");
    EXPECT_EQ(A->Height(), -20);
    EXPECT_EQ(A->Size(), 15);
    EXPECT_EQ(A->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(A->Charset(), gfx::SYMBOL_CHARSET);
    EXPECT_EQ(A->Pitch(), fpFixed);
    EXPECT_EQ(A->Color(), clBlue);

    // Both fonts use the handle; it goes with the last of them.
    auto* B = new TFont;
    B->SetHandle(A->Handle());
    delete A;
    EXPECT_EQ(gfx::GetObjectType(H), gfx::OBJ_FONT);
    EXPECT_EQ(B->Handle(), H);
    delete B;
    EXPECT_EQ(gfx::GetObjectType(H), 0u);

    TFont F;
    gfx::HPEN Pen = gfx::CreatePen(gfx::PS_SOLID, 1, 0);
    ExpectError<EInvalidGraphicOperation>([&] { F.SetHandle(gfx::handle_cast<gfx::HFONT>(Pen)); },
                                          "Invalid font handle");
    gfx::DeleteObject(Pen);
}

// --- TPen and TBrush ---

TEST(PenAndBrush, HandlesDescribeTheProperties) {
    struct {
        TColor Color;
        int Width;
        TPenStyle Style;
        gfx::UINT LogStyle;
    } const Pens[] = {{clRed, 1, psSolid, gfx::PS_SOLID},
                      {clBtnShadow, 1, psDot, gfx::PS_DOT},
                      {clNavy, 3, psSolid, gfx::PS_SOLID},
                      {clBlack, 1, psClear, gfx::PS_NULL},
                      {clGreen, 2, psInsideFrame, gfx::PS_INSIDEFRAME}};
    for (const auto& C : Pens) {
        TPen P;
        P.SetColor(C.Color);
        P.SetWidth(C.Width);
        P.SetStyle(C.Style);
        gfx::LOGPEN LP;
        ASSERT_TRUE(gfx::GetObject(P.Handle(), sizeof LP, &LP));
        EXPECT_EQ(LP.lopnStyle & gfx::PS_STYLE_MASK, C.LogStyle);
        EXPECT_EQ(LP.lopnWidth.x, C.Width);
        EXPECT_EQ(LP.lopnColor, ColorToRGB(C.Color));
    }

    struct {
        TColor Color;
        TBrushStyle Style;
        gfx::UINT LogStyle;
        std::uintptr_t Hatch;
    } const Brushes[] = {{clBlue, bsSolid, gfx::BS_SOLID, 0},
                         {clBtnFace, bsSolid, gfx::BS_SOLID, 0},
                         {clRed, bsDiagCross, gfx::BS_HATCHED, gfx::HS_DIAGCROSS},
                         {clRed, bsHorizontal, gfx::BS_HATCHED, gfx::HS_HORIZONTAL},
                         {clWhite, bsClear, gfx::BS_NULL, 0}};
    for (const auto& C : Brushes) {
        TBrush B;
        B.SetColor(C.Color);
        B.SetStyle(C.Style);
        gfx::LOGBRUSH LB;
        ASSERT_TRUE(gfx::GetObject(B.Handle(), sizeof LB, &LB));
        EXPECT_EQ(LB.lbStyle, C.LogStyle);
        if (C.Style != bsClear) {
            EXPECT_EQ(LB.lbColor, ColorToRGB(C.Color));
        }
        EXPECT_EQ(LB.lbHatch, C.Hatch);
    }
}

TEST(PenAndBrush, QuirksAndHandleReadBack) {
    TBrush B;
    B.SetColor(clRed);
    B.SetStyle(bsClear);
    EXPECT_EQ(B.Color(), clWhite);
    B.SetColor(clRed);
    EXPECT_EQ(B.Style(), bsSolid);

    B.SetHandle(gfx::CreateHatchBrush(gfx::HS_CROSS, gfx::RGB(1, 2, 3)));
    EXPECT_EQ(B.Style(), bsCross);
    EXPECT_EQ(B.Color(), static_cast<TColor>(gfx::RGB(1, 2, 3)));

    TPen P;
    TCounter C;
    C.Watch(P);
    P.SetWidth(-1);
    P.SetMode(pmXor);
    EXPECT_EQ(C.Changed, 1);
    EXPECT_EQ(P.Width(), 1);
    P.SetHandle(gfx::CreatePen(gfx::PS_DASH, 1, gfx::RGB(9, 8, 7)));
    EXPECT_EQ(P.Style(), psDash);
    EXPECT_EQ(P.Color(), static_cast<TColor>(gfx::RGB(9, 8, 7)));
    EXPECT_EQ(P.Mode(), pmXor);
}

// --- TCanvas on a bitmap ---

TEST(Canvas, FillRectRectangleAndLines) {
    TBitmap B;
    MakeWhite(B, 20, 20);
    TCanvas* C = B.Canvas();
    TCounter Events;
    Events.Watch(*C);

    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(2, 2, 10, 10));
    EXPECT_EQ(C->Pixels(2, 2), clRed);
    EXPECT_EQ(C->Pixels(9, 9), clRed);
    EXPECT_EQ(C->Pixels(10, 10), clWhite);
    EXPECT_EQ(Events.Changed, 1);
    EXPECT_EQ(Events.Changing, 1);

    // A changed brush is selected again before the next call.
    C->Brush()->SetColor(clBlue);
    C->Pen()->SetColor(clLime);
    C->Rectangle(10, 10, 15, 15);
    EXPECT_EQ(C->Pixels(10, 10), clLime);
    EXPECT_EQ(C->Pixels(14, 14), clLime);
    EXPECT_EQ(C->Pixels(12, 12), clBlue);
    EXPECT_EQ(C->Pixels(15, 15), clWhite);

    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clBlack);
    C->Rectangle(Rect(0, 0, 20, 20));
    EXPECT_EQ(C->Pixels(0, 0), clBlack);
    EXPECT_EQ(C->Pixels(3, 3), clRed) << "a clear brush leaves the inside";

    // Pen modes reach the DC: pmNot inverts what is there.
    C->Pen()->SetMode(pmNot);
    C->MoveTo(2, 5);
    C->LineTo(8, 5);
    EXPECT_EQ(C->Pixels(4, 5), static_cast<TColor>(gfx::RGB(0, 255, 255)));
    EXPECT_EQ(C->PenPos(), Point(8, 5));

    C->Pen()->SetMode(pmCopy);
    C->SetPixels(18, 1, clYellow);
    EXPECT_EQ(C->Pixels(18, 1), clYellow);
    EXPECT_EQ(C->Pixels(30, 30), static_cast<TColor>(gfx::CLR_INVALID));
    EXPECT_EQ(C->ClipRect(), Rect(0, 0, 20, 20));

    C->Pen()->SetColor(clBlue);
    C->Brush()->SetColor(clBlue);
    C->Polygon({Point(1, 12), Point(6, 12), Point(1, 17)});
    EXPECT_EQ(C->Pixels(2, 13), clBlue);
}

TEST(Canvas, Text) {
    TBitmap B;
    MakeWhite(B, 80, 30);
    TCanvas* C = B.Canvas();
    C->Font()->SetColor(clBlack);
    C->Font()->SetSize(12);
    const TSize Extent = C->TextExtent("Hg");
    EXPECT_GT(Extent.cx, 0);
    EXPECT_GT(Extent.cy, 0);
    EXPECT_EQ(C->TextWidth(""), 0);

    C->Brush()->SetStyle(bsClear);
    C->TextOut(2, 2, "Hg");
    EXPECT_EQ(C->PenPos(), Point(2 + Extent.cx, 2));
    int Dark = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 80; ++X) Dark += (C->Pixels(X, Y) & 0xFF) < 0x80;
    EXPECT_GT(Dark, 10);
    EXPECT_EQ(C->Pixels(2 + Extent.cx + 5, 2 + Extent.cy + 2), clWhite) << "nothing beyond the text";

    // An opaque brush fills the text's cell; TextRect clips to its rectangle.
    C->Brush()->SetColor(clYellow);
    C->TextRect(Rect(40, 0, 50, 10), 40, 0, "WWWW");
    EXPECT_EQ(C->Pixels(50, 2), clWhite);
    EXPECT_NE(C->Pixels(49, 0), clWhite);

    TRect R = Rect(0, 0, 0, 0);
    C->TextRect(R, "Hello", {tfCalcRect, tfSingleLine});
    EXPECT_EQ(R.Width(), C->TextWidth("Hello"));
    EXPECT_GT(R.Height(), 0);
}

TEST(Canvas, CopyRectAndBrushCopy) {
    TBitmap Src, Dst;
    MakeWhite(Src, 10, 10);
    MakeWhite(Dst, 20, 20);
    Src.Canvas()->Brush()->SetColor(clRed);
    Src.Canvas()->FillRect(Rect(0, 0, 5, 5));

    Dst.Canvas()->CopyRect(Rect(10, 10, 20, 20), Src.Canvas(), Rect(0, 0, 10, 10));
    EXPECT_EQ(Dst.Canvas()->Pixels(10, 10), clRed);
    EXPECT_EQ(Dst.Canvas()->Pixels(15, 15), clWhite);
    Dst.Canvas()->SetCopyMode(cmNotSrcCopy);
    Dst.Canvas()->CopyRect(Rect(0, 0, 10, 10), Src.Canvas(), Rect(0, 0, 10, 10));
    EXPECT_EQ(Dst.Canvas()->Pixels(1, 1), static_cast<TColor>(gfx::RGB(0, 255, 255)));
    EXPECT_EQ(Dst.Canvas()->Pixels(8, 8), clBlack);

    // BrushCopy puts the brush where the bitmap has the colour.
    Dst.Canvas()->Brush()->SetColor(clLime);
    Dst.Canvas()->BrushCopy(Rect(0, 0, 10, 10), &Src, Rect(0, 0, 10, 10), clWhite);
    EXPECT_EQ(Dst.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(Dst.Canvas()->Pixels(8, 8), clLime);
}

TEST(Canvas, PatternBrush) {
    TBitmap Pattern, Dst;
    MakeWhite(Pattern, 2, 2);
    Pattern.Canvas()->SetPixels(0, 0, clRed);
    Pattern.Canvas()->SetPixels(1, 1, clRed);
    MakeWhite(Dst, 16, 16);
    Dst.Canvas()->Brush()->SetBitmap(&Pattern);
    Dst.Canvas()->FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(Dst.Canvas()->Pixels(2, 2), clRed);
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 2), clWhite);

    // A bitmap's canvas may paint with the bitmap itself as the pattern.
    Dst.Canvas()->SetPixels(0, 0, clBlue);
    Dst.Canvas()->Brush()->SetBitmap(&Dst);
    Dst.Canvas()->FillRect(Rect(8, 8, 16, 16));
    EXPECT_EQ(Dst.Canvas()->Pixels(8, 8), clBlue);
    EXPECT_EQ(Dst.Canvas()->Pixels(10, 10), clRed);
}

TEST(Canvas, DrawHonoursTransparency) {
    // A 4 x 4 glyph: fuchsia background (the bottom-left pixel), black centre.
    TBitmap Glyph;
    Glyph.SetSize(4, 4);
    Glyph.Canvas()->Brush()->SetColor(clFuchsia);
    Glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
    Glyph.Canvas()->Brush()->SetColor(clBlack);
    Glyph.Canvas()->FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(Glyph.TransparentColor(), clFuchsia);

    TBitmap Dst;
    Dst.SetSize(8, 8);
    Dst.Canvas()->Brush()->SetColor(clGreen);
    Dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Dst.Canvas()->Draw(2, 2, &Glyph);
    EXPECT_EQ(Dst.Canvas()->Pixels(2, 2), clFuchsia);

    Dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Glyph.SetTransparent(true);
    Dst.Canvas()->Draw(2, 2, &Glyph);
    EXPECT_EQ(Dst.Canvas()->Pixels(2, 2), clGreen);
    EXPECT_EQ(Dst.Canvas()->Pixels(5, 5), clGreen);
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 3), clBlack);

    // A fixed colour: now the black centre is the see-through part.
    Glyph.SetTransparentColor(clBlack);
    EXPECT_EQ(Glyph.TransparentMode(), tmFixed);
    Dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Dst.Canvas()->Draw(2, 2, &Glyph);
    EXPECT_EQ(Dst.Canvas()->Pixels(2, 2), clFuchsia);
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 3), clGreen);

    // Monochrome: white is see-through, black takes the font colour.
    Glyph.SetTransparentMode(tmAuto);
    Glyph.SetMonochrome(true);
    Dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Dst.Canvas()->Font()->SetColor(clRed);
    Glyph.Canvas()->Brush()->SetColor(clWhite);
    Glyph.Canvas()->FillRect(Rect(0, 0, 4, 2));
    Dst.Canvas()->Draw(2, 2, &Glyph);
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 3), clGreen);
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 4), clRed);

    Glyph.SetTransparent(false);
    Dst.Canvas()->StretchDraw(Rect(0, 0, 8, 8), &Glyph);
    EXPECT_EQ(Dst.Canvas()->Pixels(0, 0), clGreen) << "white through the background colour";
    EXPECT_EQ(Dst.Canvas()->Pixels(3, 7), clRed);
}

TEST(Canvas, RetargetingAndErrors) {
    TCanvas C;
    ExpectError<EInvalidOperation>([&] { C.FillRect(Rect(0, 0, 1, 1)); }, "Canvas does not allow drawing");

    TBitmap A, B;
    MakeWhite(A, 10, 10);
    MakeWhite(B, 10, 10);
    const gfx::MemoryDC MemA(A.Handle()), MemB(B.Handle());
    const gfx::HDC DCA = MemA.Handle(), DCB = MemB.Handle();

    C.SetHandle(DCA);
    C.Brush()->SetColor(clRed);
    C.FillRect(Rect(0, 0, 5, 5));
    C.MoveTo(3, 4);
    const gfx::HBRUSH Brush = C.Brush()->Handle();
    EXPECT_EQ(gfx::GetCurrentObject(DCA, gfx::OBJ_BRUSH), gfx::handle_cast<gfx::HGDIOBJ>(Brush));

    C.SetHandle(DCB);
    EXPECT_EQ(gfx::GetCurrentObject(DCA, gfx::OBJ_BRUSH), gfx::GetStockObject(gfx::HOLLOW_BRUSH));
    EXPECT_EQ(gfx::GetCurrentObject(DCA, gfx::OBJ_FONT), gfx::GetStockObject(gfx::SYSTEM_FONT));
    EXPECT_EQ(C.PenPos(), Point(3, 4));
    C.FillRect(Rect(5, 5, 10, 10));
    EXPECT_EQ(gfx::GetPixel(DCB, 6, 6), gfx::RGB(255, 0, 0));
    EXPECT_EQ(gfx::GetPixel(DCB, 1, 1), gfx::RGB(255, 255, 255));
    EXPECT_EQ(gfx::GetPixel(DCA, 1, 1), gfx::RGB(255, 0, 0));

    C.SetHandle(nullptr);
    EXPECT_FALSE(C.HandleAllocated());
    EXPECT_EQ(gfx::GetCurrentObject(DCB, gfx::OBJ_BRUSH), gfx::GetStockObject(gfx::HOLLOW_BRUSH));
}

TEST(Canvas, LockIsRecursiveAndPerThread) {
    TCanvas C;
    C.Lock();
    C.Lock();
    EXPECT_EQ(C.LockCount(), 2);
    auto TryElsewhere = [&] {
        bool Got = false;
        std::thread T([&] {
            Got = C.TryLock();
            if (Got) C.Unlock();
        });
        T.join();
        return Got;
    };
    EXPECT_FALSE(TryElsewhere());
    C.Unlock();
    EXPECT_FALSE(TryElsewhere());
    C.Unlock();
    C.Unlock();
    EXPECT_EQ(C.LockCount(), 0);
    EXPECT_TRUE(TryElsewhere());
}

// --- TBitmap ---

TEST(Bitmap, SizeFormatAndHandles) {
    TBitmap B;
    EXPECT_TRUE(B.Empty());
    TCounter Events;
    Events.Watch(B);
    B.SetSize(4, 4);
    B.Canvas()->Brush()->SetColor(clRed);
    B.Canvas()->FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(Events.Changed, 2) << "drawing on the canvas changes the bitmap";

    B.Canvas()->Brush()->SetColor(clBlue);
    B.SetSize(6, 5);
    EXPECT_EQ(B.Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(5, 4), clBlue) << "new pixels take the brush colour";
    EXPECT_THROW(B.SetWidth(-1), EInvalidGraphicOperation);

    B.SetPixelFormat(pf1bit);
    EXPECT_TRUE(B.Monochrome());
    EXPECT_EQ(B.Canvas()->Pixels(3, 3), clBlack);
    EXPECT_EQ(B.TransparentColor(), clWhite);
    EXPECT_THROW(B.ScanLine(0), EInvalidGraphicOperation);
    B.SetPixelFormat(pf32bit);
    EXPECT_EQ(B.HandleType(), bmDIB);
    B.ScanLine(4)[5] = 0x800000FFu;
    EXPECT_EQ(B.Canvas()->Pixels(5, 4), clBlue);
    EXPECT_THROW(B.ScanLine(5), EInvalidGraphicOperation);

    // ReleaseHandle hands the bitmap over; the TBitmap makes a new white one.
    gfx::HBITMAP H = B.ReleaseHandle();
    EXPECT_EQ(gfx::GetObjectType(H), gfx::OBJ_BITMAP);
    EXPECT_EQ(B.Width(), 6);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_NE(B.Handle(), H);

    // SetHandle takes the bitmap over, size and depth included.
    B.SetHandle(H);
    EXPECT_EQ(B.Handle(), H);
    EXPECT_EQ(B.Canvas()->Pixels(3, 3), clBlack);
    B.SetHandle(gfx::CreateBitmap(3, 2, 1, 1, nullptr));
    EXPECT_EQ(gfx::GetObjectType(H), 0u) << "the old bitmap is deleted";
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(B.PixelFormat(), pf1bit);
    B.SetHandle(nullptr);
    EXPECT_TRUE(B.Empty());
}

TEST(Bitmap, AssignCopiesPixels) {
    TBitmap A, B;
    MakeWhite(A, 5, 5);
    A.Canvas()->SetPixels(1, 1, clRed);
    A.SetTransparentColor(clRed);
    A.SetTransparent(true);
    B.Assign(&A);
    A.Canvas()->SetPixels(1, 1, clBlue);
    EXPECT_EQ(B.Width(), 5);
    EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);
    EXPECT_TRUE(B.Transparent());
    EXPECT_EQ(B.TransparentColor(), clRed);
    B.Assign(nullptr);
    EXPECT_TRUE(B.Empty());
}

TEST(Bitmap, BmpStreamRoundTrip) {
    struct {
        int Width, Height;
        TPixelFormat Format;
        int BitCount;
    } const Cases[] = {{5, 3, pf32bit, 32}, {13, 4, pf1bit, 1}, {1, 1, pfDevice, 32}, {33, 2, pf1bit, 1}};
    for (const auto& C : Cases) {
        TBitmap B;
        B.SetPixelFormat(C.Format);
        MakeWhite(B, C.Width, C.Height);
        for (int Y = 0; Y < C.Height; ++Y)
            for (int X = 0; X < C.Width; ++X)
                if ((X + 2 * Y) % 3 == 0) B.Canvas()->SetPixels(X, Y, X % 2 ? clBlack : clTeal);
        if (C.BitCount == 32) B.ScanLine(0)[0] = 0x7F102030u;

        TMemoryStream S;
        S.WriteBuffer("xy", 2);
        B.SaveToStream(&S);
        ASSERT_EQ(S.Memory()[2], 'B');
        EXPECT_EQ(S.Memory()[2 + 28], C.BitCount);
        S.SetPosition(2);
        TBitmap R;
        R.LoadFromStream(&S);
        EXPECT_EQ(S.Position(), S.Size());
        ASSERT_EQ(R.Width(), C.Width);
        ASSERT_EQ(R.Height(), C.Height);
        EXPECT_EQ(R.Monochrome(), C.Format == pf1bit);
        for (int Y = 0; Y < C.Height; ++Y)
            for (int X = 0; X < C.Width; ++X)
                ASSERT_EQ(R.Canvas()->Pixels(X, Y), B.Canvas()->Pixels(X, Y)) << X << "," << Y;
        if (C.BitCount == 32) {
            EXPECT_EQ(R.ScanLine(0)[0], 0x7F102030u);
        }
    }

    TBitmap Empty;
    TMemoryStream S;
    Empty.SaveToStream(&S);
    EXPECT_EQ(S.Size(), 0);
    TBitmap R(3, 3);
    R.LoadFromStream(&S);
    EXPECT_TRUE(R.Empty());
}

// A BMP file built byte by byte.
struct TBmpBytes {
    std::vector<std::uint8_t> Data;
    void U16(unsigned V) {
        for (int I = 0; I < 2; ++I) Data.push_back(static_cast<std::uint8_t>(V >> (8 * I)));
    }
    void U32(std::uint32_t V) {
        for (int I = 0; I < 4; ++I) Data.push_back(static_cast<std::uint8_t>(V >> (8 * I)));
    }
    // File and info headers; the offset points just past the colour table.
    static TBmpBytes Make(int Width, int Height, int Bits, std::uint32_t Compression = 0, int Colors = 0) {
        TBmpBytes B;
        B.Data = {'B', 'M'};
        B.U32(0);
        B.U32(0);
        B.U32(14 + 40 + 4 * Colors);
        B.U32(40);
        B.U32(static_cast<std::uint32_t>(Width));
        B.U32(static_cast<std::uint32_t>(Height));
        B.U16(1);
        B.U16(static_cast<unsigned>(Bits));
        B.U32(Compression);
        for (int I = 0; I < 5; ++I) B.U32(I == 3 ? static_cast<std::uint32_t>(Colors) : 0);
        return B;
    }
    void LoadInto(TBitmap& B) const {
        TMemoryStream S;
        S.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
        S.SetPosition(0);
        B.LoadFromStream(&S);
    }
};

TEST(Bitmap, ReadsOtherDepthsAndTopDownRows) {
    // 24 bits, top-down, 2 x 2: red green / blue white (rows padded to 8 bytes).
    TBmpBytes T = TBmpBytes::Make(2, -2, 24);
    for (int V : {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0})
        T.Data.push_back(static_cast<std::uint8_t>(V));
    TBitmap B;
    T.LoadInto(B);
    EXPECT_EQ(B.PixelFormat(), pf24bit);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(1, 0), clLime);
    EXPECT_EQ(B.Canvas()->Pixels(0, 1), clBlue);
    EXPECT_EQ(B.Canvas()->Pixels(1, 1), clWhite);

    // 8 bits with a three-colour table, bottom-up, 3 x 1.
    TBmpBytes P = TBmpBytes::Make(3, 1, 8, 0, 3);
    for (std::uint32_t C : {0x00FF0000u, 0x0000FF00u, 0x000000FFu}) P.U32(C);
    for (int V : {2, 1, 0, 0}) P.Data.push_back(static_cast<std::uint8_t>(V));
    P.LoadInto(B);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(B.Canvas()->Pixels(2, 0), clRed);

    // 32-bit bit fields in an unusual order: 0xBBGGRRAA.
    TBmpBytes F = TBmpBytes::Make(1, 1, 32, 3);
    for (std::uint32_t M : {0x0000FF00u, 0x00FF0000u, 0xFF000000u}) F.U32(M);
    F.Data[10] = 14 + 40 + 12;
    F.U32(0x33221180u);
    F.LoadInto(B);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), static_cast<TColor>(gfx::RGB(0x11, 0x22, 0x33)));
}

TEST(Bitmap, DamagedStreamsRaiseAndKeepTheImage) {
    const TBmpBytes Good = [] {
        TBmpBytes B = TBmpBytes::Make(2, 2, 32);
        for (int I = 0; I < 4; ++I) B.U32(0x00FF0000u);
        return B;
    }();
    struct {
        std::function<void(TBmpBytes&)> Damage;
        std::string Reason;
    } const Cases[] = {
        {[](TBmpBytes& B) { B.Data[0] = 'X'; }, "no BM signature"},
        {[](TBmpBytes& B) { B.Data.resize(10); }, "the file header is incomplete"},
        {[](TBmpBytes& B) { B.Data.resize(30); }, "the image header is incomplete"},
        {[](TBmpBytes& B) { B.Data[14] = 12; }, "unsupported header size 12"},
        {[](TBmpBytes& B) { B.Data[18] = 0; }, "the size 0 x 2 is invalid"},
        {[](TBmpBytes& B) {
             B.Data[22] = B.Data[23] = B.Data[24] = 0;
             B.Data[25] = 0x80;
         },
         "the size 2 x -2147483648 is invalid"},
        {[](TBmpBytes& B) {
             B.Data[18] = B.Data[22] = 0;
             B.Data[20] = B.Data[24] = 1;
         },
         "the size 65536 x 65536 is too large"},
        {[](TBmpBytes& B) { B.Data[26] = 2; }, "the plane count is 2"},
        {[](TBmpBytes& B) { B.Data[28] = 16; }, "16 bits per pixel are not supported"},
        {[](TBmpBytes& B) { B.Data[30] = 1; }, "compression 1 is not supported"},
        {[](TBmpBytes& B) {
             B.Data[30] = 3;
             B.Data.resize(60);
         },
         "the colour masks are missing"},
        {[](TBmpBytes& B) { B.Data[30] = 3; }, "the pixel data overlaps the header"},
        {[](TBmpBytes& B) { B.Data.pop_back(); }, "the pixel data is incomplete"},
        {[](TBmpBytes& B) { B.Data[10] = 200; }, "the pixel data is incomplete"},
        {[](TBmpBytes& B) { B.Data[10] = 20; }, "the pixel data overlaps the header"},
        {[](TBmpBytes& B) {
             B.Data[28] = 1;
             B.Data[46] = 3;
         },
         "the colour table has 3 entries"},
        {[](TBmpBytes& B) {
             B.Data[28] = 8;
             B.Data[46] = 200;
         },
         "the colour table is incomplete"},
    };
    for (const auto& C : Cases) {
        TBmpBytes Bad = Good;
        C.Damage(Bad);
        TBitmap B(3, 3);
        ExpectError<EInvalidGraphic>([&] { Bad.LoadInto(B); }, "Bitmap image is not valid: " + C.Reason);
        EXPECT_EQ(B.Width(), 3) << C.Reason;
    }

    // Every truncation and many random byte changes: an error or an image, never a crash.
    std::mt19937 Random(7);
    for (std::size_t Length = 1; Length < Good.Data.size(); ++Length) {
        TBmpBytes Cut = Good;
        Cut.Data.resize(Length);
        TBitmap B;
        EXPECT_THROW(Cut.LoadInto(B), EInvalidGraphic) << Length;
    }
    for (int Round = 0; Round < 2000; ++Round) {
        TBmpBytes Bad = Good;
        for (int K = 0; K < 3; ++K)
            Bad.Data[Random() % Bad.Data.size()] = static_cast<std::uint8_t>(Random());
        TBitmap B;
        try {
            Bad.LoadInto(B);
        } catch (const EInvalidGraphic&) {}
    }
}

TEST(Bitmap, FilesAndResources) {
    trestle_test::TempDir Dir;
    TBitmap B;
    MakeWhite(B, 3, 3);
    B.Canvas()->SetPixels(2, 0, clRed);
    B.SaveToFile(Dir.File("a.bmp"));
    TBitmap R;
    R.LoadFromFile(Dir.File("a.bmp"));
    EXPECT_EQ(R.Canvas()->Pixels(2, 0), clRed);
    EXPECT_THROW(R.LoadFromFile(Dir.File("missing.bmp")), EFOpenError);
    EXPECT_THROW(R.SaveToFile(Dir.File("no/such/folder/a.bmp")), EFCreateError);

    ExpectError<EResNotFound>([&] { R.LoadFromResourceName(nullptr, "GLYPH"); }, "Resource GLYPH not found");
    auto Previous = SetBitmapResourceLoader([](void*, const std::string& Name) -> gfx::HBITMAP {
        return Name == "GLYPH" ? gfx::CreateBitmap(7, 2, 1, 32, nullptr) : nullptr;
    });
    R.LoadFromResourceName(nullptr, "GLYPH");
    EXPECT_EQ(R.Width(), 7);
    EXPECT_THROW(R.LoadFromResourceName(nullptr, "OTHER"), EResNotFound);
    SetBitmapResourceLoader(Previous);
}

// --- TIcon ---

TEST(Icon, HandleDrawAndAssign) {
    // 4 x 4: the left half opaque red, the right half transparent (black in
    // the colour bitmap, as icons need).
    TBitmap Color, Mask;
    Color.SetSize(4, 4);
    Color.Canvas()->Brush()->SetColor(clBlack);
    Color.Canvas()->FillRect(Rect(0, 0, 4, 4));
    Color.Canvas()->Brush()->SetColor(clRed);
    Color.Canvas()->FillRect(Rect(0, 0, 2, 4));
    Mask.SetMonochrome(true);
    MakeWhite(Mask, 4, 4);
    Mask.Canvas()->Brush()->SetColor(clBlack);
    Mask.Canvas()->FillRect(Rect(0, 0, 2, 4));
    gfx::ICONINFO Info;
    Info.hbmColor = Color.Handle();
    Info.hbmMask = Mask.Handle();

    TIcon I;
    I.SetHandle(gfx::CreateIconIndirect(&Info));
    EXPECT_EQ(I.Width(), 4);
    EXPECT_EQ(I.Height(), 4);
    EXPECT_THROW(I.SetWidth(8), EInvalidGraphicOperation);
    EXPECT_THROW(I.SaveToStream(nullptr), EInvalidGraphicOperation);

    TIcon Copy;
    Copy.Assign(&I);
    EXPECT_NE(Copy.Handle(), I.Handle());
    gfx::HICON Released = I.ReleaseHandle();
    EXPECT_TRUE(I.Empty());
    EXPECT_TRUE(gfx::DestroyIcon(Released));

    TBitmap Dst;
    Dst.SetSize(6, 6);
    Dst.Canvas()->Brush()->SetColor(clLime);
    Dst.Canvas()->FillRect(Rect(0, 0, 6, 6));
    Dst.Canvas()->Draw(1, 1, &Copy);
    EXPECT_EQ(Dst.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(Dst.Canvas()->Pixels(4, 1), clLime);
}

} // namespace
