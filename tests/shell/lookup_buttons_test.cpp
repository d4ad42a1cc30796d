// The lookup buttons and search menu items under the offscreen platform: each starts
// the stand-in browser with the exact address for what was typed into Text1.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/frmUnzip.h"
#include "tests/shell/gui_test_env.h"

using tv::frmUnzip;
using tv::test::Control;

class LookupButtonsTest : public QObject {
    Q_OBJECT

  private:
    tv::test::GuiTestEnv env_;
    QString log_;

    // Waits for the stand-in browser's next line: "<cwd>\t<argument>".
    QStringList NextLaunch(int expectedLines) {
        QStringList lines;
        for (int i = 0; i < 200; ++i) {
            QFile f(log_);
            if (f.open(QIODevice::ReadOnly)) {
                lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
                if (lines.size() >= expectedLines) {
                    return lines.at(expectedLines - 1).split('\t');
                }
            }
            QTest::qWait(25);
        }
        return {};
    }

  private slots:
    void initTestCase() {
        log_ = env_.Path("browser.log");
        qputenv("TESSEL_FAKE_LOG", log_.toUtf8());
    }

    void eachCommandLaunchesItsAddress() {
        const QString browserDir = env_.Path("Program Files/Browser");
        QVERIFY(QDir().mkpath(browserDir));
        const QString ie = browserDir + "/fake ie";
        const QString chrome = browserDir + "/fake chrome";
        const QString stand_in = qEnvironmentVariable("TESSEL_TEST_TOOLS") + "/fake-browser";
        QVERIFY(QFile::copy(stand_in, ie) && QFile::copy(stand_in, chrome));

        frmUnzip w;
        w.show();
        tv::PackageSession& session = w.Session();
        session.m_IE11Path = ie.toStdString();
        session.m_ChromePath = chrome.toStdString();
        session.m_GrantexUrl = "http://grantex.test/netahtml/NVO/srchnum.htm";
        session.m_PubexUrl = "http://pubex.test/netahtml/NVO/srchnum.html";
        session.m_EspacenetUrl = "https://espacenet.test/patent/search?q=us";
        session.m_GooglePatentsUrl = "https://patents.test/patent/US";

        auto* text1 = Control<QLineEdit>(w, "Text1");
        text1->clear();
        QTest::keyClicks(text1, "US 6,123,456");
        const QString n = "006123456";
        const QString grantAddress =
            "http://pimg-grant.tessel-office.example/.piw?Docid=0" + n +
            "&homeurl=http%3A%2F%2Fgrantex.tessel-office.example%2Fnetacgi%2Fnph-Parser%3FSect1%"
            "3DNVO1%2526Sect2%3DHITOFF%2526d%3DPALL%2526p%3D1%2526u%3D%25252Fnetahtml%25252FNVO%"
            "25252Fsrchnum.htm%2526r%3D1%2526f%3DG%2526l%3D50%2526s1%3D" +
            n + ".PN.%2526OS%3DPN%2F" + n + "%2526RS%3DPN%2F" + n;

        struct Case {
            const char* button;
            QString program;
            QString address;
        };
        const Case cases[] = {
            {"Command1", ie, "http://grantex.test/netahtml/NVO/srchnum.htm"},
            {"Command2", ie, "http://pubex.test/netahtml/NVO/srchnum.html"},
            {"Command4", ie, grantAddress},
            {"Command5", chrome, grantAddress},
            {"Command6", chrome, "https://espacenet.test/patent/search?q=us6123456"},
            {"Command7", chrome, "https://patents.test/patent/US6123456"},
        };
        int launches = 0;
        for (const Case& c : cases) {
            QTest::mouseClick(Control<QPushButton>(w, c.button), Qt::LeftButton);
            const QStringList fields = NextLaunch(++launches);
            QCOMPARE(fields.size(), 2);
            QCOMPARE(fields.at(1), c.address);
            // "c:\" names no folder here, so the browser runs in the viewer's own.
            QCOMPARE(fields.at(0), QDir::current().canonicalPath());
        }

        // The File menu's search items do what the first two buttons do.
        Control<QAction>(w, "mnuFile3")->trigger();
        QCOMPARE(NextLaunch(++launches).value(1),
                 QString("http://grantex.test/netahtml/NVO/srchnum.htm"));
        Control<QAction>(w, "mnuFile4")->trigger();
        QCOMPARE(NextLaunch(++launches).value(1),
                 QString("http://pubex.test/netahtml/NVO/srchnum.html"));

        // A publication number goes to the publication viewer.
        // Rendering sets the search text through the session; the box follows it.
        session.SetSearchText("2012/0012345");
        QCOMPARE(text1->text(), QString("2012/0012345"));
        QTest::mouseClick(Control<QPushButton>(w, "Command4"), Qt::LeftButton);
        QVERIFY(NextLaunch(++launches)
                    .value(1)
                    .startsWith("http://pimg-pub.tessel-office.example/.aiw?Docid=20120012345&"));
        w.close();
    }
};

QTEST_MAIN(LookupButtonsTest)
#include "lookup_buttons_test.moc"
