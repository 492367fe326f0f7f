// Saving and restoring a manager's bar layout: the customizing options, every
// bar's docking, position, size and visibility, and the link lists of the
// bars and of the named sub items with the links' user settings and
// recent-use data. Two media: the registry store (below a key path, with the
// user glyphs) and INI files (sections named after the owner form and the
// manager, so several managers share one file; no user glyphs).
//
// Reading is lenient: a value that is missing, of the wrong type or out of
// range leaves the current value; links of unknown items, dock-site names
// that name no dock site of the manager and links that would make a sub item
// contain itself are dropped. Everything left out is listed in the result.
// Saving writes the file once and atomically; a failed save leaves the
// stored layout as it was.
#pragma once

#include <string>
#include <vector>

#include "bars/types.h"

namespace bars {

enum TdxBarLayoutProblemKind {
    // The store or file could not be read (nothing was applied), or could not
    // be written (the previous layout stays).
    lpkReadFailed,
    lpkWriteFailed,
    // A value the layout always holds is missing: the current value stays.
    lpkMissingValue,
    // A value of the wrong type or out of range: the current value stays.
    lpkBadValue,
    // A link names no item of the manager: the link is left out.
    lpkUnknownItem,
    // A dock-site name that names no dock site of the manager: no dock site.
    lpkUnknownDockControl,
    // A sub item link that would make the sub item contain itself: left out.
    lpkRecursiveLink,
    // More bars than a layout may bring: the rest are left out.
    lpkTooManyBars,
    // Applying a bar failed; the other bars are read on.
    lpkBarFailed,
};

struct TdxBarLayoutProblem {
    TdxBarLayoutProblemKind Kind = lpkReadFailed;
    // The registry key path or the INI section (the file for the whole file).
    std::string Place;
    // The value name; empty for a key, a section or the whole file.
    std::string Value;
    // The stored text in question (a name, a number), or the system's reason.
    std::string Detail;
};

struct TdxBarLayoutResult {
    std::vector<TdxBarLayoutProblem> Problems;
    // Nothing left out or failed.
    bool Ok() const { return Problems.empty(); }
    // The store could not be read or written at all.
    bool Failed() const;
};

// Nothing happens for an empty path. The path gets a leading "\" when it has
// none and loses one trailing "\". Saving deletes only the keys a layout
// writes under the path ("Bar" + digits and "SubItem_" + name, with their
// "ItemLink" keys); other keys and values there stay.
TdxBarLayoutResult LoadLayoutFromRegistry(TdxBarManager* ABarManager, const std::string& APath);
TdxBarLayoutResult SaveLayoutToRegistry(TdxBarManager* ABarManager, const std::string& APath);

// With the manager's LayoutStream set, the stream stands in for the file
// (read from its start; replaced by the new text on saving). Otherwise
// nothing happens for an empty file name. Saving replaces only the sections
// of this manager.
TdxBarLayoutResult LoadLayoutFromIniFile(TdxBarManager* ABarManager, const std::string& AFileName);
TdxBarLayoutResult SaveLayoutToIniFile(TdxBarManager* ABarManager, const std::string& AFileName);

} // namespace bars
