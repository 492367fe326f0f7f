// The fixture most toolbar tests share: a fresh window system, a form and
// its bar manager with one bar.
#pragma once

#include "bars/bars.h"
#include "bars/manager.h"
#include "classes/forms.h"
#include "support/driver.h"

namespace bars::test {

class ManagerTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        Form = new cls::TForm(nullptr);
        Manager = new TdxBarManager(Form);
        Bar = Manager->Bars()->Add();
    }
    void TearDown() override {
        delete Form;
        cls::DoneApplication();
        WinTest::TearDown();
    }

    cls::TForm* Form = nullptr;
    TdxBarManager* Manager = nullptr;
    TdxBar* Bar = nullptr;
};

} // namespace bars::test
