// The window's settings under the offscreen platform: what the loads put into the
// window and its archive component, what a setter writes at once, and that a save
// which cannot reach the hive tells the user once and still lets the window close.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/message_box.h"
#include "settings/cRegistry.h"
#include "shell/frmUnzip.h"
#include "tests/shell/gui_test_env.h"

using tv::frmUnzip;
using tv::test::Control;

class SettingsGlueTest : public QObject {
    Q_OBJECT

  private:
    tv::test::GuiTestEnv env_;
    std::vector<std::string>& messages_ = env_.messages;

    void UseHive(const QString& path) { env_.UseHive(path); }
    static QAction* FileItem(const frmUnzip& w, int index) {
        return Control<QAction>(w, QString("mnuFile%1").arg(index));
    }

    void WriteHive(const QString& path, const QString& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }

  private slots:
    void init() { messages_.clear(); }

    void loadsFillMembersArchiveOptionsAndRecentSlots() {
        const QString hive = env_.Path("loaded.reg");
        QString text =
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer]\n"
            "\"AppPath\"=\"/opt/tessel/\"\n\"IE11Path\"=\"/usr/bin/x-www-browser\"\n"
            "\"NavigationOption\"=\"1\"\n\"UseFolderNames\"=dword:00000005\n"
            "\"OverwritePrompt\"=dword:00000000\n\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\Tessel Viewer\\FileOpenMRU]\n"
            "\"MaxCount\"=dword:00000010\n\"Count\"=\"14\"\n";
        for (int i = 1; i <= 14; ++i) {
            text += QString("\"Item%1\"=\"/data/p%1.zip\"\n").arg(i);
        }
        WriteHive(hive, text);
        UseHive(hive);
        frmUnzip w;
        w.Load();
        QVERIFY(messages_.empty());
        QCOMPARE(w.GetAppPath(), std::string("/opt/tessel/"));
        const tv::PackageSession& session = w.Session();
        QCOMPARE(session.m_IE11Path, std::string("/usr/bin/x-www-browser"));
        QCOMPARE(session.m_NavigationOption, int16_t{1});
        QVERIFY(session.Archive().UseFolderNames());
        QVERIFY(!session.Archive().PromptToOverwrite());
        // Fourteen recent files, twelve slots; the first is unchecked with no package.
        for (int slot = 6; slot <= 17; ++slot) {
            QVERIFY(FileItem(w, slot)->isVisible());
        }
        QCOMPARE(FileItem(w, 6)->text(), QString("&1) /data/p1.zip"));
        QCOMPARE(FileItem(w, 17)->data().toString(), QString("/data/p12.zip"));
        QVERIFY(!FileItem(w, 6)->isChecked());
        w.close();
        // The close wrote UseFolderNames back as 1 and kept all fourteen items.
        tv::cRegistry reg;
        reg.ClassKey(tv::HKEY_CURRENT_USER_ROOT);
        reg.SectionKey("SOFTWARE\\Norvane\\Tessel Viewer");
        reg.ValueKey("UseFolderNames");
        QVERIFY(std::get<std::int32_t>(reg.Value()) == 1);
        reg.SectionKey("SOFTWARE\\Norvane\\Tessel Viewer\\FileOpenMRU");
        reg.ValueKey("Item14");
        QVERIFY(std::get<std::string>(reg.Value()) == "/data/p14.zip");
    }

    void setterSavesAtOnce() {
        const QString hive = env_.Path("setter.reg");
        UseHive(hive);
        frmUnzip w;
        w.Load();
        QCOMPARE(messages_.size(), std::size_t{1});  // no product key yet
        w.SetChromePath("/usr/bin/chromium");
        QFile f(hive);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("\"ChromePath\"=\"/usr/bin/chromium\""));
        QCOMPARE(messages_.size(), std::size_t{1});
    }

    void failedSaveIsReportedOnceAndTheWindowStillCloses() {
        // A hive whose folder is a plain file cannot be written, also for root.
        const QString blocker = env_.Path("not-a-folder");
        WriteHive(blocker, "x");
        const QString hive = blocker + "/user.reg";
        UseHive(hive);
        frmUnzip w;
        w.show();
        w.Load();
        messages_.clear();
        w.SetIE11Path("/usr/bin/firefox");
        QCOMPARE(messages_.size(), std::size_t{1});
        QVERIFY2(messages_[0].find(hive.toStdString()) != std::string::npos, messages_[0].c_str());
        messages_.clear();
        QVERIFY(w.close());
        QCOMPARE(messages_.size(), std::size_t{1});
        QVERIFY(messages_[0].find(hive.toStdString()) != std::string::npos);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(SettingsGlueTest)
#include "settings_glue_test.moc"
