#pragma once
// The "Tessel Rendering Options" dialog: rendering with navigation (Option1, stored as
// 1) or without (Option2, stored as 0). Whenever a button becomes selected, including
// the selection made for the stored value on opening, the value is saved at once; a
// stored value other than 0 and 1 selects neither. "&OK" saves 1 for Option1 and 0
// otherwise, then closes.
#include <QDialog>

#include "settings/settings_store.h"

class QRadioButton;

namespace tv {

class frmNavigationOptions : public QDialog {
    Q_OBJECT

  public:
    explicit frmNavigationOptions(SettingsTarget& target, QWidget* parent = nullptr);

    static void ShowModal(SettingsTarget& target, QWidget* parent = nullptr);

  private:
    void Ok();

    SettingsTarget& target_;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
};

}  // namespace tv
