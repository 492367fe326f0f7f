// Resource strings: user-facing texts read at the moment of use, so that an
// installed localizer can replace them. A record pairs an identifier with the
// default (English) text; LoadResString asks the localizer first.
//
// Identifiers: the class library uses 1000-1999; other layers pick their own
// ranges (the toolbar library keeps the original's numbers where it has them).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace cls {

struct TResStringRec {
    int Identifier;
    const char* Default;
};

// Returns the translated text, or nothing to keep the default.
using TResStringLocalizer = std::function<std::optional<std::string>(const TResStringRec&)>;

// Installs a localizer for the whole process and returns the previous one;
// an empty function restores the defaults. Safe to call from any thread.
TResStringLocalizer SetResStringLocalizer(TResStringLocalizer ALocalizer);

std::string LoadResString(const TResStringRec& ARec);

// --- Texts of the class library ---

inline constexpr TResStringRec SListIndexError{1001, "List index out of bounds (%d)"};
inline constexpr TResStringRec SListCapacityError{1002, "List capacity out of bounds (%d)"};
inline constexpr TResStringRec SListCountError{1003, "List count out of bounds (%d)"};
inline constexpr TResStringRec SDuplicateString{1004, "String list does not allow duplicates"};
inline constexpr TResStringRec SSortedListError{1005, "Operation not allowed on sorted list"};
inline constexpr TResStringRec SInvalidName{1006, "Component name \"%s\" is not a valid identifier"};
inline constexpr TResStringRec SDuplicateName{1007, "A component named %s already exists"};
inline constexpr TResStringRec SDuplicateClass{1008, "A class named %s already exists"};
inline constexpr TResStringRec SClassNotFound{1009, "Class %s not found"};
inline constexpr TResStringRec SAssignError{1010, "Cannot assign a %s to a %s"};
inline constexpr TResStringRec SReadError{1011, "Stream read error"};
inline constexpr TResStringRec SWriteError{1012, "Stream write error"};
inline constexpr TResStringRec SFOpenErrorEx{1013, "Cannot open file \"%s\". %s"};
inline constexpr TResStringRec SFCreateErrorEx{1014, "Cannot create file \"%s\". %s"};
inline constexpr TResStringRec SInvalidInteger{1015, "'%s' is not a valid integer value"};
inline constexpr TResStringRec SInvalidFloat{1016, "'%s' is not a valid floating point value"};
inline constexpr TResStringRec SInvalidFormat{1017, "Format '%s' invalid or incompatible with argument"};
inline constexpr TResStringRec SArgumentMissing{1018, "No argument for format '%s'"};
inline constexpr TResStringRec SOperationAborted{1019, "Operation aborted"};
inline constexpr TResStringRec SInvalidProperty{1020, "Invalid property value"};
inline constexpr TResStringRec SCannotCreateClass{1021, "Cannot create an instance of class %s"};
inline constexpr TResStringRec SOwnershipCycle{1022, "A component cannot own itself or one of its owners"};
inline constexpr TResStringRec SStreamSizeError{1023, "Cannot change the size of the stream: %s"};
inline constexpr TResStringRec SUnknownProperty{1024, "Property %s does not exist"};
inline constexpr TResStringRec SMethodNotFound{1025, "Method %s not found"};
inline constexpr TResStringRec SAncestorNotFound{1026, "Ancestor for '%s' not found"};
inline constexpr TResStringRec SInvalidPropertyValue{1027, "Invalid value for property %s"};

inline constexpr TResStringRec SRegCreateFailed{1030, "Failed to create key %s"};
inline constexpr TResStringRec SRegSetDataFailed{1031, "Failed to set data for '%s'"};
inline constexpr TResStringRec SRegGetDataFailed{1032, "Failed to get data for '%s'"};
inline constexpr TResStringRec SInvalidRegType{1033, "Invalid data type for '%s'"};
inline constexpr TResStringRec SRegStoreCorrupt{1034, "The registry store \"%s\" is damaged (line %d: %s)"};
inline constexpr TResStringRec SRegStoreWriteError{1035, "Unable to write the registry store \"%s\". %s"};
inline constexpr TResStringRec SIniFileWriteError{1036, "Unable to write to %s"};

// Key captions of shortcut texts.
inline constexpr TResStringRec SmkcBkSp{1050, "BkSp"};
inline constexpr TResStringRec SmkcTab{1051, "Tab"};
inline constexpr TResStringRec SmkcEsc{1052, "Esc"};
inline constexpr TResStringRec SmkcEnter{1053, "Enter"};
inline constexpr TResStringRec SmkcSpace{1054, "Space"};
inline constexpr TResStringRec SmkcPgUp{1055, "PgUp"};
inline constexpr TResStringRec SmkcPgDn{1056, "PgDn"};
inline constexpr TResStringRec SmkcEnd{1057, "End"};
inline constexpr TResStringRec SmkcHome{1058, "Home"};
inline constexpr TResStringRec SmkcLeft{1059, "Left"};
inline constexpr TResStringRec SmkcUp{1060, "Up"};
inline constexpr TResStringRec SmkcRight{1061, "Right"};
inline constexpr TResStringRec SmkcDown{1062, "Down"};
inline constexpr TResStringRec SmkcIns{1063, "Ins"};
inline constexpr TResStringRec SmkcDel{1064, "Del"};
inline constexpr TResStringRec SmkcShift{1065, "Shift+"};
inline constexpr TResStringRec SmkcCtrl{1066, "Ctrl+"};
inline constexpr TResStringRec SmkcAlt{1067, "Alt+"};

} // namespace cls
