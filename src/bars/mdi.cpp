// MDI frames: the maximized child's system menu entry and its menu, the
// merging of a child form's main menu into the frame's, and the manager's
// update when the frame's MDI client reports a change.
#include "bars/mdi.h"

#include <cstdint>
#include <string>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "classes/forms.h"
#include "classes/graphics.h"
#include "classes/shortcuts.h"
#include "classes/sysutils.h"
#include "gfx/draw.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

namespace {

// 16 x 16 pictures: '#' black, anything else the transparent magenta of the
// bottom-left corner.
using TArt = const char* [16];

const TArt CloseArt = {"................", "................", "................", "................",
                       "....##....##....", ".....##..##.....", "......####......", ".......##.......",
                       "......####......", ".....##..##.....", "....##....##....", "................",
                       "................", "................", "................", "................"};
const TArt RestoreArt = {"................", "................", "................", "......######....",
                         "......######....", "......#....#....", "....######.#....", "....######.#....",
                         "....#....###....", "....#....#......", "....#....#......", "....######......",
                         "................", "................", "................", "................"};
const TArt MaximizeArt = {"................", "................", "................", "....#########...",
                          "....#########...", "....#.......#...", "....#.......#...", "....#.......#...",
                          "....#.......#...", "....#.......#...", "....#.......#...", "....#########...",
                          "................", "................", "................", "................"};
const TArt MinimizeArt = {"................", "................", "................", "................",
                          "................", "................", "................", "................",
                          "................", "................", "....#######.....", "....#######.....",
                          "................", "................", "................", "................"};

struct TStandardBitmap {
    win::HBITMAP Standard;
    const char* Name;
    const TArt* Art;
};

const TStandardBitmap StandardBitmaps[] = {{win::HBMMENU_POPUP_CLOSE, "DXBARCLOSE", &CloseArt},
                                           {win::HBMMENU_POPUP_RESTORE, "DXBARRESTORE", &RestoreArt},
                                           {win::HBMMENU_POPUP_MAXIMIZE, "DXBARMAXIMIZE", &MaximizeArt},
                                           {win::HBMMENU_POPUP_MINIMIZE, "DXBARMINIMIZE", &MinimizeArt}};

// A glyph that holds its own copy of the bitmap.
cls::TBitmap* GlyphOf(win::HBITMAP ABitmap) {
    const auto Copy = reinterpret_cast<gfx::HBITMAP>(
        win::CopyImage(reinterpret_cast<win::HANDLE>(ABitmap), win::IMAGE_BITMAP, 0, 0, 0));
    if (!Copy) return nullptr;
    auto* Glyph = new cls::TBitmap;
    Glyph->SetHandle(Copy);
    return Glyph;
}

// The glyph of a system menu entry: the library's artwork for the standard
// item bitmaps, else the check mark of the item's state, else a bitmap item's
// own picture.
cls::TBitmap* EntryGlyph(const win::MENUITEMINFO& AInfo, bool AHasItemBitmap) {
    if (AHasItemBitmap)
        for (const TStandardBitmap& Entry : StandardBitmaps)
            if (AInfo.hbmpItem == Entry.Standard)
                return GlyphOf(win::LoadBitmap(win::GetModuleHandle(nullptr), Entry.Name));
    const win::HBITMAP Check = (AInfo.fState & win::MFS_CHECKED) ? AInfo.hbmpChecked : AInfo.hbmpUnchecked;
    if (Check) return GlyphOf(Check);
    if (AInfo.fType & win::MFT_BITMAP) return GlyphOf(reinterpret_cast<win::HBITMAP>(AInfo.dwTypeData));
    return nullptr;
}

cls::TCustomForm* FormOfHandle(win::HWND AWnd) {
    return dynamic_cast<cls::TCustomForm*>(cls::FindControl(AWnd));
}

} // namespace

void LoadSystemMenuBitmaps() {
    const win::HMODULE Program = win::GetModuleHandle(nullptr);
    for (const TStandardBitmap& Entry : StandardBitmaps) {
        if (win::FindResource(Program, Entry.Name, win::ResType::Bitmap)) continue;
        std::uint32_t Bits[16 * 16];
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X) Bits[Y * 16 + X] = (*Entry.Art)[Y][X] == '#' ? 0u : 0x00FF00FFu;
        const gfx::HBITMAP Bitmap = gfx::CreateBitmap(16, 16, 1, 32, Bits);
        if (Bitmap && !win::AddResource(Program, win::ResType::Bitmap, Entry.Name, Bitmap, nullptr, {}))
            gfx::DeleteObject(Bitmap);
    }
}

