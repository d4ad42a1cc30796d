#include "settings/ui/frmNavigationOptions.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/settings_table.h"

namespace tv {

frmNavigationOptions::frmNavigationOptions(SettingsTarget& target, QWidget* parent)
    : QDialog(parent), target_(target) {
    setObjectName("frmNavigationOptions");
    setWindowTitle("Tessel Rendering Options");
    setModal(true);

    auto* group = new QGroupBox("Tessel Rendering Navigation Options");
    group->setObjectName("groupGrant");
    option1_ = new QRadioButton("Render Tessel in IE with Navigation");
    option1_->setObjectName("Option1");
    option2_ = new QRadioButton("Render Tessel in IE without Navigation");
    option2_->setObjectName("Option2");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(option1_);
    groupLayout->addWidget(option2_);

    auto* ok = new QPushButton("&OK");
    ok->setObjectName("Command1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmNavigationOptions::Ok);

    // Connected before the stored value is shown, so that opening with 0 or 1 saves.
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            target_.Set(SettingId::NavigationOption, std::int16_t{1});
        }
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            target_.Set(SettingId::NavigationOption, std::int16_t{0});
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    const std::int16_t stored = NumberOf(target.Get(SettingId::NavigationOption));
    if (stored == 1) {
        option1_->setChecked(true);
    } else if (stored == 0) {
        option2_->setChecked(true);
    }
}

void frmNavigationOptions::ShowModal(SettingsTarget& target, QWidget* parent) {
    frmNavigationOptions dialog(target, parent);
    dialog.exec();
}

void frmNavigationOptions::Ok() {
    // The value is in force for this run even when it could not be saved, and the
    // user has been told; nothing is gained by keeping the dialog open.
    target_.Set(SettingId::NavigationOption,
                static_cast<std::int16_t>(option1_->isChecked() ? 1 : 0));
    accept();
}

}  // namespace tv
