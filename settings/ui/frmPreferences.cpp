#include "settings/ui/frmPreferences.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/environment.h"
#include "settings/settings_table.h"

namespace tv {

namespace {

struct Row {
    const char* label;
    const char* box;
    SettingId id;
};
constexpr Row kRows[] = {
    {"Internet Explorer Path:", "Text1", SettingId::IE11Path},
    {"Chrome Browser Path:", "Text2", SettingId::ChromePath},
    {"Espacenet URL", "Text4", SettingId::EspacenetUrl},
    {"Grantex", "Text5", SettingId::GrantexUrl},
    {"Pubex", "Text6", SettingId::PubexUrl},
    {"Google Patents", "Text7", SettingId::GooglePatentsUrl},
};

}  // namespace

SettingsMembers PreferencesDefaults(const std::string& appPath) {
    SettingsMembers m = SuggestedSettings();
    if (!appPath.empty()) {
        m.Store(SettingId::IE11Path,
                WithTrailingSeparator(appPath) + "tessel-open" + kExecutableSuffix);
    }
    return m;
}

frmPreferences::frmPreferences(SettingsTarget& target, QWidget* parent)
    : QDialog(parent), target_(target) {
    setObjectName("frmPreferences");
    setWindowTitle("Preferences");
    setModal(true);

    auto* grid = new QGridLayout;
    int gridRow = 0;
    for (std::size_t i = 0; i < boxes_.size(); ++i, ++gridRow) {
        if (i == 2) {
            grid->setRowMinimumHeight(gridRow++, 12);  // the empty row before Espacenet
        }
        auto* label = new QLabel(kRows[i].label);
        auto* box = new QLineEdit(QString::fromStdString(TextOf(target.Get(kRows[i].id))));
        box->setObjectName(kRows[i].box);
        box->setMinimumWidth(420);
        label->setBuddy(box);
        grid->addWidget(label, gridRow, 0);
        grid->addWidget(box, gridRow, 1);
        boxes_[i] = box;
    }

    auto* defaults = new QPushButton("Default");
    defaults->setObjectName("Command2");
    auto* save = new QPushButton("Save");
    save->setObjectName("Command3");
    auto* exit = new QPushButton("Exit");
    exit->setObjectName("Command1");
    // Return in a box must not close the dialog behind the user's back.
    for (QPushButton* b : {defaults, save, exit}) {
        b->setAutoDefault(false);
    }
    connect(defaults, &QPushButton::clicked, this, &frmPreferences::Default);
    connect(save, &QPushButton::clicked, this, &frmPreferences::Save);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(defaults);
    buttons->addWidget(save);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void frmPreferences::ShowModal(SettingsTarget& target, QWidget* parent) {
    frmPreferences dialog(target, parent);
    dialog.exec();
}

void frmPreferences::Default() {
    const SettingsMembers defaults = PreferencesDefaults(target_.GetAppPath());
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        values_[i] = TextOf(defaults.Value(kRows[i].id));
        boxes_[i]->setText(QString::fromStdString(values_[i]));
    }
}

void frmPreferences::Save() {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        values_[i] = boxes_[i]->text().toStdString();
    }
    for (std::size_t i = 0; i < values_.size(); ++i) {
        // Every Set saves everything: after one failure the next five would fail the
        // same way and repeat the same message, so stop; the texts stay in the boxes
        // for another try.
        if (!target_.Set(kRows[i].id, values_[i])) {
            return;
        }
    }
}

}  // namespace tv