bool IsMDIClientWindow(win::HWND AWnd) {
    return AWnd && cls::AnsiSameText(win::GetClassName(AWnd), "MDICLIENT");
}

bool IsActiveMDIChildOfActiveFrame(win::HWND AWnd) {
    const win::HWND Client = win::GetParent(AWnd);
    if (!IsMDIClientWindow(Client)) return false;
    return win::GetActiveWindow() == win::GetParent(Client) &&
           reinterpret_cast<win::HWND>(win::SendMessage(Client, win::WM_MDIGETACTIVE, 0, 0)) == AWnd;
}

// ============================================================================
// TSystemMenuSubItem
// ============================================================================

void TSystemMenuSubItem::Click() {
    FreeUnusedInternalItems();
    ItemLinks()->Clear();
    if (win::IsWindow(FChildWnd))
        if (const win::HMENU Menu = win::GetSystemMenu(FChildWnd, win::FALSE)) FillFromMenu(this, Menu);
    inherited::Click();
}

void TSystemMenuSubItem::CommandClick(cls::TObject* Sender) {
    auto* Button = dynamic_cast<TdxBarItem*>(Sender);
    if (Button && win::IsWindow(FChildWnd))
        win::SendMessage(FChildWnd, win::WM_SYSCOMMAND, static_cast<win::WPARAM>(Button->Tag()), 0);
}

void TSystemMenuSubItem::FillFromMenu(TCustomdxBarSubItem* ASubItem, win::HMENU AMenu) {
    cls::TComponent* ItemOwner = Owner();
    bool Group = false;
    const int Count = win::GetMenuItemCount(AMenu);
    for (int I = 0; I < Count; ++I) {
        win::MENUITEMINFO Info;
        Info.fMask = win::MIIM_FTYPE | win::MIIM_STATE | win::MIIM_ID | win::MIIM_SUBMENU |
                     win::MIIM_CHECKMARKS | win::MIIM_BITMAP;
        bool HasItemBitmap = true;
        if (!win::GetMenuItemInfo(AMenu, static_cast<win::UINT>(I), win::TRUE, &Info)) {
            // The older record: no item bitmap.
            Info = win::MENUITEMINFO{};
            Info.cbSize = win::kMenuItemInfoSizeNoBitmap;
            Info.fMask =
                win::MIIM_TYPE | win::MIIM_STATE | win::MIIM_ID | win::MIIM_SUBMENU | win::MIIM_CHECKMARKS;
            HasItemBitmap = false;
            if (!win::GetMenuItemInfo(AMenu, static_cast<win::UINT>(I), win::TRUE, &Info)) continue;
        }
        if (Info.fType & win::MFT_SEPARATOR) {
            Group = true;
            continue;
        }
        const std::string Text = win::GetMenuString(AMenu, static_cast<win::UINT>(I), win::MF_BYPOSITION);
        const std::size_t Tab = Text.find('\t');
        TdxBarItem* Item = nullptr;
        if (Info.hSubMenu) {
            auto* Sub = new TdxBarSubItem(ItemOwner);
            AddInternalItem(Sub);
            FillFromMenu(Sub, Info.hSubMenu);
            Item = Sub;
        } else {
            auto* Button = new TdxBarButton(ItemOwner);
            AddInternalItem(Button);
            Button->SetTag(static_cast<std::intptr_t>(Info.wID));
            Button->SetOnClick(cls::TNotifyEvent(this, &TSystemMenuSubItem::CommandClick));
            if (Info.fState & win::MFS_CHECKED) {
                Button->SetButtonStyle(bsChecked);
                Button->SetDown(true);
            }
            Item = Button;
        }
        Item->SetCaption(Text.substr(0, Tab));
        Item->SetEnabled((Info.fState & (win::MFS_GRAYED | win::MFS_DISABLED)) == 0);
        if (cls::TBitmap* Glyph = EntryGlyph(Info, HasItemBitmap)) {
            Item->SetGlyph(Glyph);
            delete Glyph;
        }
        if (Tab != std::string::npos) Item->SetShortCut(cls::TextToShortCut(Text.substr(Tab + 1)));
        ASubItem->ItemLinks()->Add(Item)->SetBeginGroup(Group);
        Group = false;
    }
}

