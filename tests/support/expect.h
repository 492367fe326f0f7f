// Expects an action to raise a class-library exception of a given class and
// message.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace testdrv {

template <class TError> void ExpectError(const std::function<void()>& Action, const std::string& Message) {
    try {
        Action();
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const TError& E) {
        EXPECT_EQ(E.Message(), Message);
    }
}

} // namespace testdrv
