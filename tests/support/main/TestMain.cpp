// The main of every test program: fixes the environment the tests are written for (Berlin time, so
// daylight saving is exercised; Qt without a display) unless the caller chose otherwise, then runs
// GoogleTest.
#include <gmock/gmock.h>

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Berlin", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tzset();
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
