#include "bars/shadow.h"

#include <vector>

#include "bars/barcontrol.h"
#include "bars/system.h"
#include "gfx/gdi.h"

namespace bars {

namespace {

bool IsEmpty(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

} // namespace

// ============================================================================
// TdxBarShadowPart
// ============================================================================

TdxBarShadowPart::TdxBarShadowPart(TdxBarShadow* AShadow, unsigned char ACorners, bool AIsVertical)
    : cls::TCustomControl(nullptr), FCorners(ACorners), FAlphaBitmap(new cls::TBitmap()),
      FIsVertical(AIsVertical), FShadow(AShadow) {
    SetVisible(false);
}

TdxBarShadowPart::~TdxBarShadowPart() {
    DestroyHandle();
    delete FAlphaBitmap;
}

void TdxBarShadowPart::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = win::WS_POPUP;
    Params.ExStyle = 0;
    TCustomdxBarControl* Owner = FShadow->Owner();
    const win::HWND OwnerWnd = Owner && Owner->HandleAllocated() ? Owner->Handle() : nullptr;
    if (TdxBarShadow::IsLayered()) {
        Params.ExStyle |= win::WS_EX_LAYERED;
        if (OwnerWnd && (win::GetWindowLongPtr(OwnerWnd, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST))
            Params.ExStyle |= win::WS_EX_TOPMOST;
    }
    Params.WndParent = OwnerWnd;
    Params.WindowClass.style = 0;
}

void TdxBarShadowPart::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCHITTEST:
            Message.Result = win::HTTRANSPARENT;
            break;
        case win::WM_MOUSEACTIVATE:
            Message.Result = win::MA_NOACTIVATE;
            break;
        case win::WM_ERASEBKGND:
            Message.Result = 1;
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TdxBarShadowPart::Paint() {
    if (TdxBarShadow::IsLayered()) return;
    Canvas()->Brush()->SetColor(cls::clBtnShadow);
    Canvas()->FillRect(ClientRect());
}

void TdxBarShadowPart::SetPartBounds(const cls::TRect& R) {
    SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    FillAlphaBitmap();
}

bool TdxBarShadowPart::IsLargeEnough() const {
    const int N = TdxBarShadow::ShadowSize();
    return FCorners == 0 || (N <= Width() && N <= Height());
}

void TdxBarShadowPart::FillAlphaBitmap() {
    const int W = Width();
    const int H = Height();
    if (W <= 0 || H <= 0 || !IsLargeEnough()) return;
    const int N = TdxBarShadow::ShadowSize();
    std::vector<std::uint32_t> Alpha(static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
    // Read once: the stores below could otherwise be taken to change them.
    const bool Vertical = FIsVertical;
    const bool FadeTop = Vertical && (FCorners & ShadowFadeTop);
    const bool FadeStart = !Vertical && (FCorners & ShadowFadeStart);
    const bool FadeEnd = !Vertical && (FCorners & ShadowFadeEnd);
    std::uint32_t* Pixel = Alpha.data();
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) {
            int A = Vertical ? (W - X) * 15 : (H - Y) * 15;
            // The faded ends: step i from the end inwards keeps (i + 1) / (N + 1).
            if (FadeTop && Y < N) A = gfx::MulDiv(A, Y + 1, N + 1);
            if (FadeStart && X < N) A = gfx::MulDiv(A, X + 1, N + 1);
            if (FadeEnd && W - 1 - X < N) A = gfx::MulDiv(A, W - X, N + 1);
            *Pixel++ = static_cast<std::uint32_t>(A) << 24;
        }
    }
    gfx::BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(gfx::BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = gfx::BI_RGB;
    FAlphaBitmap->SetSize(W, H);
    gfx::SetDIBits(nullptr, FAlphaBitmap->Handle(), 0, static_cast<gfx::UINT>(H), Alpha.data(), &Info,
                   gfx::DIB_RGB_COLORS);
}

void TdxBarShadowPart::ShowPart() {
    TCustomdxBarControl* Owner = FShadow->Owner();
    if (!IsLargeEnough() || !Owner || !Owner->HandleAllocated()) return;
    const win::HWND Wnd = Handle();
    if (!Wnd) return;
    if (TdxBarShadow::IsLayered()) {
        const win::POINT Pos{Left(), Top()};
        const win::SIZE Size{Width(), Height()};
        const win::POINT Source{0, 0};
        gfx::BLENDFUNCTION Blend;
        Blend.BlendOp = gfx::AC_SRC_OVER;
        Blend.BlendFlags = 0;
        Blend.SourceConstantAlpha = 255;
        Blend.AlphaFormat = gfx::AC_SRC_ALPHA;
        User32EntryPoints().UpdateLayeredWindow(Wnd, nullptr, &Pos, &Size, FAlphaBitmap->Canvas()->Handle(),
                                                &Source, 0, &Blend, win::ULW_ALPHA);
    }
    win::SetWindowPos(Wnd, Owner->Handle(), 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
}

void TdxBarShadowPart::HidePart() {
    if (HandleAllocated()) win::ShowWindow(Handle(), win::SW_HIDE);
}

// ============================================================================
// TdxBarShadow
// ============================================================================

TdxBarShadow::~TdxBarShadow() {
    FreeParts();
}

bool TdxBarShadow::IsLayered() {
    return User32EntryPoints().UpdateLayeredWindow && ScreenBitsPerPixel() > 8;
}

int TdxBarShadow::ShadowSize() {
    return IsLayered() ? 4 : 2;
}

TdxBarShadowPart* TdxBarShadow::Parts(int Index) const {
    return Index >= 0 && Index < MaxParts ? FParts[static_cast<std::size_t>(Index)] : nullptr;
}

void TdxBarShadow::FreeParts() {
    for (TdxBarShadowPart*& Part : FParts) {
        delete Part;
        Part = nullptr;
    }
}

void TdxBarShadow::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    for (TdxBarShadowPart* Part : FParts) {
        if (!Part) continue;
        if (Value)
            Part->ShowPart();
        else
            Part->HidePart();
    }
}

void TdxBarShadow::AddPart(const cls::TRect& R, unsigned char ACorners, bool AIsVertical) {
    if (IsEmpty(R)) return;
    for (TdxBarShadowPart*& Slot : FParts) {
        if (Slot) continue;
        Slot = new TdxBarShadowPart(this, ACorners, AIsVertical);
        Slot->SetPartBounds(R);
        if (FVisible) Slot->ShowPart();
        return;
    }
}

void TdxBarShadow::SetBounds(const cls::TRect& AOwnerRect, const cls::TRect& AWindowRect) {
    FRect1 = AOwnerRect;
    FRect2 = AWindowRect;
    const cls::TRect& O = AOwnerRect;
    const cls::TRect& W = AWindowRect;
    FHorizontalJoin = IsEmpty(O) || O.bottom == W.top || O.top == W.bottom;
    cls::TRect R1 = IsEmpty(O) ? cls::TRect{} : O;
    cls::TRect R2 = W;
    // The upper rectangle first (the left one for a side join).
    if (!IsEmpty(R1) && (FHorizontalJoin ? O.top == W.bottom : O.left == W.right)) std::swap(R1, R2);
    FreeParts();
    if (FHorizontalJoin)
        BuildHorizontal(R1, R2);
    else
        BuildSide(R1, R2);
}

void TdxBarShadow::BuildHorizontal(const cls::TRect& R1, const cls::TRect& R2) {
    const int N = ShadowSize();
    const bool HasR1 = !IsEmpty(R1);
    if (HasR1) AddPart(cls::TRect{R1.right, R1.top + N, R1.right + N, R1.bottom}, ShadowFadeTop, true);
    AddPart(cls::TRect{R2.left + N, R2.bottom, R2.right + N, R2.bottom + N}, ShadowFadeStart | ShadowFadeEnd,
            false);
    if (HasR1 && R1.left + N < R2.left)
        AddPart(cls::TRect{R1.left + N, R1.bottom, R2.left, R1.bottom + N}, ShadowFadeStart, false);
    if (HasR1 && R2.right < R1.right)
        AddPart(cls::TRect{R2.right, R1.bottom, R1.right + N, R1.bottom + N}, ShadowFadeEnd, false);
    if (!HasR1 || R1.right < R2.right)
        AddPart(cls::TRect{R2.right, R2.top + N, R2.right + N, R2.bottom}, ShadowFadeTop, true);
    else
        AddPart(cls::TRect{R2.right, R2.top, R2.right + N, R2.bottom}, 0, true);
}

void TdxBarShadow::BuildSide(const cls::TRect& R1, const cls::TRect& R2) {
    const int N = ShadowSize();
    AddPart(cls::TRect{R2.right, R2.top + N, R2.right + N, R2.bottom}, ShadowFadeTop, true);
    if (R1.top + N < R2.top)
        AddPart(cls::TRect{R1.right, R1.top + N, R1.right + N, R2.top}, ShadowFadeTop, true);
    if (R1.bottom > R2.bottom) {
        AddPart(cls::TRect{R1.left + N, R1.bottom, R1.right + N, R1.bottom + N},
                ShadowFadeStart | ShadowFadeEnd, false);
        AddPart(cls::TRect{R1.right, R2.bottom, R1.right + N, R1.bottom}, 0, true);
    } else {
        AddPart(cls::TRect{R1.left + N, R1.bottom, R1.right, R1.bottom + N}, ShadowFadeStart, false);
    }
    if (R2.bottom <= R1.bottom)
        AddPart(cls::TRect{R2.left, R2.bottom, R2.right + N, R2.bottom + N}, ShadowFadeEnd, false);
    else
        AddPart(cls::TRect{R2.left + N, R2.bottom, R2.right + N, R2.bottom + N},
                ShadowFadeStart | ShadowFadeEnd, false);
}

} // namespace bars
