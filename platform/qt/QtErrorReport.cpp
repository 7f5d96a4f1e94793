#include "platform/qt/QtErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/MapRequest.h"

namespace quorvel {

void QtErrorReport::show(const std::string& title, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    if (QApplication::instance() != nullptr) {
        QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(message),
                        QMessageBox::Ok);
        box.show();
        MapRetry mapRetry(box);
        mapRetry.start();
        box.exec();
    }
    // The failing handler is still on the stack: leave without unwinding through the event loop.
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace quorvel
