#include "tests/support/qt/QtTestSupport.h"

#include "platform/qt/ChromeColors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>

namespace {

struct ModalAnswerer {
    std::deque<std::function<void(QWidget*)>> answers;
    QPointer<QWidget> lastAnswered;
    QStringList ignored;
    QTimer* timer = nullptr;
};

ModalAnswerer& Answerer() {
    static ModalAnswerer answerer;
    return answerer;
}

void Poll() {
    ModalAnswerer& answerer = Answerer();
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || answerer.answers.empty() || modal == answerer.lastAnswered || !modal->isVisible() ||
        answerer.ignored.contains(modal->objectName()))
        return;
    auto answer = std::move(answerer.answers.front());
    answerer.answers.pop_front();
    answerer.lastAnswered = modal;
    // Answer from a timer of its own: the answer may open a nested modal that this poll must see.
    QPointer<QWidget> target = modal;
    QTimer::singleShot(0, [answer = std::move(answer), target] {
        if (target)
            answer(target);
    });
}

void StartPolling() {
    ModalAnswerer& answerer = Answerer();
    if (!answerer.timer) {
        answerer.timer = new QTimer(&TestApp());
        answerer.timer->setInterval(20);
        QObject::connect(answerer.timer, &QTimer::timeout, Poll);
    }
    answerer.lastAnswered = nullptr;
    answerer.timer->start();
}

} // namespace

QApplication& TestApp() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    static int argc = 1;
    static char name[] = "pelmora-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void AnswerNextModal(std::function<void(QWidget*)> answer) {
    TestApp();
    Answerer().answers.push_back(std::move(answer));
    StartPolling();
}

void AnswerModals(std::vector<std::function<void(QWidget*)>> answers) {
    for (auto& answer : answers)
        AnswerNextModal(std::move(answer));
}

void IgnoreModalsNamed(const QString& objectName) {
    if (!Answerer().ignored.contains(objectName))
        Answerer().ignored << objectName;
}

void StopAnsweringModals() {
    Answerer().answers.clear();
    if (Answerer().timer)
        Answerer().timer->stop();
}

bool ClickButton(QWidget* dialog, const QString& text) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text && button->isVisible()) {
            button->click();
            return true;
        }
    }
    return false;
}

QString SaveScreenshotTo(QWidget* widget, const QString& dir, const QString& name) {
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget->grab().save(path) ? path : QString();
}

QPalette DarkTestPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255));
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    palette.setColor(QPalette::Text, QColor(255, 255, 255));
    palette.setColor(QPalette::Button, QColor(53, 53, 53));
    palette.setColor(QPalette::ButtonText, QColor(255, 255, 255));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(QPalette::Dark, QColor(35, 35, 35));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
    return palette;
}

double StrongestContrast(const QImage& image, const QRect& area, QRgb fill) {
    double best = 1.0;
    const qreal ratio = image.devicePixelRatio();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPoint at = (QPointF(x, y) * ratio).toPoint();
            if (image.rect().contains(at))
                best = std::max(best, ContrastRatio(image.pixel(at), fill));
        }
    return best;
}
