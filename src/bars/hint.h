// The tool tip of bar items: a small topmost popup with the hint text that
// the manager shows below the cursor and hides again (its timing lives with
// the manager list). The mouse passes through it and it never activates.
#pragma once

#include <string>

#include "bars/types.h"
#include "classes/controls.h"

namespace bars {

class TdxBarHintWindow : public cls::TCustomControl {
    TRESTLE_CLASS(TdxBarHintWindow, cls::TCustomControl)
public:
    explicit TdxBarHintWindow(cls::TComponent* AOwner);

    // Shows AText at APoint (its top-left corner), in the manager's font or
    // the status-bar font, kept inside the work area at APoint: moved left to
    // end at the right edge, placed above the point when it passes the bottom.
    void ActivateHint(cls::TPoint APoint, const std::string& AText, TdxBarManager* ABarManager);
    // The window exists and shows.
    bool IsShowing() const;

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(cls::TMessage& Message) override;

private:
    void ApplyFont(TdxBarManager* ABarManager);
};

} // namespace bars
