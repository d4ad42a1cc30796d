// The preferences and navigation dialogs against a recording target: which settings
// they set, with what, and when.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "settings/settings_table.h"
#include "settings/ui/frmNavigationOptions.h"
#include "settings/ui/frmPreferences.h"

using tv::frmNavigationOptions;
using tv::frmPreferences;
using tv::SettingId;
using tv::SettingValue;

namespace {

class FakeTarget : public tv::SettingsTarget {
  public:
    FakeTarget() {
        using enum SettingId;
        for (auto [id, text] : {std::pair{IE11Path, "/ie"},
                                {ChromePath, "/chrome"},
                                {EspacenetUrl, "https://e"},
                                {GrantexUrl, "http://g"},
                                {PubexUrl, "http://p"},
                                {GooglePatentsUrl, "https://gp"}}) {
            members.Store(id, std::string(text));
        }
    }
    tv::SettingsMembers members;
    std::string appPath;
    bool saves = true;
    QStringList calls;

    SettingValue Get(SettingId id) const override { return members.Value(id); }
    std::string GetAppPath() const override { return appPath; }
    bool Set(SettingId id, const SettingValue& v) override {
        members.Store(id, v);
        const QString shown = std::holds_alternative<std::string>(v)
                                  ? QString::fromStdString(tv::TextOf(v))
                                  : QString::number(tv::NumberOf(v));
        calls << QString("%1=%2").arg(tv::SettingName(id), shown);
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
        QCOMPARE(t.calls, (QStringList{"IE11Path=/ie", "ChromePath=/chrome",
                                       "EspacenetUrl=https://e", "GrantexUrl=http://g",
                                       "PubexUrl=http://p", "GooglePatentsUrl=https://gp"}));
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
        QCOMPARE(t.members.m_IE11Path, std::string("/ie"));
    }

    void preferencesStoreAClearedBoxAndStopAtAFailedSave() {
        FakeTarget t;
        frmPreferences d(t);
        Child<QLineEdit>(d, "Text5")->clear();
        Child<QPushButton>(d, "Command3")->click();
        QCOMPARE(t.calls.at(3), QString("GrantexUrl="));
        QCOMPARE(t.members.m_GrantexUrl, std::string());

        t.calls.clear();
        t.saves = false;
        Child<QPushButton>(d, "Command3")->click();
        QCOMPARE(t.calls, QStringList{"IE11Path=/ie"});
    }

    void navigationOpeningSelectsAndSavesTheStoredValue_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("option1");
        QTest::addColumn<bool>("option2");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("with") << 1 << true << false << QStringList{"NavigationOption=1"};
        QTest::newRow("without") << 0 << false << true << QStringList{"NavigationOption=0"};
        QTest::newRow("other") << 2 << false << false << QStringList{};
    }
    void navigationOpeningSelectsAndSavesTheStoredValue() {
        QFETCH(int, stored);
        FakeTarget t;
        t.members.m_NavigationOption = static_cast<std::int16_t>(stored);
        frmNavigationOptions d(t);
        QCOMPARE(d.windowTitle(), QString("Tessel Rendering Options"));
        QTEST(Child<QRadioButton>(d, "Option1")->isChecked(), "option1");
        QTEST(Child<QRadioButton>(d, "Option2")->isChecked(), "option2");
        QTEST(t.calls, "calls");
    }

    void navigationOkWithoutSelectionStoresZero() {
        FakeTarget t;
        t.members.m_NavigationOption = 2;
        frmNavigationOptions d(t);
        d.show();
        Child<QPushButton>(d, "Command1")->click();
        QCOMPARE(t.calls, QStringList{"NavigationOption=0"});
        QVERIFY(!d.isVisible());
    }

    void navigationClickStoresBeforeOk() {
        FakeTarget t;
        t.members.m_NavigationOption = 0;
        frmNavigationOptions d(t);
        d.show();
        Child<QRadioButton>(d, "Option1")->click();
        QCOMPARE(t.calls, (QStringList{"NavigationOption=0", "NavigationOption=1"}));
        Child<QPushButton>(d, "Command1")->click();
        QCOMPARE(t.calls.last(), QString("NavigationOption=1"));
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
