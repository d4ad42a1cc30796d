// The package listing under the offscreen platform: rows, keys, columns, the main
// document and sequence listing rules, icons, recent slots, drops and progress.
#include <zip.h>
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include <ctime>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "shell/frmUnzip.h"
#include "tests/platform/unzip/zip_fixtures.h"

using tv::frmUnzip;

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

QStringList Column(const QTreeWidget* view, int column) {
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        texts << view->topLevelItem(i)->text(column);
    }
    return texts;
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
    QTemporaryDir dir_;
    std::vector<std::string> messages_;

    QString Path(const QString& name) const { return dir_.path() + "/" + name; }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("HOME", dir_.path().toUtf8());
        qputenv("XDG_DOCUMENTS_DIR", (dir_.path() + "/Documents").toUtf8());
        qputenv("TESSEL_REGISTRY_FILE", (dir_.path() + "/user.reg").toUtf8());
        tv::SetMessageBoxHandler([this](const std::string& text, int, const std::string&) {
            messages_.push_back(text);
            return tv::kAnswerOk;
        });
    }

    void rowsColumnsAndEntryRules() {
        WritePackage(Path("p1.zip"), {{"doc.xml", std::string(1000, 'x')},
                                      {"doc-s00001.xml", "<seq/>"},
                                      {"img/", ""},
                                      {"img/D00001.tif", "II*\0"},
                                      {"README", "r"},
                                      {"setup.exe", "MZ"}});
        frmUnzip w;
        w.Load();
        w.OpenPackage(Path("p1.zip").toStdString());
        QTreeWidget* view = w.lvwZip;
        QCOMPARE(Column(view, 0),
                 QStringList({"doc.xml", "doc-s00001.xml", "D00001.tif", "README", "setup.exe"}));
        QCOMPARE(view->topLevelItem(0)->data(0, Qt::UserRole).toString(), QString("File1"));
        QCOMPARE(view->topLevelItem(4)->data(0, Qt::UserRole).toString(), QString("File5"));
        QCOMPARE(view->topLevelItem(0)->text(1), QString("1000"));
        QCOMPARE(Column(view, 4), QStringList({"", "", "img", "", ""}));
        const QLocale locale;
        const QString expectedDate = locale.toString(QDate(2009, 3, 2), QLocale::ShortFormat) +
                                     " " + locale.toString(QTime(14, 5), QLocale::ShortFormat);
        QCOMPARE(view->topLevelItem(2)->text(2), expectedDate);
        // Packed is size x ratio / 100: a long run of one letter packs far below 1000.
        QVERIFY(view->topLevelItem(0)->text(3).toLongLong() < 100);
        QCOMPARE(view->topLevelItem(0)->textAlignment(1) & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(w.MainDocEntry, 1);
        QCOMPARE(w.SeqListEntry, 2);
        QVERIFY(!w.RawSourceView);
        QCOMPARE(view->selectedItems().size(), 0);
        // Icons: no extension and .exe take DEFAULT; each extension is added once.
        QCOMPARE(view->topLevelItem(3)->data(0, Qt::UserRole + 1).toString(), QString("DEFAULT"));
        QCOMPARE(view->topLevelItem(4)->data(0, Qt::UserRole + 1).toString(), QString("DEFAULT"));
        QCOMPARE(view->topLevelItem(0)->data(0, Qt::UserRole + 1).toString(), QString(".XML"));
        QCOMPARE(w.ilsIcons16.Count(), 3);  // DEFAULT, .XML, .TIF
        // A listed package enables Render and enters the recent list, slot 6 checked.
        QVERIFY(w.ToolbarRender->isEnabled() && w.mnuFile[1]->isEnabled());
        QVERIFY(w.mnuFile[6]->isVisible());
        QCOMPARE(w.mnuFile[6]->data().toString(), Path("p1.zip"));
        QCOMPARE(w.mnuFile[6]->text(), "&1) " + Path("p1.zip"));
        QVERIFY(w.mnuFile[6]->isChecked());
        QVERIFY(!w.sbrPanel1->text().isEmpty());
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
        PaintCounter counter;
        w.sbrPanel1->installEventFilter(&counter);
        // Painted while the extraction runs (not only at its end), at most once per
        // interval: with no interval every message paints, with a long one only the first.
        for (const auto& [interval, paints] : {std::pair{0, 20}, std::pair{60000, 1}}) {
            counter.paints = 0;
            w.ProgressPaintIntervalMs = interval;
            w.m_cUnzip.SetUnzipFolder((Path("extracted%1").arg(interval) + "/").toStdString());
            QVERIFY(w.m_cUnzip.Unzip());
            QVERIFY2(interval == 0 ? counter.paints >= paints : counter.paints <= paints,
                     QByteArray::number(counter.paints));
            QVERIFY(w.sbrPanel1->text().contains("D19.tif"));
        }
        w.close();
    }

    void laterXmlWinsAndEncryptedNeverCounts() {
        WritePackage(Path("p2.zip"),
                     {{"a.xml", "<a/>"}, {"b.XML", "<b/>"}, {"c.pdf", "%PDF"}, {"d.pdf", "%PDF"}});
        frmUnzip w;
        w.Load();
        w.OpenPackage(Path("p2.zip").toStdString());
        QCOMPARE(w.MainDocEntry, 2);
        QCOMPARE(w.SeqListEntry, 0);
        QCOMPARE(w.ilsIcons16.Count(), 3);  // DEFAULT, .XML, .PDF (shared by c and d)

        if (QProcess::execute("sh", {"-c", "command -v zip >/dev/null"}) != 0) {
            QSKIP("zip is not installed");
        }
        QFile::remove(Path("enc.zip"));
        QFile(Path("a.xml")).open(QIODevice::WriteOnly);
        QCOMPARE(QProcess::execute(
                     "sh", {"-c", "cd '" + dir_.path() + "' && zip -q -P secret enc.zip a.xml"}),
                 0);
        w.OpenPackage(Path("enc.zip").toStdString());
        QCOMPARE(Column(w.lvwZip, 0), QStringList({"a.xml+"}));
        QCOMPARE(w.MainDocEntry, 0);
    }

    void unreadablePackageGivesEmptyListingAndLeavesRecentList() {
        QFile bad(Path("bad.zip"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a package");
        bad.close();
        frmUnzip w;
        w.Load();
        const int before = w.m_MRU.Count();
        w.OpenPackage(Path("bad.zip").toStdString());
        QCOMPARE(w.lvwZip->topLevelItemCount(), 0);
        QCOMPARE(w.m_MRU.Count(), before);
        QVERIFY(!w.ToolbarRender->isEnabled());
    }

    void dropsOpenPackagesAndRefuseText() {
        WritePackage(Path("drop.zip"), {{"doc.xml", "<doc/>"}});
        QFile xml(Path("table.xml"));
        QVERIFY(xml.open(QIODevice::WriteOnly));
        xml.write("<table/>");
        xml.close();
        frmUnzip w;
        w.show();
        w.Load();

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
        QTRY_COMPARE(w.lvwZip->topLevelItemCount(), 1);

        // A package and an XML file together: listed, then the listing is cleared.
        w.DropFiles({Path("drop.zip"), Path("table.xml")});
        QCOMPARE(w.lvwZip->topLevelItemCount(), 0);
        QVERIFY(!w.ToolbarRender->isEnabled());
        w.close();
    }
};

QTEST_MAIN(ListingViewTest)
#include "listing_view_test.moc"
