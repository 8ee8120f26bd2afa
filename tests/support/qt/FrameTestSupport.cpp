#include "tests/support/qt/FrameTestSupport.h"

#include "tests/support/qt/QtTestSupport.h"

FrameEnvironment::FrameEnvironment() {
    TestApp();
    SetRegistry(&registry);
    SetPrinterSource(&printers);
    loop = new CMessageLoop;
}

FrameEnvironment::~FrameEnvironment() {
    StopAnsweringModals();
    delete loop;
    SetPrinterSource(nullptr);
    SetRegistry(nullptr);
}
