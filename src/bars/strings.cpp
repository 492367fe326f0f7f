#include "bars/strings.h"

#include "win/user.h"

#include <array>

namespace bars {

const cls::TResStringRec dxSBAR_MODIFY{65168, "... modify"};
const cls::TResStringRec dxSBAR_PERSONALIZEDHEADING{65169, "Personalized Menus and Toolbars  "};
const cls::TResStringRec dxSBAR_RECENTITEMSFIRST{65170, "Me&nus show recently used commands first"};
const cls::TResStringRec dxSBAR_FULLMENUSAFTERDELAY{65171, "Show f&ull menus after a short delay"};
const cls::TResStringRec dxSBAR_RESETUSAGEDATA{65172, "&Reset my usage data"};
const cls::TResStringRec dxSBAR_OTHERHEADING{65173, "Other  "};
const cls::TResStringRec dxSBAR_LARGEICONS{65174, "&Large icons"};
const cls::TResStringRec dxSBAR_SHOWTOOLTIPS{65175, "Show Tool&Tips on toolbars"};
const cls::TResStringRec dxSBAR_SHOWSHORTCUTSINTIPS{65176, "Show s&hortcut keys in ToolTips"};
const cls::TResStringRec dxSBAR_MENUANIMATIONS{65177, "&Menu animations:"};
const cls::TResStringRec dxSBAR_ANIMATIONNONE{65178, "(None)"};
const cls::TResStringRec dxSBAR_ANIMATIONRANDOM{65179, "Random"};
const cls::TResStringRec dxSBAR_ANIMATIONUNFOLD{65180, "Unfold"};
const cls::TResStringRec dxSBAR_ANIMATIONSLIDE{65181, "Slide"};
const cls::TResStringRec dxSBAR_ANIMATIONFADE{65182, "Fade"};
const cls::TResStringRec dxSBAR_COMMANDSLABEL{65184, "Comman&ds:"};
const cls::TResStringRec dxSBAR_DESCRIPTIONHEADING{65185, "Description  "};
const cls::TResStringRec dxSBAR_CUSTOMIZEITEM{65186, "&Customize..."};
const cls::TResStringRec dxSBAR_ADDREMOVEBUTTONS{65187, "&Add or Remove Buttons"};
const cls::TResStringRec dxSBAR_MOREBUTTONS{65188, "More Buttons"};
const cls::TResStringRec dxSBAR_RESETTOOLBAR{65189, "&Reset Toolbar"};
const cls::TResStringRec dxSBAR_EXPANDHINT{65190, "Expand (Ctrl-Down)"};
const cls::TResStringRec dxSBAR_DRAGTOFLOATHINT{65191, "Drag to make this menu float"};
const cls::TResStringRec dxSBAR_NEWTOOLBARNAME{65192, "Custom "};
const cls::TResStringRec dxSBAR_ADDCATEGORY{65193, "Add Category"};
const cls::TResStringRec dxSBAR_INSERTCATEGORY{65194, "Insert Category"};
const cls::TResStringRec dxSBAR_RENAMECATEGORY{65195, "Rename Category"};
const cls::TResStringRec dxSBAR_ADDTOOLBAR{65196, "Add Toolbar"};
const cls::TResStringRec dxSBAR_RENAMETOOLBAR{65197, "Rename Toolbar"};
const cls::TResStringRec dxSBAR_CATEGORYNAMELABEL{65198, "&Category name:"};
const cls::TResStringRec dxSBAR_TOOLBARNAMELABEL{65199, "&Toolbar name:"};
const cls::TResStringRec dxSBAR_SUBMENUEDITOR{65200, "SubMenu Editor..."};
const cls::TResStringRec dxSBAR_SUBMENUEDITORCAPTION{65201, "Trestle SubMenu Editor"};
const cls::TResStringRec dxSBAR_INSERT{65202, "Insert..."};
const cls::TResStringRec dxSBAR_MOVEUP{65203, "Move Up"};
const cls::TResStringRec dxSBAR_MOVEDOWN{65204, "Move Down"};
const cls::TResStringRec dxSBAR_TOOLBARSPAGE{65205, " Toolbars "};
const cls::TResStringRec dxSBAR_COMMANDSPAGE{65206, " Commands "};
const cls::TResStringRec dxSBAR_OPTIONSPAGE{65207, " Options "};
const cls::TResStringRec dxSBAR_TOOLBARSLABEL{65208, "Toolb&ars:"};
const cls::TResStringRec dxSBAR_TOOLBARNEW{65209, "&New..."};
const cls::TResStringRec dxSBAR_TOOLBARRENAME{65210, "R&ename..."};
const cls::TResStringRec dxSBAR_TOOLBARDELETE{65211, "&Delete"};
const cls::TResStringRec dxSBAR_TOOLBARRESET{65212, "&Reset..."};
const cls::TResStringRec dxSBAR_CLOSE{65213, "Close"};
const cls::TResStringRec dxSBAR_CUSTOMIZECAPTION{65214, "Customize"};
const cls::TResStringRec dxSBAR_CATEGORIESLABEL{65215, "Cate&gories:"};
const cls::TResStringRec dxSBAR_POPUPNAME{65216, "&Name:"};
const cls::TResStringRec dxSBAR_POPUPCAPTION{65217, "&Caption:"};
const cls::TResStringRec dxSBAR_POPUPDEFAULTSTYLE{65218, "Defa&ult style"};
const cls::TResStringRec dxSBAR_POPUPTEXTONLYALWAYS{65219, "&Text Only (Always)"};
const cls::TResStringRec dxSBAR_POPUPTEXTONLYINMENUS{65220, "Text &Only (in Menus)"};
const cls::TResStringRec dxSBAR_POPUPIMAGEANDTEXT{65221, "Image &and Text"};
const cls::TResStringRec dxSBAR_POPUPBEGINGROUP{65222, "Begin a &Group"};
const cls::TResStringRec dxSBAR_POPUPVISIBLE{65223, "&Visible"};
const cls::TResStringRec dxSBAR_POPUPMOSTRECENTLYUSED{65224, "&Most recently used"};
const cls::TResStringRec dxSBAR_CATEGORYADD{65225, "Add..."};
const cls::TResStringRec dxSBAR_CATEGORYRENAME{65226, "Rename..."};
const cls::TResStringRec dxSBAR_CATEGORYDELETE{65227, "Delete"};
const cls::TResStringRec dxSBAR_CATEGORYCLEAR{65228, "Clear"};
const cls::TResStringRec dxSBAR_CATEGORYVISIBLE{65229, "Visible"};
const cls::TResStringRec dxSBAR_OK{65230, "OK"};
const cls::TResStringRec dxSBAR_CANCEL{65231, "Cancel"};
const cls::TResStringRec dxSBAR_WRONGOWNER{65232,
                                           "TdxBarManager should have as its Owner - TForm (TCustomForm)"};
const cls::TResStringRec dxSBAR_NOBARMANAGERS{65233, "There are no TdxBarManagers available"};
const cls::TResStringRec dxSBAR_CONFIRMDELETETOOLBAR{65234,
                                                     "Are you sure you want to delete the '%s' toolbar?"};
const cls::TResStringRec dxSBAR_CONFIRMDELETECATEGORY{65235,
                                                      "Are you sure you want to delete the '%s' category?"};
const cls::TResStringRec dxSBAR_CONFIRMCLEARCATEGORY{
    65236, "Are you sure you want to delete all commands in the '%s' category?"};
const cls::TResStringRec dxSBAR_RECURSIVESUBITEMS{65237, "You cannot create recursive subitems"};
const cls::TResStringRec dxSBAR_BLANKCOMMANDNAME{65238,
                                                 "A command name cannot be blank. Please enter a name."};
const cls::TResStringRec dxSBAR_DUPLICATETOOLBARNAME{
    65239, "A toolbar named '%s' already exists. Type another name."};
const cls::TResStringRec dxSBAR_RECURSIVEGROUPS{65240, "You cannot create recursive groups"};
const cls::TResStringRec dxSBAR_DEFAULTCATEGORYNAME{65241, "Default"};
const cls::TResStringRec dxSBAR_ADDSUBITEM{65242, "Add &SubItem"};
const cls::TResStringRec dxSBAR_ADDBUTTON{65243, "Add &Button"};
const cls::TResStringRec dxSBAR_ADDITEM{65244, "Add &Item"};
const cls::TResStringRec dxSBAR_DELETEBAR{65245, "Delete Bar"};
const cls::TResStringRec dxSBAR_POPUPRESET{65246, "&Reset"};
const cls::TResStringRec dxSBAR_POPUPDELETE{65247, "&Delete"};
const cls::TResStringRec dxSBAR_CONFIRMRESETTOOLBAR{
    65261, "Are you sure you want to reset the changes made to the '%s' toolbar?"};
const cls::TResStringRec dxSBAR_CONFIRMRESETUSAGEDATA{
    65262, "This will delete the record of the commands you've used in this application and restore the "
           "default set of visible commands to the menus and toolbars. It will not undo any explicit "
           "customizations.   Are you sure you want to proceed?"};
const cls::TResStringRec dxSBAR_ONEMANAGERPERFORM{65263, "A Form should contain only a single TdxBarManager"};

namespace {

constexpr std::array<const cls::TResStringRec*, 82> AllStrings = {
    &dxSBAR_MODIFY,
    &dxSBAR_PERSONALIZEDHEADING,
    &dxSBAR_RECENTITEMSFIRST,
    &dxSBAR_FULLMENUSAFTERDELAY,
    &dxSBAR_RESETUSAGEDATA,
    &dxSBAR_OTHERHEADING,
    &dxSBAR_LARGEICONS,
    &dxSBAR_SHOWTOOLTIPS,
    &dxSBAR_SHOWSHORTCUTSINTIPS,
    &dxSBAR_MENUANIMATIONS,
    &dxSBAR_ANIMATIONNONE,
    &dxSBAR_ANIMATIONRANDOM,
    &dxSBAR_ANIMATIONUNFOLD,
    &dxSBAR_ANIMATIONSLIDE,
    &dxSBAR_ANIMATIONFADE,
    &dxSBAR_COMMANDSLABEL,
    &dxSBAR_DESCRIPTIONHEADING,
    &dxSBAR_CUSTOMIZEITEM,
    &dxSBAR_ADDREMOVEBUTTONS,
    &dxSBAR_MOREBUTTONS,
    &dxSBAR_RESETTOOLBAR,
    &dxSBAR_EXPANDHINT,
    &dxSBAR_DRAGTOFLOATHINT,
    &dxSBAR_NEWTOOLBARNAME,
    &dxSBAR_ADDCATEGORY,
    &dxSBAR_INSERTCATEGORY,
    &dxSBAR_RENAMECATEGORY,
    &dxSBAR_ADDTOOLBAR,
    &dxSBAR_RENAMETOOLBAR,
    &dxSBAR_CATEGORYNAMELABEL,
    &dxSBAR_TOOLBARNAMELABEL,
    &dxSBAR_SUBMENUEDITOR,
    &dxSBAR_SUBMENUEDITORCAPTION,
    &dxSBAR_INSERT,
    &dxSBAR_MOVEUP,
    &dxSBAR_MOVEDOWN,
    &dxSBAR_TOOLBARSPAGE,
    &dxSBAR_COMMANDSPAGE,
    &dxSBAR_OPTIONSPAGE,
    &dxSBAR_TOOLBARSLABEL,
    &dxSBAR_TOOLBARNEW,
    &dxSBAR_TOOLBARRENAME,
    &dxSBAR_TOOLBARDELETE,
    &dxSBAR_TOOLBARRESET,
    &dxSBAR_CLOSE,
    &dxSBAR_CUSTOMIZECAPTION,
    &dxSBAR_CATEGORIESLABEL,
    &dxSBAR_POPUPNAME,
    &dxSBAR_POPUPCAPTION,
    &dxSBAR_POPUPDEFAULTSTYLE,
    &dxSBAR_POPUPTEXTONLYALWAYS,
    &dxSBAR_POPUPTEXTONLYINMENUS,
    &dxSBAR_POPUPIMAGEANDTEXT,
    &dxSBAR_POPUPBEGINGROUP,
    &dxSBAR_POPUPVISIBLE,
    &dxSBAR_POPUPMOSTRECENTLYUSED,
    &dxSBAR_CATEGORYADD,
    &dxSBAR_CATEGORYRENAME,
    &dxSBAR_CATEGORYDELETE,
    &dxSBAR_CATEGORYCLEAR,
    &dxSBAR_CATEGORYVISIBLE,
    &dxSBAR_OK,
    &dxSBAR_CANCEL,
    &dxSBAR_WRONGOWNER,
    &dxSBAR_NOBARMANAGERS,
    &dxSBAR_CONFIRMDELETETOOLBAR,
    &dxSBAR_CONFIRMDELETECATEGORY,
    &dxSBAR_CONFIRMCLEARCATEGORY,
    &dxSBAR_RECURSIVESUBITEMS,
    &dxSBAR_BLANKCOMMANDNAME,
    &dxSBAR_DUPLICATETOOLBARNAME,
    &dxSBAR_RECURSIVEGROUPS,
    &dxSBAR_DEFAULTCATEGORYNAME,
    &dxSBAR_ADDSUBITEM,
    &dxSBAR_ADDBUTTON,
    &dxSBAR_ADDITEM,
    &dxSBAR_DELETEBAR,
    &dxSBAR_POPUPRESET,
    &dxSBAR_POPUPDELETE,
    &dxSBAR_CONFIRMRESETTOOLBAR,
    &dxSBAR_CONFIRMRESETUSAGEDATA,
    &dxSBAR_ONEMANAGERPERFORM,
};

// The program's string table holds the texts from the start, as a resource
// compiler would have put them there.
struct TStringTableRegistration {
    TStringTableRegistration() {
        const win::HMODULE Program = win::GetModuleHandle(nullptr);
        for (const cls::TResStringRec* Rec : AllStrings)
            win::AddResource(Program, win::ResType::String, static_cast<std::uintptr_t>(Rec->Identifier),
                             nullptr, nullptr, Rec->Default);
    }
};
const TStringTableRegistration Registration;

} // namespace

std::span<const cls::TResStringRec* const> BarResourceStrings() {
    return AllStrings;
}

} // namespace bars
