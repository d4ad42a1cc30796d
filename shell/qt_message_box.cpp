#include "shell/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/message_box.h"
#include "platform/strings.h"

namespace tv {
namespace {

int ShowQtMessageBox(const std::string& text, int style, const std::string& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(ReplaceAll(text, "\r\n", "\n")));
    switch (style & 0x70) {
        case kCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case kQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case kExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case kInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    switch (style & 0x0F) {
        case kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return kAnswerCancel;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerOk;
    }
}

}  // namespace

void InstallQtMessageBox() {
    SetMessageBoxHandler(ShowQtMessageBox);
}

}  // namespace tv
