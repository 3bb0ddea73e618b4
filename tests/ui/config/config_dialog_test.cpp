// "Vorla Configuration" on the offscreen platform, driven by objectName as a user would,
// with the files it writes read back.
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <iterator>
#include <memory>

#include "ConfigFakes.h"
#include "config/ConfigControls.h"
#include "config/ConfigTexts.h"
#include "config/PageMenu.h"
#include "config/TConfig.h"
#include "settings/FindInSkin.h"
#include "ui/config/ConfigDialog.h"
#include "ui/config/QtConfigFileDialogs.h"
#include "ui/controls/LumoCheckBox.h"
#include "ui/controls/LumoComboBox.h"

using namespace config::test;

class ConfigDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyControlHasAWidgetOfItsName();
    void anAccountTypedAndAddedIsWrittenAtOnce();
    void everyShowingStartsOnMainOptions();
    void theTrayBoxEnablesHideAndTheAcceleratorTogglesWithoutTheHandler();
    void okEndsAcceptedAfterWritingTheFiltersAndEscapeCloses();
    void controlsAreNamedForAssistiveTechnology();
    void fileFiltersKeepTheirPatterns();
    void typingPort995ShowsTlsAndABadSmtpPinKeepsTheDialogOpen();
    void everyPageFitsAboveTheButtons();

private:
    template <typename T = QWidget>
    T* Find(const char* name) {
        T* widget = m_dialog->findChild<T*>(name);
        if (widget == nullptr) {
            qWarning("no widget %s", name);
        }
        return widget;
    }
    void Open();
    void ChoosePage(const char* item);

    std::unique_ptr<QTemporaryDir> m_dir;
    settings::Config m_settings;
    settings::Tables m_tables;
    std::unique_ptr<RecordingDialogs> m_messages;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<ScriptedFileDialogs> m_files;
    std::unique_ptr<FakeSkinHost> m_skinHost;
    std::unique_ptr<FakePreview> m_preview;
    std::unique_ptr<config::TConfig> m_logic;
    std::unique_ptr<uiconfig::ConfigDialog> m_dialog;
};

void ConfigDialogTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = settings::Config{};
    m_tables = settings::Tables{};
    m_settings.icon_tray = true;
    m_messages = std::make_unique<RecordingDialogs>();
    m_shell = std::make_unique<RecordingShell>();
    m_files = std::make_unique<ScriptedFileDialogs>();
    m_skinHost = std::make_unique<FakeSkinHost>(m_settings);
    m_preview = std::make_unique<FakePreview>();
    m_logic = std::make_unique<config::TConfig>(
        m_settings, m_tables, m_dir->path().toStdString(),
        config::ConfigServices{*m_messages, *m_shell, *m_files, *m_skinHost, *m_preview});
    m_dialog = std::make_unique<uiconfig::ConfigDialog>(*m_logic);
}

void ConfigDialogTest::cleanup() {
    m_dialog.reset();
    m_logic.reset();
}

