#include "tests/support/qt/FrameTestSupport.h"

#include "tests/support/qt/QtTestSupport.h"

FrameEnvironment::FrameEnvironment() {
    TestApp();
    // The splash closes by itself; answers are for the dialogs after it.
    IgnoreModalsNamed(QStringLiteral("splash"));
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
