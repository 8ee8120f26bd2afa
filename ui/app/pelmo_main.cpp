#include "ui/app/PelmoApp.h"

int main(int argc, char** argv) {
    return WinMain(argc, argv);
}
