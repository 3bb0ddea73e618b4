// "Configure" of the whole program: the modal dialog on the main window's settings, ended by
// its buttons, and what the program then applies and writes.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "ConfigFakes.h"
#include "MonitorServiceFakes.h"
#include "ProgramFixture.h"
#include "app/composition/VorlaLink.h"
#include "settings/FindInSkin.h"
#include "ui/config/ConfigWindow.h"
#include "ui/controls/LumoComboBox.h"

namespace {

// Runs the user's part once the modal dialog is up.
void WhenShown(uiconfig::ConfigWindow& window, std::function<void(uiconfig::ConfigDialog&)> user) {
    QTimer::singleShot(0, [&window, user] {
        QTRY_VERIFY(window.Dialog().isVisible());
        user(window.Dialog());
    });
}

}  // namespace

class ConfigWindowTest : public QObject {
    Q_OBJECT
private slots:
    void okAppliesAndWritesTheSettingsAndCloseDropsThem();
    void programConfigureAddsAnAccountToTheSettingsFolder();
};

void ConfigWindowTest::okAppliesAndWritesTheSettingsAndCloseDropsThem() {
    uitest::ProgramFixture fixture({{"default"}});
    QVERIFY(fixture.Started());
    monitor::TVorla& vorla = fixture.Program().Vorla();
    testsupport::FakeDialUp dialUp;
    dialUp.entries = {"isp"};
    testsupport::FakeTimer timer;
    config::test::FakePreview preview;
    app::VorlaSkinHost skinHost(vorla, fixture.Program().View());
    uiconfig::ConfigWindow* shown = nullptr;
    app::VorlaConfigOwner owner({vorla, fixture.Program().View(), dialUp, timer,
                                 [&shown](config::TConfig&) { shown->Dialog().ShowModal(); }});
    uiconfig::ConfigWindow window({vorla.Shared().Config, vorla.Shared().Tables,
                                   vorla.SettingsFolder(), skinHost, owner, fixture.dialogs,
                                   fixture.shell, preview});
    shown = &window;
    const std::string ini = fixture.Folder() + "/Vorla.ini";

    const auto chooseFast = [](uiconfig::ConfigDialog& dialog, const char* button) {
        auto* speed = dialog.findChild<uicontrols::TLumoComboBox*>("ScrollSpeed");
        speed->setFocus();
        QTest::keyClick(speed, Qt::Key_End);
        QTest::mouseClick(dialog.findChild<QWidget*>(button), Qt::LeftButton);
    };
    WhenShown(window, [&](uiconfig::ConfigDialog& dialog) { chooseFast(dialog, "Cancel"); });
    window.Config1Click();
    QCOMPARE(vorla.Shared().Config.speed, 1);
    QCOMPARE(settings::FindInSkin(ini, "", "speed"), std::string("1"));

    WhenShown(window, [&](uiconfig::ConfigDialog& dialog) { chooseFast(dialog, "OK"); });
    window.Config1Click();
    QCOMPARE(vorla.Shared().Config.speed, 2);
    QCOMPARE(vorla.Ticker().Scroll.Interval(), std::uint16_t(5));
    QCOMPARE(timer.interval, 60000);
    QCOMPARE(settings::FindInSkin(ini, "", "speed"), std::string("2"));
    QVERIFY(fixture.dialogs.messages.empty());
}

// "Configure" from the main window's menu, with the settings apart from the program folder as
// an installed program has them: a new account is saved beside Vorla.ini and checked next.
void ConfigWindowTest::programConfigureAddsAnAccountToTheSettingsFolder() {
    uitest::ProgramFixture fixture({{"default"}}, {}, true);
    QVERIFY(fixture.Started());
    uiconfig::ConfigWindow* window = fixture.Program().Config();
    QVERIFY(window != nullptr);
    WhenShown(*window, [](uiconfig::ConfigDialog& dialog) {
        for (QAction* page : dialog.PageMenu().actions())
            if (page->text() == "Incoming Mails (POP3)")
                page->trigger();
        for (const auto& [name, text] : {std::pair{"NAccount", "Home"},
                                         {"HostTxt", "127.0.0.1"},
                                         {"UserName", "me"},
                                         {"Password", "secret"}}) {
            auto* edit = dialog.findChild<QLineEdit*>(name);
            QVERIFY(edit != nullptr && edit->isVisible());
            QTest::keyClicks(edit, text);
        }
        QTest::mouseClick(dialog.findChild<QWidget*>("AddAcc"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QWidget*>("OK"), Qt::LeftButton);
    });
    fixture.Program().PopMnu().actions().front()->trigger();
    QTRY_VERIFY(!window->Dialog().isVisible());
    const std::string accounts = fixture.SettingsFolder() + "Accounts.ini";
    QCOMPARE(settings::FindInSkin(accounts, "[Account1]", "acc_name"), std::string("Home"));
    QVERIFY(!std::filesystem::exists(fixture.Folder() + "/Accounts.ini"));
    QCOMPARE(fixture.Program().Vorla().Shared().Tables.AccountCount, 1);
    QVERIFY(fixture.dialogs.messages.empty());
}

QTEST_MAIN(ConfigWindowTest)
#include "config_window_test.moc"
