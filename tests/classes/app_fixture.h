// The fixture of the tests that run controls and forms: a fresh window
// system and a fresh application object before and after each test.
#pragma once

#include "classes/controls.h"
#include "classes/forms.h"
#include "support/driver.h"

namespace cls::test {

class AppTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        DoneApplication();
    }
    void TearDown() override {
        DoneApplication();
        WinTest::TearDown();
    }
};

// A plain control the size of a button.
class TButtonLike : public TCustomControl {
    TRESTLE_CLASS(TButtonLike, TCustomControl)
public:
    explicit TButtonLike(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(10, 10, 60, 20); }
};

} // namespace cls::test
