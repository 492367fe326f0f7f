#include "classes/resstrings.h"

#include <mutex>
#include <utility>

namespace cls {

namespace {

std::mutex& LocalizerLock() {
    static std::mutex Lock;
    return Lock;
}

TResStringLocalizer& Localizer() {
    static TResStringLocalizer Instance;
    return Instance;
}

} // namespace

TResStringLocalizer SetResStringLocalizer(TResStringLocalizer ALocalizer) {
    std::lock_guard Guard(LocalizerLock());
    return std::exchange(Localizer(), std::move(ALocalizer));
}

std::string LoadResString(const TResStringRec& ARec) {
    TResStringLocalizer Current;
    {
        std::lock_guard Guard(LocalizerLock());
        Current = Localizer();
    }
    // Called outside the lock so that a localizer may itself load strings.
    if (Current) {
        if (std::optional<std::string> Text = Current(ARec)) return std::move(*Text);
    }
    return ARec.Default ? ARec.Default : "";
}

} // namespace cls
