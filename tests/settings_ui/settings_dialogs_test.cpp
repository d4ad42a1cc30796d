// The preferences and navigation dialogs against a recording target: which setters
// they call, with what, and when.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "settings/ui/frmNavigationOptions.h"
#include "settings/ui/frmPreferences.h"

using tv::frmNavigationOptions;
using tv::frmPreferences;

namespace {

class FakeTarget : public tv::SettingsTarget {
  public:
    std::array<std::string, 6> texts{"/ie",      "/chrome",  "https://e",
                                     "http://g", "http://p", "https://gp"};
    std::int16_t navigation = 0;
    std::string appPath;
    bool saves = true;
    QStringList calls;

    std::string IE11Path() const override { return texts[0]; }
    std::string ChromePath() const override { return texts[1]; }
    std::string EspacenetUrl() const override { return texts[2]; }
    std::string GrantexUrl() const override { return texts[3]; }
    std::string PubexUrl() const override { return texts[4]; }
    std::string GooglePatentsUrl() const override { return texts[5]; }
    std::int16_t NavigationOption() const override { return navigation; }
    std::string GetAppPath() const override { return appPath; }

    bool SetIE11Path(const std::string& t) override { return Set("IE", 0, t); }
    bool SetChromePath(const std::string& t) override { return Set("Chrome", 1, t); }
    bool SetEspacenetUrl(const std::string& t) override { return Set("Espacenet", 2, t); }
    bool SetGrantexUrl(const std::string& t) override { return Set("Grantex", 3, t); }
    bool SetPubexUrl(const std::string& t) override { return Set("Pubex", 4, t); }
    bool SetGooglePatentsUrl(const std::string& t) override { return Set("Google", 5, t); }
    bool setNavigationOption(std::int16_t v) override {
        navigation = v;
        calls << QString("Navigation=%1").arg(v);
        return saves;
    }

  private:
    bool Set(const char* name, int i, const std::string& t) {
        texts[static_cast<std::size_t>(i)] = t;
        calls << QString("%1=%2").arg(name, QString::fromStdString(t));
        return saves;
    }
};

template <class T>
T* Child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(name);
    if (c == nullptr) {
        qFatal("no child %s", name);
    }
    return c;
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void preferencesSaveWithoutChangeRewritesTheSameValues() {
        FakeTarget t;
        frmPreferences d(t);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Preferences"));
        Child<QPushButton>(d, "Command3")->click();
        QCOMPARE(t.calls, (QStringList{"IE=/ie", "Chrome=/chrome", "Espacenet=https://e",
                                       "Grantex=http://g", "Pubex=http://p", "Google=https://gp"}));
        QVERIFY(d.isVisible());  // Save does not close
    }

    void preferencesDefaultThenExitChangesNothing() {
        FakeTarget t;
        t.appPath = "/opt/tessel/";
        frmPreferences d(t);
        d.show();
        Child<QPushButton>(d, "Command2")->click();
        QCOMPARE(Child<QLineEdit>(d, "Text1")->text(), QString("/opt/tessel/tessel-open"));
        QCOMPARE(Child<QLineEdit>(d, "Text2")->text(), QString("/usr/bin/chromium"));
        QVERIFY(Child<QLineEdit>(d, "Text4")->text().endsWith("/patent/search?q=us"));
        Child<QPushButton>(d, "Command1")->click();
        QVERIFY(!d.isVisible());
        QVERIFY(t.calls.isEmpty());
        QCOMPARE(t.texts[0], std::string("/ie"));
    }

    void preferencesStoreAClearedBoxAndStopAtAFailedSave() {
        FakeTarget t;
        frmPreferences d(t);
        Child<QLineEdit>(d, "Text5")->clear();
        Child<QPushButton>(d, "Command3")->click();
        QCOMPARE(t.calls.at(3), QString("Grantex="));
        QCOMPARE(t.texts[3], std::string());

        t.calls.clear();
        t.saves = false;
        Child<QPushButton>(d, "Command3")->click();
        QCOMPARE(t.calls, QStringList{"IE=/ie"});
    }

    void navigationOpeningSelectsAndSavesTheStoredValue_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("option1");
        QTest::addColumn<bool>("option2");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("with") << 1 << true << false << QStringList{"Navigation=1"};
        QTest::newRow("without") << 0 << false << true << QStringList{"Navigation=0"};
        QTest::newRow("other") << 2 << false << false << QStringList{};
    }
    void navigationOpeningSelectsAndSavesTheStoredValue() {
        QFETCH(int, stored);
        FakeTarget t;
        t.navigation = static_cast<std::int16_t>(stored);
        frmNavigationOptions d(t);
        QCOMPARE(d.windowTitle(), QString("Tessel Rendering Options"));
        QTEST(Child<QRadioButton>(d, "Option1")->isChecked(), "option1");
        QTEST(Child<QRadioButton>(d, "Option2")->isChecked(), "option2");
        QTEST(t.calls, "calls");
    }

    void navigationOkWithoutSelectionStoresZero() {
        FakeTarget t;
        t.navigation = 2;
        frmNavigationOptions d(t);
        d.show();
        Child<QPushButton>(d, "Command1")->click();
        QCOMPARE(t.calls, QStringList{"Navigation=0"});
        QVERIFY(!d.isVisible());
    }

    void navigationClickStoresBeforeOk() {
        FakeTarget t;
        t.navigation = 0;
        frmNavigationOptions d(t);
        d.show();
        Child<QRadioButton>(d, "Option1")->click();
        QCOMPARE(t.calls, (QStringList{"Navigation=0", "Navigation=1"}));
        Child<QPushButton>(d, "Command1")->click();
        QCOMPARE(t.calls.last(), QString("Navigation=1"));
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
