// The package listing under the offscreen platform: what the view shows of the session's
// rows (texts, keys, icons, columns), the commands and recent slot a listing enables,
// extraction progress in the status bar, and drops.
#include <zip.h>
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <QtTest>

#include <ctime>
#include <string>
#include <vector>

#include "shell/frmUnzip.h"
#include "shell/listing_model.h"
#include "tests/archive/unzip/zip_fixtures.h"
#include "tests/shell/gui_test_env.h"

using tv::frmUnzip;
using tv::ListingModel;
using tv::test::Column;
using tv::test::Control;

namespace {

using Entry = tv::test::ZipItem;

// Writes a package with the given entries, all dated 2 March 2009 14:05 local time.
void WritePackage(const QString& path, std::vector<Entry> entries) {
    std::tm when{};
    when.tm_year = 109;
    when.tm_mon = 2;
    when.tm_mday = 2;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_isdst = -1;
    for (Entry& e : entries) {
        e.mtime = std::mktime(&when);
    }
    tv::test::WriteZip(path.toStdString(), entries);
}

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

}  // namespace

class ListingViewTest : public QObject {
    Q_OBJECT

  private:
    tv::test::GuiTestEnv env_;

    QString Path(const QString& name) const { return env_.Path(name); }
    static QAction* FileItem(const frmUnzip& w, int index) {
        return Control<QAction>(w, QString("mnuFile%1").arg(index));
    }

  private slots:
    void rowsShowTheListingWithKeysIconsAndColumns() {
        WritePackage(Path("p1.zip"), {{"doc.xml", std::string(1000, 'x')},
                                      {"doc-s00001.xml", "<seq/>"},
                                      {"img/", ""},
                                      {"img/D00001.tif", "II*\0"},
                                      {"README", "r"},
                                      {"setup.exe", "MZ"}});
        frmUnzip w;
        w.show();
        w.Load();
        w.OpenPackage(Path("p1.zip").toStdString());
        auto* view = Control<QTreeView>(w, "lvwZip");
        QCOMPARE(Column(view, 0),
                 QStringList({"doc.xml", "doc-s00001.xml", "D00001.tif", "README", "setup.exe"}));
        QCOMPARE(Column(view, 0, ListingModel::KeyRole),
                 QStringList({"File1", "File2", "File3", "File4", "File5"}));
        QCOMPARE(Column(view, 1).first(), QString("1000"));
        QCOMPARE(Column(view, 4), QStringList({"", "", "img", "", ""}));
        const QLocale locale;
        const QString expectedDate = locale.toString(QDate(2009, 3, 2), QLocale::ShortFormat) +
                                     " " + locale.toString(QTime(14, 5), QLocale::ShortFormat);
        QCOMPARE(Column(view, 2).at(2), expectedDate);
        // The Date column holds its text whole.
        QVERIFY(view->columnWidth(2) > view->fontMetrics().horizontalAdvance(expectedDate));
        const QModelIndex size = view->model()->index(0, 1);
        QVERIFY(size.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 0);
        // Icons: no extension and .exe take DEFAULT; each extension is added once.
        QCOMPARE(Column(view, 0, ListingModel::IconKeyRole),
                 QStringList({".XML", ".XML", ".TIF", "DEFAULT", "DEFAULT"}));
        QVERIFY(!view->model()->index(2, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        const auto* model = qobject_cast<const ListingModel*>(view->model());
        QCOMPARE(model->Icons().Count(), 3);  // DEFAULT, .XML, .TIF
        // A listed package enables Render and enters the recent list, slot 6 checked.
        QVERIFY(Control<QAction>(w, "Toolbar1_Render")->isEnabled() && FileItem(w, 1)->isEnabled());
        QAction* slot = FileItem(w, 6);
        QVERIFY(slot->isVisible() && slot->isChecked());
        QCOMPARE(slot->data().toString(), Path("p1.zip"));
        QCOMPARE(slot->text(), "&1) " + Path("p1.zip"));
        QVERIFY(!Control<QLabel>(w, "sbrPanel1")->text().isEmpty());

        // The selection is handed to the session as entry numbers.
        view->selectionModel()->select(view->model()->index(3, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->selectionModel()->select(view->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(w.Session().Selection(), (std::vector<int>{2, 4}));

        w.close();
    }

    void extractionProgressIsPaintedAsItHappens() {
        std::vector<Entry> entries;
        for (int i = 0; i < 20; ++i) {
            entries.push_back({"img/D" + std::to_string(i) + ".tif", std::string(5000, 'x')});
        }
        WritePackage(Path("many.zip"), entries);
        frmUnzip w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Load();
        w.OpenPackage(Path("many.zip").toStdString());
        auto* panel = Control<QLabel>(w, "sbrPanel1");
        PaintCounter counter;
        panel->installEventFilter(&counter);
        // Painted while the extraction runs (not only at its end), at most once per
        // interval: with no interval every message paints, with a long one only the first.
        for (const auto& [interval, paints] : {std::pair{0, 20}, std::pair{60000, 1}}) {
            counter.paints = 0;
            tv::PackageSession& session = w.Session();
            session.SetProgressPaintInterval(std::chrono::milliseconds(interval));
            session.Archive().SetUnzipFolder(
                (Path("extracted%1").arg(interval) + "/").toStdString());
            QVERIFY(session.Archive().Unzip());
            QVERIFY2(interval == 0 ? counter.paints >= paints : counter.paints <= paints,
                     QByteArray::number(counter.paints));
            QVERIFY(panel->text().contains("D19.tif"));
        }
        w.close();
    }

    void dropsOpenPackagesAndRefuseText() {
        WritePackage(Path("drop.zip"), {{"doc.xml", "<doc/>"}});
        frmUnzip w;
        w.show();
        w.Load();
        auto* view = Control<QTreeView>(w, "lvwZip");

        QMimeData text;
        text.setText("just text");
        QDragEnterEvent refused(QPoint(50, 150), Qt::CopyAction | Qt::MoveAction, &text,
                                Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(Path("drop.zip"))});
        QDragEnterEvent enter(QPoint(50, 150), Qt::CopyAction | Qt::MoveAction, &files,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);

        QDropEvent drop(QPointF(50, 150), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(view->model()->rowCount(), 1);

        // A package and an XML file together: listed, then the listing is cleared.
        w.DropFiles({Path("drop.zip"), Path("table.xml")});
        QCOMPARE(view->model()->rowCount(), 0);
        QVERIFY(!Control<QAction>(w, "Toolbar1_Render")->isEnabled());
        w.close();
    }
};

QTEST_MAIN(ListingViewTest)
#include "listing_view_test.moc"
