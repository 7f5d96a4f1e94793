#include "platform/qt/QtMessageDialog.h"

#include <QMessageBox>

#include "platform/qt/MapRequest.h"

namespace quorvel {

void QtMessageDialog::inform(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok);
    box.show();
    MapRetry mapRetry(box);
    mapRetry.start();
    box.exec();
}

}  // namespace quorvel
