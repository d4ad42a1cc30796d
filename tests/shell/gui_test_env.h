#pragma once
// What every window test shares: a temporary home (Documents folder, configuration,
// settings hive) set before any window exists, a recorder of the messages shown, and
// finding controls by their names.
#include <QAbstractItemView>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace tv::test {

class GuiTestEnv {
  public:
    GuiTestEnv() {
        QVERIFY(dir_.isValid());
        qputenv("HOME", dir_.path().toUtf8());
        qputenv("XDG_DOCUMENTS_DIR", Path("Documents").toUtf8());
        qputenv("XDG_CONFIG_HOME", Path(".config").toUtf8());
        UseHive("user.reg");
        previous_ = SetMessageBoxHandler([this](const std::string& text, int, const std::string&) {
            messages.push_back(text);
            return kAnswerOk;
        });
    }
    ~GuiTestEnv() { SetMessageBoxHandler(previous_); }
    GuiTestEnv(const GuiTestEnv&) = delete;
    GuiTestEnv& operator=(const GuiTestEnv&) = delete;

    QString Path(const QString& name) const { return dir_.path() + "/" + name; }
    // The hive the next window reads and writes (a name inside the home, or a path).
    void UseHive(const QString& name) {
        qputenv("TESSEL_REGISTRY_FILE", (name.startsWith('/') ? name : Path(name)).toUtf8());
    }

    std::vector<std::string> messages;  // texts shown, oldest first

  private:
    QTemporaryDir dir_;
    MessageBoxHandler previous_;
};

// The window's control of that name; a missing control ends the test run.
template <class T>
T* Control(const QObject& window, const QString& name) {
    T* control = window.findChild<T*>(name);
    if (control == nullptr) {
        qFatal("no control named %s", qPrintable(name));
    }
    return control;
}

// The texts (or another role) of one column of a listing view, top to bottom.
inline QStringList Column(const QAbstractItemView* view, int column, int role = Qt::DisplayRole) {
    QStringList texts;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, column).data(role).toString();
    }
    return texts;
}

}  // namespace tv::test