// ============================================================================
// TSystemMenuSubItemControl
// ============================================================================

win::HWND TSystemMenuSubItemControl::ChildWnd() const {
    auto* Item = dynamic_cast<TSystemMenuSubItem*>(GetItem());
    return Item ? Item->ChildWnd() : nullptr;
}

bool TSystemMenuSubItemControl::CanSelect() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager && !Manager->IsCustomizing();
}

int TSystemMenuSubItemControl::GetHeight() const {
    return win::GetSystemMetrics(win::SM_CYSMICON);
}

int TSystemMenuSubItemControl::GetWidth() const {
    return win::GetSystemMetrics(win::SM_CXSMICON);
}

void TSystemMenuSubItemControl::Paint(const gfx::RECT& R, TdxBarPaintType) {
    const gfx::HDC DC = GetParentDC();
    TCustomdxBarControl* Window = Parent();
    if (!DC || !Window) return;
    SetParentDrawFlag();
    Window->SetItemControlDrawing(true);
    Window->FillBackground(DC, R, Window->GetBarBrush(), Window->Color());
    Window->SetItemControlDrawing(false);
    ResetParentDrawFlag();
    const win::HWND Child = ChildWnd();
    if (!win::IsWindow(Child)) return;
    auto Icon = reinterpret_cast<gfx::HICON>(win::SendMessage(Child, win::WM_GETICON, win::ICON_SMALL, 0));
    if (!Icon)
        Icon = reinterpret_cast<gfx::HICON>(win::SendMessage(Child, win::WM_GETICON, win::ICON_BIG, 0));
    if (!Icon) return;
    const auto Copy = reinterpret_cast<gfx::HICON>(
        win::CopyImage(reinterpret_cast<win::HANDLE>(Icon), win::IMAGE_ICON, 16, 16, 0));
    if (!Copy) return;
    gfx::DrawIconEx(DC, R.left, R.top, Copy, 0, 0, 0, nullptr, gfx::DI_NORMAL);
    gfx::DestroyIcon(Copy);
}

void TSystemMenuSubItemControl::DblClick() {
    const win::HWND Child = ChildWnd();
    TCustomdxBarControl* Window = Parent();
    lf::TcxObjectLinkScope Self(this);
    if (IsBarControlAlive(Window)) Window->DeactivateAll();
    if (!Self.Alive() || !win::IsWindow(Child)) return;
    const win::HMENU Menu = win::GetSystemMenu(Child, win::FALSE);
    const win::UINT Command = Menu ? win::GetMenuDefaultItem(Menu, win::FALSE, 0) : win::kNoMenuItem;
    if (Command != win::kNoMenuItem) win::SendMessage(Child, win::WM_SYSCOMMAND, Command, 0);
}

// ============================================================================
// The manager's MDI update
// ============================================================================

win::HWND TdxBarManager::GetActiveMDIChildHandle() const {
    if (!FOwnerForm || !FOwnerForm->ClientHandle()) return nullptr;
    return reinterpret_cast<win::HWND>(
        win::SendMessage(FOwnerForm->ClientHandle(), win::WM_MDIGETACTIVE, 0, 0));
}

TdxBarManager* TdxBarManager::MDIChildManager(win::HWND AChild) const {
    cls::TCustomForm* Form = FormOfHandle(AChild);
    TdxBarManager* Manager = Form ? GetBarManagerByForm(Form) : nullptr;
    return Manager && Manager != this && Manager->MainMenuBar() ? Manager : nullptr;
}

void TdxBarManager::MDIFrameActivated(bool AActive, win::HWND AOtherWindow) {
    if (AActive && IsOwnBarWindow(AOtherWindow)) return;
    UpdateFloatingBars(AActive, false, AOtherWindow);
}

