// The texts of the toolbar library: captions, hints, menu entries,
// confirmations and error messages. Read each one at the moment of use with
// lf::cxGetResourceString, so that a localizer can replace it. A text with
// "%s" is a Format pattern taking one string (a toolbar or category caption).
//
// At start the texts are put into the program's string table under their
// identifiers (65168-65247 but 65183, and 65261-65263).
#pragma once

#include "classes/resstrings.h"

#include <span>

namespace bars {

extern const cls::TResStringRec dxSBAR_MODIFY;
extern const cls::TResStringRec dxSBAR_PERSONALIZEDHEADING;
extern const cls::TResStringRec dxSBAR_RECENTITEMSFIRST;
extern const cls::TResStringRec dxSBAR_FULLMENUSAFTERDELAY;
extern const cls::TResStringRec dxSBAR_RESETUSAGEDATA;
extern const cls::TResStringRec dxSBAR_OTHERHEADING;
extern const cls::TResStringRec dxSBAR_LARGEICONS;
extern const cls::TResStringRec dxSBAR_SHOWTOOLTIPS;
extern const cls::TResStringRec dxSBAR_SHOWSHORTCUTSINTIPS;
extern const cls::TResStringRec dxSBAR_MENUANIMATIONS;
extern const cls::TResStringRec dxSBAR_ANIMATIONNONE;
extern const cls::TResStringRec dxSBAR_ANIMATIONRANDOM;
extern const cls::TResStringRec dxSBAR_ANIMATIONUNFOLD;
extern const cls::TResStringRec dxSBAR_ANIMATIONSLIDE;
extern const cls::TResStringRec dxSBAR_ANIMATIONFADE;
extern const cls::TResStringRec dxSBAR_COMMANDSLABEL;
extern const cls::TResStringRec dxSBAR_DESCRIPTIONHEADING;
extern const cls::TResStringRec dxSBAR_CUSTOMIZEITEM;
extern const cls::TResStringRec dxSBAR_ADDREMOVEBUTTONS;
extern const cls::TResStringRec dxSBAR_MOREBUTTONS;
extern const cls::TResStringRec dxSBAR_RESETTOOLBAR;
extern const cls::TResStringRec dxSBAR_EXPANDHINT;
extern const cls::TResStringRec dxSBAR_DRAGTOFLOATHINT;
extern const cls::TResStringRec dxSBAR_NEWTOOLBARNAME;
extern const cls::TResStringRec dxSBAR_ADDCATEGORY;
extern const cls::TResStringRec dxSBAR_INSERTCATEGORY;
extern const cls::TResStringRec dxSBAR_RENAMECATEGORY;
extern const cls::TResStringRec dxSBAR_ADDTOOLBAR;
extern const cls::TResStringRec dxSBAR_RENAMETOOLBAR;
extern const cls::TResStringRec dxSBAR_CATEGORYNAMELABEL;
extern const cls::TResStringRec dxSBAR_TOOLBARNAMELABEL;
extern const cls::TResStringRec dxSBAR_SUBMENUEDITOR;
extern const cls::TResStringRec dxSBAR_SUBMENUEDITORCAPTION;
extern const cls::TResStringRec dxSBAR_INSERT;
extern const cls::TResStringRec dxSBAR_MOVEUP;
extern const cls::TResStringRec dxSBAR_MOVEDOWN;
extern const cls::TResStringRec dxSBAR_TOOLBARSPAGE;
extern const cls::TResStringRec dxSBAR_COMMANDSPAGE;
extern const cls::TResStringRec dxSBAR_OPTIONSPAGE;
extern const cls::TResStringRec dxSBAR_TOOLBARSLABEL;
extern const cls::TResStringRec dxSBAR_TOOLBARNEW;
extern const cls::TResStringRec dxSBAR_TOOLBARRENAME;
extern const cls::TResStringRec dxSBAR_TOOLBARDELETE;
extern const cls::TResStringRec dxSBAR_TOOLBARRESET;
extern const cls::TResStringRec dxSBAR_CLOSE;
extern const cls::TResStringRec dxSBAR_CUSTOMIZECAPTION;
extern const cls::TResStringRec dxSBAR_CATEGORIESLABEL;
extern const cls::TResStringRec dxSBAR_POPUPNAME;
extern const cls::TResStringRec dxSBAR_POPUPCAPTION;
extern const cls::TResStringRec dxSBAR_POPUPDEFAULTSTYLE;
extern const cls::TResStringRec dxSBAR_POPUPTEXTONLYALWAYS;
extern const cls::TResStringRec dxSBAR_POPUPTEXTONLYINMENUS;
extern const cls::TResStringRec dxSBAR_POPUPIMAGEANDTEXT;
extern const cls::TResStringRec dxSBAR_POPUPBEGINGROUP;
extern const cls::TResStringRec dxSBAR_POPUPVISIBLE;
extern const cls::TResStringRec dxSBAR_POPUPMOSTRECENTLYUSED;
extern const cls::TResStringRec dxSBAR_CATEGORYADD;
extern const cls::TResStringRec dxSBAR_CATEGORYRENAME;
extern const cls::TResStringRec dxSBAR_CATEGORYDELETE;
extern const cls::TResStringRec dxSBAR_CATEGORYCLEAR;
extern const cls::TResStringRec dxSBAR_CATEGORYVISIBLE;
extern const cls::TResStringRec dxSBAR_OK;
extern const cls::TResStringRec dxSBAR_CANCEL;
extern const cls::TResStringRec dxSBAR_WRONGOWNER;
extern const cls::TResStringRec dxSBAR_NOBARMANAGERS;
extern const cls::TResStringRec dxSBAR_CONFIRMDELETETOOLBAR;
extern const cls::TResStringRec dxSBAR_CONFIRMDELETECATEGORY;
extern const cls::TResStringRec dxSBAR_CONFIRMCLEARCATEGORY;
extern const cls::TResStringRec dxSBAR_RECURSIVESUBITEMS;
extern const cls::TResStringRec dxSBAR_BLANKCOMMANDNAME;
extern const cls::TResStringRec dxSBAR_DUPLICATETOOLBARNAME;
extern const cls::TResStringRec dxSBAR_RECURSIVEGROUPS;
extern const cls::TResStringRec dxSBAR_DEFAULTCATEGORYNAME;
extern const cls::TResStringRec dxSBAR_ADDSUBITEM;
extern const cls::TResStringRec dxSBAR_ADDBUTTON;
extern const cls::TResStringRec dxSBAR_ADDITEM;
extern const cls::TResStringRec dxSBAR_DELETEBAR;
extern const cls::TResStringRec dxSBAR_POPUPRESET;
extern const cls::TResStringRec dxSBAR_POPUPDELETE;
extern const cls::TResStringRec dxSBAR_CONFIRMRESETTOOLBAR;
extern const cls::TResStringRec dxSBAR_CONFIRMRESETUSAGEDATA;
extern const cls::TResStringRec dxSBAR_ONEMANAGERPERFORM;

// Every text above, in that order.
std::span<const cls::TResStringRec* const> BarResourceStrings();

} // namespace bars
