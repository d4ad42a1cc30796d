#pragma once
// The "Preferences" dialog: the two browser programs and the four service addresses.
// It shows the target's values when it opens; "Default" fills the boxes with this
// platform's suggestions without saving; "Save" hands the six texts, as typed, to the
// target's Set in row order; "Exit" (or the close box) drops unsaved changes.
#include <QDialog>
#include <array>
#include <string>

#include "settings/settings_store.h"

class QLineEdit;

namespace tv {

// The values "Default" offers: the store's suggestions, with the document opener of
// the application folder for the Internet Explorer role when that folder is known.
SettingsMembers PreferencesDefaults(const std::string& appPath);

class frmPreferences : public QDialog {
    Q_OBJECT

  public:
    explicit frmPreferences(SettingsTarget& target, QWidget* parent = nullptr);

    // Shows the dialog modally and returns when it is closed.
    static void ShowModal(SettingsTarget& target, QWidget* parent = nullptr);

  private:
    void Default();
    void Save();

    SettingsTarget& target_;
    // Text1, Text2, Text4 .. Text7 in row order.
    std::array<QLineEdit*, 6> boxes_{};
    // Working copies, filled by Save or Default.
    std::array<std::string, 6> values_;
};

}  // namespace tv
