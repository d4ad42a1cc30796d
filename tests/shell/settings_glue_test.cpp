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

using tv::frmUnzip;

class SettingsGlueTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::vector<std::string> messages_;

    void UseHive(const QString& path) { qputenv("TESSEL_REGISTRY_FILE", path.toUtf8()); }

    void WriteHive(const QString& path, const QString& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("XDG_DOCUMENTS_DIR", (dir_.path() + "/Documents").toUtf8());
        tv::SetMessageBoxHandler([this](const std::string& text, int, const std::string&) {
            messages_.push_back(text);
            return tv::kAnswerOk;
        });
    }
    void init() { messages_.clear(); }

    void loadsFillMembersArchiveOptionsAndRecentSlots() {
        const QString hive = dir_.path() + "/loaded.reg";
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
        QCOMPARE(w.m_IE11Path, std::string("/usr/bin/x-www-browser"));
        QCOMPARE(w.m_NavigationOption, int16_t{1});
        QVERIFY(w.m_cUnzip.UseFolderNames());
        QVERIFY(!w.m_cUnzip.PromptToOverwrite());
        // Fourteen recent files, twelve slots; the first is unchecked with no package.
        for (int slot = 6; slot <= 17; ++slot) {
            QVERIFY(w.mnuFile[static_cast<std::size_t>(slot)]->isVisible());
        }
        QCOMPARE(w.mnuFile[6]->text(), QString("&1) /data/p1.zip"));
        QCOMPARE(w.mnuFile[17]->data().toString(), QString("/data/p12.zip"));
        QVERIFY(!w.mnuFile[6]->isChecked());
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
        const QString hive = dir_.path() + "/setter.reg";
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
        const QString blocker = dir_.path() + "/not-a-folder";
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
