// The menu and toolbar commands through the real window under the offscreen platform:
// the menu table, the shortcuts, the open dialog, recent slots, the settings dialogs,
// help and about. Modal dialogs are driven from a timer once they are on screen.
#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

#include "settings/ui/frmNavigationOptions.h"
#include "settings/ui/frmPreferences.h"
#include "shell/frmAbout.h"
#include "shell/frmUnzip.h"
#include "tests/archive/unzip/zip_fixtures.h"
#include "tests/shell/gui_test_env.h"

using tv::frmUnzip;
using tv::test::Control;

namespace {

// Runs act on the application's modal dialog of type T once it shows, then closes it.
template <class T>
void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
            dialog->close();
        }
    });
    timer->start();
}

void Click(QWidget& dialog, const char* name) {
    Control<QAbstractButton>(dialog, name)->click();
}

QString Text(QWidget& dialog, const char* name) {
    return Control<QLineEdit>(dialog, name)->text();
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

  private:
    tv::test::GuiTestEnv env_;

    QString Package(const QString& name) {
        tv::test::WriteZip(env_.Path(name).toStdString(), {{"doc.xml", "<doc/>"}});
        return env_.Path(name);
    }
    // A hive with the application folder (the home's "app/") and the given values.
    void UseHive(const QString& name, const QByteArray& values = {}) {
        env_.UseHive(name);
        QFile hive(env_.Path(name));
        QVERIFY(hive.open(QIODevice::WriteOnly));
        hive.write(
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
            "\"AppPath\"=\"" +
            env_.Path("app/").toUtf8() + "\"\n" + values);
    }
    static QAction* Item(const frmUnzip& w, const char* name) { return Control<QAction>(w, name); }
    static void Activate(frmUnzip& w) {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

  private slots:
    void init() { env_.messages.clear(); }

    void menuTableAndShortcuts() {
        UseHive("menus.reg");
        QVERIFY(QDir().mkpath(env_.Path("app/help")));
        QFile page(env_.Path("app/help/tessel_viewer_help.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<p>Opening packages</p>");
        page.close();
        auto window = std::make_unique<frmUnzip>();
        frmUnzip& w = *window;
        w.Load();
        const struct {
            const char* name;
            const char* caption;
            QKeySequence key;
            bool enabled;
        } items[] = {
            {"mnuFile0", "&Open...", QKeySequence("Ctrl+O"), true},
            {"mnuFile1", "&Render", QKeySequence("Ctrl+R"), false},
            {"mnuFile2", "&View Raw XML Source...", QKeySequence("F5"), false},
            {"mnuFile3", "Search &Grantex", QKeySequence("F7"), true},
            {"mnuFile4", "Search &Pubex", QKeySequence("F8"), true},
            {"mnuFile19", "E&xit", {}, true},
            {"Preferences", "&Preferences", {}, true},
            {"Navigation", "Render XML with &Navigation", {}, true},
            {"CopyFile", "XML &Inline Rendering", {}, true},
            {"unreferenceDTD", "&Remove Sable DTD reference", {}, true},
            {"menuhelpcontents", "&Table of Contents", QKeySequence("F1"), true},
            {"mnuHelp0", "&About...", {}, true},
            {"Toolbar1_Open", "Open", {}, true},
            {"Toolbar1_Render", "Render", {}, false},
        };
        for (const auto& item : items) {
            const QAction* action = Item(w, item.name);
            QCOMPARE(action->text(), QString(item.caption));
            QCOMPARE(action->shortcut(), item.key);
            QCOMPARE(action->isEnabled(), item.enabled);
        }

        // Disabled render commands ignore their keys; a listed package enables them.
        Activate(w);
        QSignalSpy render(Item(w, "mnuFile1"), &QAction::triggered);
        QSignalSpy raw(Item(w, "mnuFile2"), &QAction::triggered);
        QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(render.count() + raw.count(), 0);
        w.OpenPackage(Package("keys.zip").toStdString());
        for (const char* name : {"mnuFile1", "mnuFile2", "Toolbar1_Render"}) {
            QVERIFY2(Item(w, name)->isEnabled(), name);
        }

        // Ctrl+O shows the open dialog; cancelling it opens nothing.
        bool shown = false;
        WhenModal<QFileDialog>([&shown](QFileDialog* d) {
            shown = true;
            d->reject();
        });
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(shown);
        QCOMPARE(Control<QTreeView>(w, "lvwZip")->model()->rowCount(), 1);

        // F1 shows the help window, which goes with the main window.
        Activate(w);
        QTest::keyClick(&w, Qt::Key_F1);
        QPointer<QWidget> help;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "HelpWindow" && top->isVisible()) {
                help = top;
            }
        }
        QVERIFY(help);
        QCOMPARE(Control<QTextBrowser>(*help, "txtHelp")->toPlainText(),
                 QString("Opening packages"));
        QVERIFY(!help->testAttribute(Qt::WA_QuitOnClose));

        WhenModal<tv::frmAbout>([](tv::frmAbout* d) { Click(*d, "cmdOK"); });
        Item(w, "mnuHelp0")->trigger();
        Item(w, "mnuFile19")->trigger();
        QVERIFY(!w.isVisible());
        window.reset();
        QVERIFY(help.isNull());
    }

    void openDialogOpensChosenFilesInOrder() {
        QVERIFY(QDir().mkpath(env_.Path("chosen")));
        const QString first = Package("chosen/first.zip");
        const QString noExtension = Package("chosen/pkg");
        QFile(env_.Path("chosen/table.xml")).open(QIODevice::WriteOnly);
        frmUnzip w;
        w.Load();
        w.show();
        w.OpenPackage(Package("chosen/earlier.zip").toStdString());
        WhenModal<QFileDialog>([&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Choose Patent Zipped or XML FIles"));
            QCOMPARE(d->directory().absolutePath(), env_.Path("chosen"));
            QVERIFY(d->selectedNameFilter().startsWith("Zipped Patent Files (*.zip)"));
            QCOMPARE(d->fileMode(), QFileDialog::ExistingFiles);
            // Typed names count only when the view shows them: "All Files" shows all four.
            d->selectNameFilter(d->nameFilters().last());
            const QAbstractItemView* view = Control<QAbstractItemView>(*d, "listView");
            QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 4);
            Control<QLineEdit>(*d, "fileNameEdit")->setText(R"("first.zip" "pkg" "table.xml")");
            static_cast<QDialog*>(d)->accept();  // public in QDialog
        });
        Item(w, "Toolbar1_Open")->trigger();
        // Both packages were listed (so they entered the recent list, the later one
        // first); the XML file came last and left the listing empty.
        QStringList recent;
        for (int i = 1; i <= w.Session().RecentFiles().Count(); ++i) {
            recent << QString::fromStdString(w.Session().RecentFiles().Item(i));
        }
        QVERIFY2(
            recent.indexOf(noExtension) >= 0 && recent.indexOf(noExtension) < recent.indexOf(first),
            qPrintable(recent.join(',')));
        QCOMPARE(Control<QTreeView>(w, "lvwZip")->model()->rowCount(), 0);
        QVERIFY(!Item(w, "Toolbar1_Render")->isEnabled());
    }

    void recentSlotOfADeletedFileIsStillOpened() {
        const QString gone = Package("gone.zip");
        frmUnzip w;
        w.Load();
        w.OpenPackage(gone.toStdString());
        QAction* slot = Item(w, "mnuFile6");
        QVERIFY(slot->isChecked());
        QVERIFY(QFile::remove(gone));
        slot->trigger();
        slot->trigger();  // a click never flips the check mark by itself
        QCOMPARE(Control<QTreeView>(w, "lvwZip")->model()->rowCount(), 0);
        QVERIFY(!Item(w, "mnuFile1")->isEnabled());
        QVERIFY(!slot->isChecked());     // no package with entries is loaded any more
        Item(w, "mnuFile7")->trigger();  // not yet filled: nothing happens
    }

    void settingsDialogsWriteThroughTheWindow() {
        UseHive("dialogs.reg", "\"IE11Path\"=\"/usr/bin/firefox\"\n");
        frmUnzip w;
        w.Load();
        w.show();
        WhenModal<tv::frmPreferences>([this](tv::frmPreferences* d) {
            QCOMPARE(Text(*d, "Text1"), QString("/usr/bin/firefox"));
            Click(*d, "Command2");  // Default: this platform's suggestions
            QCOMPARE(Text(*d, "Text1"), env_.Path("app/tessel-open"));
            QCOMPARE(Text(*d, "Text2"), QString("/usr/bin/chromium"));
            Control<QLineEdit>(*d, "Text6")->setText("https://pubex.example/");
            Click(*d, "Command3");
            QVERIFY(d->isVisible());
            Click(*d, "Command1");
        });
        Item(w, "Preferences")->trigger();
        QCOMPARE(w.Session().m_IE11Path, env_.Path("app/tessel-open").toStdString());
        QCOMPARE(w.Session().m_PubexUrl, std::string("https://pubex.example/"));

        WhenModal<tv::frmNavigationOptions>(
            [](tv::frmNavigationOptions* d) { Click(*d, "Option1"); });
        Item(w, "Navigation")->trigger();
        QCOMPARE(w.Session().m_NavigationOption, int16_t{1});
        QVERIFY(env_.messages.empty());

        // A hive that cannot be written: one message per Save, the dialog stays usable.
        env_.UseHive(env_.Path("dialogs.reg/blocked.reg"));
        WhenModal<tv::frmPreferences>([this](tv::frmPreferences* d) {
            Click(*d, "Command3");
            QCOMPARE(env_.messages.size(), std::size_t{1});
            QVERIFY(QString::fromStdString(env_.messages[0]).contains("could not be saved"));
            QVERIFY(d->isVisible());
        });
        Item(w, "Preferences")->trigger();
        env_.UseHive("user.reg");
    }

    void screenshotsOfTheWindowAndItsDialogs() {
        const QString demo = TESSEL_DEMO_PACKAGE;
        if (!QFile::exists(demo)) {
            QSKIP("the demo package is not built (target demo_package)");
        }
        const QString shots = TESSEL_SCREENSHOT_DIR;
        QVERIFY(QDir().mkpath(shots));
        frmUnzip w;
        w.Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.OpenPackage(demo.toStdString());
        QCoreApplication::processEvents();
        // Every button shows its whole caption and every column its header.
        for (QPushButton* button : w.findChildren<QPushButton*>()) {
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        }
        auto* view = Control<QTreeView>(w, "lvwZip");
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY(view->columnWidth(c) > view->fontMetrics().horizontalAdvance(title));
        }
        QVERIFY(w.grab().save(shots + "/main_window.png"));
        auto* fileMenu = Control<QMenu>(w, "mnuFileTOP");
        fileMenu->popup(w.mapToGlobal(QPoint(0, 0)));
        QVERIFY(fileMenu->grab().save(shots + "/file_menu.png"));
        fileMenu->hide();
        const auto save = [&shots](const char* name) {
            return [name, &shots](QDialog* d) {
                if (auto* defaults = d->findChild<QPushButton*>("Command2")) {
                    defaults->click();  // the preferences with this platform's suggestions
                }
                QVERIFY(d->grab().save(shots + "/" + name));
            };
        };
        WhenModal<QDialog>(save("preferences.png"));
        Item(w, "Preferences")->trigger();
        WhenModal<QDialog>(save("navigation.png"));
        Item(w, "Navigation")->trigger();
        WhenModal<QDialog>(save("about.png"));
        Item(w, "mnuHelp0")->trigger();
        QVERIFY(QFile::exists(shots + "/about.png"));
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
