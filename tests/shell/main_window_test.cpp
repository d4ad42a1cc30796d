// The main window under the offscreen platform: its named controls, start-up with no
// arguments, the listing's resize rule and what closing does to the working folder.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>
#include <fstream>

#include "shell/app_state.h"
#include "shell/cmdline.h"
#include "shell/frmUnzip.h"
#include "tests/shell/gui_test_env.h"

using tv::frmUnzip;
using tv::test::Control;

namespace {
QAction* FileItem(const frmUnzip& w, int index) {
    return Control<QAction>(w, QString("mnuFile%1").arg(index));
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    tv::test::GuiTestEnv env_;

  private slots:
    void namedControlsExist() {
        frmUnzip w;
        QCOMPARE(w.windowTitle(), QString("Tessel Viewer"));
        const char* widgets[] = {"lvwZip",   "sbrMain",  "Toolbar1", "Text1",
                                 "Label1",   "Command1", "Command2", "Command4",
                                 "Command5", "Command6", "Command7"};
        for (const char* name : widgets) {
            QVERIFY2(w.findChild<QWidget*>(name) != nullptr, name);
        }
        QCOMPARE(Control<QLineEdit>(w, "Text1")->text(), QString("10,000,000"));
        QCOMPARE(Control<QLabel>(w, "Label1")->text(),
                 QString("Search Patent/PGPub Number in Grantex/Pubex: "
                         "[1--10+million]+/D+/H+/PP+/RE+/[2001+<400,000]"));
        const std::pair<const char*, const char*> captions[] = {
            {"Command1", "Search Grantex"},           {"Command2", "Search Pubex"},
            {"Command4", "Open Grantex/Pubex in IE"}, {"Command5", "Open Gran/Pubex in Chrome"},
            {"Command6", "Open Espacenet in Chrome"}, {"Command7", "Open Google Patents in Chrome"},
        };
        for (const auto& [button, caption] : captions) {
            QCOMPARE(Control<QPushButton>(w, button)->text(), QString(caption));
        }
        QCOMPARE(Control<QMenu>(w, "mnuFileTOP")->title(), QString("&File"));
        QCOMPARE(Control<QMenu>(w, "mnuOptionTOP")->title(), QString("&Option"));
        QCOMPARE(Control<QMenu>(w, "mnuHelpTOP")->title(), QString("&Help"));
        QCOMPARE(FileItem(w, 0)->text(), QString("&Open..."));
        QCOMPARE(FileItem(w, 2)->text(), QString("&View Raw XML Source..."));
        QCOMPARE(FileItem(w, 3)->shortcut(), QKeySequence("F7"));
        QVERIFY(FileItem(w, 5)->isSeparator() && FileItem(w, 18)->isSeparator());
        for (int i = 6; i <= 17; ++i) {
            QVERIFY(!FileItem(w, i)->isVisible());
        }
        QCOMPARE(FileItem(w, 19)->text(), QString("E&xit"));
        // The two check marks live only for the run; the session reads them.
        for (const char* name : {"CopyFile", "unreferenceDTD"}) {
            auto* item = Control<QAction>(w, name);
            QVERIFY(item->isCheckable() && !item->isChecked());
            item->trigger();
        }
        QVERIFY(w.Session().InlineRendering() && w.Session().RemoveDtdReference());
        QCOMPARE(Control<QAction>(w, "menuhelpcontents")->shortcut(), QKeySequence("F1"));
        QCOMPARE(Control<QAction>(w, "Toolbar1_Open")->toolTip(), QString("Open Patent FIles"));
        QCOMPARE(Control<QAction>(w, "Toolbar1_Render")->toolTip(),
                 QString("Render in Internet Explorer"));
    }

    void startupWithoutArgumentsDisablesRender() {
        tv::SetProcessArguments({});
        frmUnzip w;
        w.show();
        w.Load();
        QVERIFY(!Control<QAction>(w, "Toolbar1_Render")->isEnabled());
        QVERIFY(!FileItem(w, 1)->isEnabled());
        QVERIFY(!FileItem(w, 2)->isEnabled());
        QVERIFY(FileItem(w, 0)->isEnabled());
        auto* view = Control<QTreeView>(w, "lvwZip");
        QCOMPARE(view->model()->columnCount(), 5);
        QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QString("Filename"));
        QCOMPARE(view->model()->headerData(3, Qt::Horizontal).toString(), QString("Packed"));
        QCOMPARE(view->columnWidth(0), 250);
        QVERIFY(view->columnWidth(2) >= 110);
        QCOMPARE(view->columnWidth(4), 160);
        QCOMPARE(tv::Process().CatalogFileName, std::string("TVWcatalog.txt"));
        w.close();
    }

    void listingFollowsResize() {
        frmUnzip w;
        w.show();
        w.resize(900, 700);
        QCoreApplication::processEvents();
        auto* view = Control<QTreeView>(w, "lvwZip");
        const QRect before = view->geometry();
        QCOMPARE(before.width(), w.centralWidget()->width() - 2 * before.x());
        QCOMPARE(before.bottom() + 1 + 4, w.centralWidget()->height());
        w.resize(640, 480);
        QCoreApplication::processEvents();
        QCOMPARE(view->x(), before.x());
        QCOMPARE(view->y(), before.y());
        QCOMPARE(view->width(), w.centralWidget()->width() - 2 * before.x());
        w.close();
    }

    void closingCleansTheWorkingFolder() {
        const QString work = env_.Path("Documents/MyTessel");
        QVERIFY(QDir().mkpath(work + "/pkg/img"));
        std::ofstream(work.toStdString() + "/pkg/doc.xml") << "<doc/>";
        std::ofstream(work.toStdString() + "/pkg/img/D1.tif") << "II*";
        {
            frmUnzip w;
            w.show();
            QVERIFY(w.close());
        }
        QVERIFY(QDir(work).exists());
        QVERIFY(QDir(work).isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