void TdxBarManager::UpdateMDIChildMenus() {
    if (!FOwnerForm || FOwnerForm->FormStyle() != cls::fsMDIForm || IsDestroying()) return;
    const win::HWND Active = GetActiveMDIChildHandle();
    const bool Maximized = Active && win::IsZoomed(Active);
    const bool WasMaximized = std::exchange(FActiveMDIChildMaximized, Maximized);
    TdxBar* MainMenu = FMainMenuBar;
    const bool Lock = MainMenu && MainMenu->LockUpdate();
    lf::TcxObjectLinkScope Self(this);
    if (Active == FActiveMDIChild) {
        if (Maximized != WasMaximized) {
            if (Maximized)
                AddMDIChild(Active, !FAlwaysMerge);
            else
                RemoveMDIChild(!FAlwaysMerge);
        }
    } else {
        RemoveMDIChild(true);
        if (!Self.Alive()) return;
        FActiveMDIChild = Active;
        AddMDIChild(Active, true);
    }
    if (Self.Alive() && MainMenu == FMainMenuBar && MainMenu) MainMenu->SetLockUpdate(Lock);
}

void TdxBarManager::AddMDIChild(win::HWND AChild, bool AMerge) {
    if (!AChild || !win::IsWindow(AChild)) return;
    const bool Maximized = win::IsZoomed(AChild) != win::FALSE;
    if (FMainMenuBar && Maximized && win::GetSystemMenu(AChild, win::FALSE)) {
        FMainMenuBar->SetLockUpdate(true);
        FreeUnusedInternalItems();
        auto* Item = new TSystemMenuSubItem(FOwnerForm);
        Item->SetChildWnd(AChild);
        AddInternalItem(Item);
        FMainMenuBar->ItemLinks()->Add(Item)->SetIndex(0);
    }
    TdxBarManager* Child = MDIChildManager(AChild);
    if (!AMerge || !FMainMenuBar || !Child || !(FAlwaysMerge || Maximized)) return;
    TdxBar* ChildMenu = Child->MainMenuBar();
    FMergedMenuVisible = ChildMenu->Visible();
    lf::cxRemoveObjectLink(FMergedManager);
    FMergedManager = lf::cxAddObjectLink(Child);
    if (!FOnMenuMerge) {
        const bool Lock = FMainMenuBar->LockUpdate();
        FMainMenuBar->SetLockUpdate(true);
        TdxBarItemLinks* Source = ChildMenu->ItemLinks();
        for (int I = 0; I < Source->Count(); ++I) FMainMenuBar->ItemLinks()->Add()->Assign(Source->Items(I));
        FMainMenuBar->SetLockUpdate(Lock);
    } else {
        lf::TcxObjectLinkScope ChildAlive(Child);
        FOnMenuMerge(this, Child, true);
        if (!ChildAlive.Alive()) return;
    }
    ChildMenu->SetVisible(false);
}

void TdxBarManager::RemoveMDIChild(bool AMerge) {
    if (!FMainMenuBar) return;
    TdxBarItemLinks* Links = FMainMenuBar->ItemLinks();
    // A menu open on the entries that go closes first.
    if (TCustomdxBarControl* Active = GetActiveBarControl(); Active && Active->GetBarManager() == this)
        Active->DeactivateAll();
    if (Links->Count() > 0 && dynamic_cast<TSystemMenuSubItem*>(Links->Items(0)->Item())) {
        FMainMenuBar->SetLockUpdate(true);
        delete Links->Items(0);
        FreeUnusedInternalItems();
    }
    if (!AMerge) return;
    // Only a merged child has anything to take back; a freed child manager's
    // links went with its items.
    TdxBarManager* Child = FMergedManager ? static_cast<TdxBarManager*>(FMergedManager->Ref) : nullptr;
    lf::cxRemoveObjectLink(FMergedManager);
    FMergedManager = nullptr;
    if (!Child || !Child->MainMenuBar()) return;
    const bool Lock = FMainMenuBar->LockUpdate();
    FMainMenuBar->SetLockUpdate(true);
    for (int I = Links->Count() - 1; I >= 0; --I)
        if (TdxBarItem* Item = Links->Items(I)->Item(); Item && Item->BarManager() == Child)
            delete Links->Items(I);
    FMainMenuBar->SetLockUpdate(Lock);
    if (FOnMenuMerge) {
        lf::TcxObjectLinkScope ChildAlive(Child);
        FOnMenuMerge(this, Child, false);
        if (!ChildAlive.Alive() || !Child->MainMenuBar()) return;
    }
    if (!FAlwaysMerge && FMergedMenuVisible) Child->MainMenuBar()->SetVisible(true);
}

} // namespace bars
