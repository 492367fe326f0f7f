// The message box as a dialog of the class library: a modal form with the
// box's icon, its text wrapped to the screen and the buttons of its type.
// The application installs it as the window system's message box while it
// exists; a message-box handler of a test or a scripted session still goes
// first.
#pragma once

#include "classes/resstrings.h"
#include "win/user.h"

#include <string>

namespace cls {

inline constexpr TResStringRec SMsgDlgOK{1330, "OK"};
inline constexpr TResStringRec SMsgDlgCancel{1331, "Cancel"};
inline constexpr TResStringRec SMsgDlgAbort{1332, "&Abort"};
inline constexpr TResStringRec SMsgDlgRetry{1333, "&Retry"};
inline constexpr TResStringRec SMsgDlgIgnore{1334, "&Ignore"};
inline constexpr TResStringRec SMsgDlgYes{1335, "&Yes"};
inline constexpr TResStringRec SMsgDlgNo{1336, "&No"};

// Shows the dialog modally and answers the pressed button's ID (IDOK, IDNO,
// ...). Esc and the close box answer IDCANCEL when the box has a Cancel
// button, IDOK for a box with OK alone, and nothing otherwise.
int MessageBoxDialog(win::HWND Owner, const std::string& Text, const std::string& Caption, win::UINT Type);

} // namespace cls
