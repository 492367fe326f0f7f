// What the control and windowed-control units share.
#pragma once

namespace cls {
class TControl;
} // namespace cls

namespace cls::detail {

// The graphic control that holds the mouse capture through its parent's
// window (SetCaptureControl), or nullptr.
TControl* CaptureControl();

} // namespace cls::detail
