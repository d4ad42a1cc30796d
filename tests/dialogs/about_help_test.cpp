// The about box's parts and the help window: local links stay in it, other links go
// to the desktop, and a missing help file shows a not-found page.
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "shell/frmAbout.h"
#include "shell/help_window.h"

class AboutHelpTest : public QObject {
    Q_OBJECT

  public slots:
    void openExternal(const QUrl& url) { external_ << url; }

  private:
    QList<QUrl> external_;

  private slots:
    void aboutBoxShowsNameIconTextAndCloses() {
        tv::frmAbout box;
        box.show();
        QCOMPARE(box.findChild<QGroupBox*>("Frame1")->title(), QString("Tessel Viewer 4.6.2"));
        QVERIFY(!box.findChild<QLabel*>("picIcon")->pixmap().isNull());
        auto* text = box.findChild<QPlainTextEdit*>("txtDescription");
        QVERIFY(text->isReadOnly());
        for (const char* part :
             {"ST.26", "CALS", "libzip", "OpenSP", "Lesser General Public License v3", "libpng"}) {
            QVERIFY2(text->toPlainText().contains(part), part);
        }
        box.findChild<QPushButton*>("cmdOK")->click();
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void helpFollowsLocalLinksAndHandsOthersOn() {
        QTemporaryDir app;
        QVERIFY(app.isValid());
        QVERIFY(QDir(app.path()).mkpath("help"));
        const auto write = [&app](const char* name, const char* html) {
            QFile f(app.filePath(QString("help/") + name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(html);
        };
        write("tessel_viewer_help.html",
              "<a href='page2.html'>next</a> <a href='https://example.org/x'>web</a>");
        write("page2.html", "<p>Second page</p>");
        QDesktopServices::setUrlHandler("https", this, "openExternal");

        const std::string appPath = app.path().toStdString() + "/";
        QCOMPARE(tv::HelpFilePath(appPath), appPath + "help/tessel_viewer_help.html");
        tv::HelpWindow* w = tv::ShowHelpContents(appPath);
        QTextBrowser* b = w->Browser();
        QVERIFY(b->source().toLocalFile().endsWith("help/tessel_viewer_help.html"));

        emit b->anchorClicked(QUrl("https://example.org/x"));
        QCOMPARE(external_, QList<QUrl>{QUrl("https://example.org/x")});
        QVERIFY(b->source().toLocalFile().endsWith("tessel_viewer_help.html"));

        emit b->anchorClicked(QUrl("page2.html"));
        QVERIFY(b->toPlainText().contains("Second page"));

        QCOMPARE(tv::ShowHelpContents(app.path().toStdString() + "/nowhere/"), w);
        QVERIFY(b->toPlainText().contains("Help not found"));
        QDesktopServices::unsetUrlHandler("https");
        w->close();
    }
};

QTEST_MAIN(AboutHelpTest)
#include "about_help_test.moc"
