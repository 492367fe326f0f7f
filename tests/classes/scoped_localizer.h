// A resource string localizer installed for the life of the object.
#pragma once

#include <utility>

#include "classes/resstrings.h"

namespace trestle_test {

class ScopedLocalizer {
public:
    explicit ScopedLocalizer(cls::TResStringLocalizer ALocalizer)
        : FPrevious(cls::SetResStringLocalizer(std::move(ALocalizer))) {}
    ~ScopedLocalizer() { cls::SetResStringLocalizer(FPrevious); }
    ScopedLocalizer(const ScopedLocalizer&) = delete;
    ScopedLocalizer& operator=(const ScopedLocalizer&) = delete;

private:
    cls::TResStringLocalizer FPrevious;
};

} // namespace trestle_test
