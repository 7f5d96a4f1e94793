#include "platform/qt/QtMessageDialog.h"

#include <QMessageBox>

namespace quorvel {

void QtMessageDialog::inform(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace quorvel
