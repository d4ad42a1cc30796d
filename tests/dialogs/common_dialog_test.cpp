// The open dialog driven under the offscreen platform: what a chosen set of files
// leaves in Filename, that a cancel raises nothing, that the hook events arrive and
// that ConfirmOK can keep the dialog open; ShowHelp's refused commands.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "dialogs/cCommonDialog.h"
#include "platform/error.h"

using tv::cCommonDialog;
using namespace std::string_literals;

namespace {

const char* kProgramFilter =
    "Zipped Patent Files (*.zip)|*.ZIP|XML Files (*.xml)|*.xml|All Files (*.*)|*.*";

// Runs act on the dialog of type D as soon as it is the active modal window.
template <class D = QFileDialog, class Act>
void WhenShown(Act act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(d);
        }
    });
    timer->start(10);
}

void Type(QFileDialog* d, const QString& text) {
    auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(edit != nullptr);
    edit->setText(text);
}

// The user's OK (accept is not public on the file dialog).
void Accept(QDialog* d) {
    QMetaObject::invokeMethod(d, "accept");
}

}  // namespace

class CommonDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::string Dir() const { return dir_.path().toStdString(); }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        for (const char* name : {"a.zip", "b.ZIP", "c.xml"}) {
            QFile f(dir_.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void multipleSelectionAnswersFolderAndNames() {
        cCommonDialog d;
        d.SetDialogTitle("Choose Patent Zipped or XML FIles");
        d.SetFlags(tv::OFN_ALLOWMULTISELECT);
        d.SetInitDir(Dir());
        d.SetFilter(kProgramFilter);
        d.SetFilterIndex(0);
        QString title;
        WhenShown([&title](QFileDialog* f) {
            title = f->windowTitle();
            Type(f, "\"a.zip\" \"b.ZIP\"");
            Accept(f);
        });
        d.ShowOpen();
        QCOMPARE(title, QString("Choose Patent Zipped or XML FIles"));
        QCOMPARE(QByteArray::fromStdString(d.Filename()),
                 QByteArray::fromStdString(Dir() + "\0a.zip\0b.ZIP\0\0"s));
        QCOMPARE(d.FilterIndex(), 1);
        QCOMPARE(d.flags(), tv::OFN_ALLOWMULTISELECT | tv::OFN_EXPLORER);
        std::string folder;
        std::vector<std::string> names;
        std::int32_t count = 0;
        d.ParseMultiFileName(folder, names, count);
        QCOMPARE(folder, Dir());
        QCOMPARE(count, 2);
    }

    void singleSelectionGivesPathTitleAndChosenFilter() {
        cCommonDialog d;
        d.SetFlags(tv::OFN_FILEMUSTEXIST);
        d.SetInitDir(Dir());
        d.SetFilter(kProgramFilter);
        d.SetFilterIndex(2);
        WhenShown([](QFileDialog* f) {
            f->selectNameFilter(f->nameFilters().at(2));
            Type(f, "b.ZIP");
            Accept(f);
        });
        d.ShowOpen();
        QCOMPARE(d.Filename(), Dir() + "/b.ZIP");
        QCOMPARE(d.FileTitle(), std::string("b.ZIP"));
        QCOMPARE(d.FilterIndex(), 3);
    }

    void saveAddsTheDefaultExtension() {
        cCommonDialog d;
        d.SetInitDir(Dir());
        d.SetDefaultExt("xml");
        d.SetFilter(kProgramFilter);
        WhenShown([](QFileDialog* f) {
            Type(f, "new");
            Accept(f);
        });
        d.ShowSave();
        QCOMPARE(d.Filename(), Dir() + "/new.xml");
        QCOMPARE(d.FileTitle(), std::string("new.xml"));
    }

    void colourDialogAnswersTheChosenColour() {
        cCommonDialog d;
        d.SetColor(0x0000FF);
        d.SetCustomColor(15, 0x123456);
        QColor offered;
        WhenShown<QColorDialog>([&offered](QColorDialog* c) {
            offered = c->currentColor();
            c->setCurrentColor(QColor(0, 255, 0));
            Accept(c);
        });
        d.ShowColor();
        QCOMPARE(offered, QColor(255, 0, 0));
        QCOMPARE(d.Color(), 0x00FF00);
        QCOMPARE(d.CustomColor(15), 0x123456);
        QVERIFY_THROWS_EXCEPTION(tv::AppError, d.CustomColor(16));
    }

    void hookReportsFolderAndFilterChanges() {
        QVERIFY(QDir(dir_.path()).mkpath("sub"));
        cCommonDialog d;
        d.SetHookDialog(true);
        d.SetInitDir(Dir() + "/sub");
        d.SetFilter(kProgramFilter);
        QStringList events;
        connect(&d, &cCommonDialog::FolderChange, [&events] { events << "folder"; });
        connect(&d, &cCommonDialog::TypeChange, [&events] { events << "type"; });
        WhenShown([](QFileDialog* f) {
            QTest::keyClick(f->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
            f->findChild<QToolButton*>("toParentButton")->click();
            f->reject();
        });
        d.ShowOpen();
        QCOMPARE(events, (QStringList{"type", "folder"}));
        QCOMPARE(d.Filename(), std::string());
    }

    void cancelEmptiesTheAnswerAndRaisesNothing() {
        cCommonDialog d;
        d.SetCancelError(true);
        d.SetFlags(tv::OFN_ALLOWMULTISELECT);
        d.SetFilter(kProgramFilter);
        d.SetFilename("stale");
        WhenShown([](QFileDialog* f) { f->reject(); });
        d.ShowOpen();
        QCOMPARE(d.Filename(), std::string());
        QCOMPARE(d.FilterIndex(), -1);
        QCOMPARE(d.flags(), 0);
        QCOMPARE(d.Filter(), std::string());
    }

    void confirmOkVetoKeepsTheDialogOpen() {
        cCommonDialog d;
        d.SetHookDialog(true);
        d.SetFlags(tv::OFN_ALLOWMULTISELECT);
        d.SetInitDir(Dir());
        QStringList events;
        connect(&d, &cCommonDialog::InitDialog, [&events] { events << "init"; });
        connect(&d, &cCommonDialog::DialogClose, [&events] { events << "close"; });
        connect(&d, &cCommonDialog::ConfirmOK, [&events](bool& bCancel) {
            events << "ok";
            bCancel = events.count("ok") == 1;  // refuse the first time only
        });
        bool openAfterVeto = false;
        WhenShown([&openAfterVeto](QFileDialog* f) {
            Type(f, "\"a.zip\"");
            Accept(f);
            openAfterVeto = f->isVisible();
            Accept(f);
        });
        d.ShowOpen();
        QVERIFY(openAfterVeto);
        QCOMPARE(events, (QStringList{"init", "ok", "ok", "close"}));
        QCOMPARE(d.Filename(), Dir() + "/a.zip\0\0"s);
        QVERIFY(tv::mDialogHook::Registered() == nullptr);
    }

    void showHelpRefusesCommandsAndMissingFiles() {
        const struct {
            std::int32_t command;
            std::string file;
            long number;
        } cases[] = {{tv::HELP_MULTIKEY, "", 13705},
                     {tv::HELP_SETWINPOS, "", 13705},
                     {1, Dir() + "/missing.html", 53}};
        for (const auto& c : cases) {
            cCommonDialog d;
            d.SetHelpCommand(c.command);
            d.SetHelpFile(c.file);
            try {
                d.ShowHelp();
                QFAIL("ShowHelp raised nothing");
            } catch (const tv::AppError& e) {
                QCOMPARE(e.Number(), c.number);
                QCOMPARE(e.Source(), std::string("tessel-viewer.cCommonDialog"));
                if (c.number == 13705) {
                    QCOMPARE(e.Description(),
                             std::string("Invalid WinHelp Command Passed to ShowHelp function."));
                }
            }
        }
    }
};

QTEST_MAIN(CommonDialogTest)
#include "common_dialog_test.moc"
