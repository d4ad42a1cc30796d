#pragma once
// The about box: the program's name and version, its icon, a short notice and what the
// viewer does and which libraries it uses. Modal; "OK" closes it.
#include <QDialog>

namespace tv {

class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Shows the box modally and returns when it is closed.
    static void ShowModal(QWidget* parent = nullptr);
};

}  // namespace tv