void ConfigDialogTest::Open() {
    m_logic->FillConfigDialog({}, {});
    m_logic->FormShow();
    m_dialog->Sync();
    m_dialog->open();
    QApplication::setActiveWindow(m_dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
}

void ConfigDialogTest::ChoosePage(const char* item) {
    QAction* action = m_dialog->PageMenu().findChild<QAction*>(item);
    QVERIFY(action != nullptr);
    action->trigger();
}

void ConfigDialogTest::everyControlHasAWidgetOfItsName() {
    for (const std::string& name : m_logic->Controls.Names()) {
        QVERIFY2(m_dialog->findChild<QWidget*>(QString::fromStdString(name)) != nullptr,
                 name.c_str());
    }
    QCOMPARE(m_dialog->windowTitle(), QString("Vorla Configuration"));
    QCOMPARE(Find<QPushButton>("Cancel")->text(), QString("&Close"));
    QCOMPARE(Find<uicontrols::TLumoCheckBox>("ChkAutorun")->Caption(),
             QString("Launch Vorla on &desktop startup"));
}

void ConfigDialogTest::anAccountTypedAndAddedIsWrittenAtOnce() {
    Open();
    ChoosePage("MnuCpt");
    QVERIFY(Find("PopPan")->isVisible());
    QTest::keyClicks(Find("NAccount"), "home");
    QTest::keyClicks(Find("HostTxt"), "127.0.0.1");
    QTest::keyClicks(Find("UserName"), "bob");
    QTest::keyClicks(Find("Password"), "secret");
    QTest::mouseClick(Find("AddAcc"), Qt::LeftButton);
    QVERIFY(m_messages->messages.empty());
    const std::string file = m_dir->path().toStdString() + "/Accounts.ini";
    QCOMPARE(settings::FindInSkin(file, "[Account1]", "acc_name"), std::string("home"));
    QCOMPARE(settings::FindInSkin(file, "[Account1]", "host_name"), std::string("127.0.0.1"));
    QCOMPARE(Find<QLineEdit>("NAccount")->text(), QString());
    QVERIFY(Find("NAccount")->hasFocus());
    QVERIFY(Find<QPushButton>("AddAcc")->isDefault());
}

void ConfigDialogTest::everyShowingStartsOnMainOptions() {
    Open();
    ChoosePage("MnuSkin");
    QVERIFY(Find("SkinPan")->isVisible());
    QTest::mouseClick(Find("Cancel"), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    Open();
    QVERIFY(Find("OptPan")->isVisible());
    QVERIFY(!Find("SkinPan")->isVisible());
    QCOMPARE(Find<QWidget>("MenuBtn")->property("text").toString(), QString("Main Options"));
}

void ConfigDialogTest::theTrayBoxEnablesHideAndTheAcceleratorTogglesWithoutTheHandler() {
    Open();
    auto* tray = Find<uicontrols::TLumoCheckBox>("ChkTray");
    auto* hide = Find<uicontrols::TLumoCheckBox>("ChkHide");
    QVERIFY(hide->isEnabled());
    QTest::mouseClick(tray, Qt::LeftButton);
    QVERIFY(!tray->Checked());
    QVERIFY(!hide->isEnabled());
    QVERIFY(!m_logic->Controls["ChkHide"].Enabled);

    QTest::keyClick(m_dialog.get(), Qt::Key_Y, Qt::AltModifier);
    QVERIFY(tray->Checked());
    QVERIFY(m_logic->Controls["ChkTray"].Checked);
    QVERIFY(!hide->isEnabled());
}

void ConfigDialogTest::okEndsAcceptedAfterWritingTheFiltersAndEscapeCloses() {
    Open();
    ChoosePage("MnuNews");
    Find("ScrollSpeed")->setFocus();
    QTest::keyClick(Find("ScrollSpeed"), Qt::Key_End);
    QCOMPARE(m_logic->Controls["ScrollSpeed"].Index, 2);
    QTest::mouseClick(Find("OK"), Qt::LeftButton);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_logic->Result(), config::DialogResult::Ok);
    const std::string filters = m_dir->path().toStdString() + "/VrFilter.ini";
    QCOMPARE(settings::FindInSkin(filters, "[Misc]", "max_size"), std::string("0"));

    Open();
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    QCOMPARE(m_logic->Result(), config::DialogResult::Cancel);
    QVERIFY(!m_dialog->isVisible());
}

void ConfigDialogTest::controlsAreNamedForAssistiveTechnology() {
    Open();
    QAccessibleInterface* tray = QAccessible::queryAccessibleInterface(Find("ChkTray"));
    QCOMPARE(tray->role(), QAccessible::CheckBox);
    QCOMPARE(tray->text(QAccessible::Name), QString("Show icon in tray"));
    QAccessibleInterface* speed = QAccessible::queryAccessibleInterface(Find("ScrollSpeed"));
    QCOMPARE(speed->role(), QAccessible::ComboBox);
    QCOMPARE(speed->text(QAccessible::Name), QString("Scroll : "));
    QCOMPARE(speed->text(QAccessible::Value), QString("Slow"));
}

void ConfigDialogTest::fileFiltersKeepTheirPatterns() {
    QCOMPARE(uiconfig::QtFilterList("Wav files (*.wav) | *.wav"), QString("Wav files (*.wav)"));
    QCOMPARE(uiconfig::QtFilterList("skins (*.ini)|*.ini|text (*.txt)|*.txt"),
             QString("skins (*.ini);;text (*.txt)"));
    QCOMPARE(uiconfig::QtFilterList("Programs | *"), QString("Programs (*)"));
}

void ConfigDialogTest::typingPort995ShowsTlsAndABadSmtpPinKeepsTheDialogOpen() {
    Open();
    ChoosePage("MnuCpt");
    auto* security = Find<uicontrols::TLumoComboBox>("TlsMode");
    QCOMPARE(security->Text(), QString("Auto"));
    auto* port = Find<QLineEdit>("PortTxt");
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "995");
    QCOMPARE(security->Text(), QString("TLS"));
    QVERIFY(port->hasFocus());
    QCOMPARE(port->text(), QString("995"));

    ChoosePage("VrMail1");
    QTest::keyClicks(Find("SmtpFingerprint"), "AB:CD");
    ChoosePage("MnuOp");
    QTest::mouseClick(Find("OK"), Qt::LeftButton);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_messages->messages, std::vector<std::string>{config::kBadFingerprint});
    QVERIFY(Find("AdvPan")->isVisible());
    QVERIFY(Find("SmtpFingerprint")->hasFocus());
}

void ConfigDialogTest::everyPageFitsAboveTheButtons() {
    Open();
    const int buttonsTop = Find("OK")->mapTo(m_dialog.get(), QPoint(0, 0)).y();
    for (const config::PageMenuItem& item : config::PageMenuItems()) {
        if (item.Caption.empty()) {
            continue;
        }
        ChoosePage(item.Name.c_str());
        QWidget* panel = Find(item.Page.c_str());
        QVERIFY(panel->isVisible());
        for (QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect box(child->mapTo(m_dialog.get(), QPoint(0, 0)), child->size());
            const QString name = child->objectName();
            QVERIFY2(box.bottom() < buttonsTop && box.right() < m_dialog->width(),
                     qPrintable(name));
            QVERIFY2(child->height() >= child->minimumSizeHint().height(), qPrintable(name));
        }
    }
}

QTEST_MAIN(ConfigDialogTest)
#include "config_dialog_test.moc"
