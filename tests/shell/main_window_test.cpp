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
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "platform/message_box.h"
#include "shell/app_state.h"
#include "shell/cmdline.h"
#include "shell/frmUnzip.h"

using tv::frmUnzip;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home_;
    std::vector<std::string> messages_;

    void Record() {
        messages_.clear();
        tv::SetMessageBoxHandler([this](const std::string& text, int, const std::string& title) {
            messages_.push_back(title + "|" + text);
            return tv::kAnswerOk;
        });
    }

  private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_DOCUMENTS_DIR", (home_.path() + "/Documents").toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8());
        qputenv("TESSEL_REGISTRY_FILE", (home_.path() + "/user.reg").toUtf8());
    }

    void namedControlsExist() {
        frmUnzip w;
        QCOMPARE(w.windowTitle(), QString("Tessel Viewer"));
        const char* widgets[] = {"lvwZip",   "sbrMain",  "Toolbar1", "Text1",
                                 "Label1",   "Command1", "Command2", "Command4",
                                 "Command5", "Command6", "Command7"};
        for (const char* name : widgets) {
            QVERIFY2(w.findChild<QWidget*>(name) != nullptr, name);
        }
        QCOMPARE(w.Text1->text(), QString("10,000,000"));
        QCOMPARE(w.Label1->text(), QString("Search Patent/PGPub Number in Grantex/Pubex: "
                                           "[1--10+million]+/D+/H+/PP+/RE+/[2001+<400,000]"));
        const std::pair<QPushButton*, const char*> captions[] = {
            {w.Command1, "Search Grantex"},           {w.Command2, "Search Pubex"},
            {w.Command4, "Open Grantex/Pubex in IE"}, {w.Command5, "Open Gran/Pubex in Chrome"},
            {w.Command6, "Open Espacenet in Chrome"}, {w.Command7, "Open Google Patents in Chrome"},
        };
        for (const auto& [button, caption] : captions) {
            QCOMPARE(button->text(), QString(caption));
        }
        QCOMPARE(w.mnuFileTOP->title(), QString("&File"));
        QCOMPARE(w.mnuOptionTOP->title(), QString("&Option"));
        QCOMPARE(w.mnuHelpTOP->title(), QString("&Help"));
        QCOMPARE(w.mnuFile[0]->text(), QString("&Open..."));
        QCOMPARE(w.mnuFile[2]->text(), QString("&View Raw XML Source..."));
        QCOMPARE(w.mnuFile[3]->shortcut(), QKeySequence("F7"));
        QVERIFY(w.mnuFile[5]->isSeparator() && w.mnuFile[18]->isSeparator());
        for (int i = 6; i <= 17; ++i) {
            QVERIFY(!w.mnuFile[static_cast<std::size_t>(i)]->isVisible());
        }
        QCOMPARE(w.mnuFile[19]->text(), QString("E&xit"));
        QVERIFY(w.CopyFile->isCheckable() && !w.CopyFile->isChecked());
        QVERIFY(w.unreferenceDTD->isCheckable() && !w.unreferenceDTD->isChecked());
        QCOMPARE(w.menuhelpcontents->shortcut(), QKeySequence("F1"));
        QCOMPARE(w.ToolbarOpen->toolTip(), QString("Open Patent FIles"));
        QCOMPARE(w.ToolbarRender->toolTip(), QString("Render in Internet Explorer"));
    }

    void startupWithoutArgumentsDisablesRender() {
        Record();
        tv::SetProcessArguments({});
        frmUnzip w;
        w.show();
        w.Load();
        QVERIFY(!w.ToolbarRender->isEnabled());
        QVERIFY(!w.mnuFile[1]->isEnabled());
        QVERIFY(!w.mnuFile[2]->isEnabled());
        QVERIFY(w.mnuFile[0]->isEnabled());
        QCOMPARE(w.lvwZip->columnCount(), 5);
        QCOMPARE(w.lvwZip->headerItem()->text(0), QString("Filename"));
        QCOMPARE(w.lvwZip->headerItem()->text(3), QString("Packed"));
        QCOMPARE(w.lvwZip->columnWidth(0), 250);
        QCOMPARE(w.lvwZip->columnWidth(4), 160);
        QCOMPARE(tv::Process().CatalogFileName, std::string("TVWcatalog.txt"));
        w.close();
    }

    void listingFollowsResize() {
        frmUnzip w;
        w.show();
        w.resize(900, 700);
        QCoreApplication::processEvents();
        const QRect before = w.lvwZip->geometry();
        QCOMPARE(before.width(), w.centralWidget()->width() - 2 * before.x());
        QCOMPARE(before.bottom() + 1 + 4, w.centralWidget()->height());
        w.resize(640, 480);
        QCoreApplication::processEvents();
        QCOMPARE(w.lvwZip->x(), before.x());
        QCOMPARE(w.lvwZip->y(), before.y());
        QCOMPARE(w.lvwZip->width(), w.centralWidget()->width() - 2 * before.x());
        w.close();
    }

    void closingCleansTheWorkingFolder() {
        const QString work = home_.path() + "/Documents/MyTessel";
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
