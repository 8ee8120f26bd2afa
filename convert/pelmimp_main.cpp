#include "convert/MainDialog.h"
#include "platform/qt/QtPrompt.h"

#include <QApplication>

// The conversion tool is its main dialog: it runs modally and its result is the exit code.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmimp"));
    QtPrompt::Install();
    CMainDialog dialog;
    return dialog.exec();
}
