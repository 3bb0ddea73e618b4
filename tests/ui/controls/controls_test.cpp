// The skinned form controls on the offscreen platform: mouse, keyboard and what assistive
// technology reads from them.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

#include "RecordingShell.h"
#include "skin/ImgBtn.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ImageWidget.h"
#include "ui/controls/ImgBtnWidget.h"
#include "ui/controls/LumoCheckBox.h"
#include "ui/controls/LumoComboBox.h"
#include "ui/controls/LumoRadioBtn.h"
#include "ui/controls/TransparentMemo.h"
#include "ui/controls/WebLnk.h"

namespace {

// A shown, active top-level window for the controls under test.
std::unique_ptr<QWidget> ActiveWindow() {
    auto window = std::make_unique<QWidget>();
    window->setGeometry(200, 300, 400, 300);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the test window did not become active");
    }
    return window;
}

QAccessibleInterface* Accessible(QWidget& widget) {
    return QAccessible::queryAccessibleInterface(&widget);
}

// What assistive technology was told: the event, its object and the name read at that time.
struct Announcement {
    QAccessible::Event type;
    QObject* object;
    QString name;
};
std::vector<Announcement> announced;

void RecordAnnouncement(QAccessibleEvent& event) {
    QAccessibleInterface* face = event.accessibleInterface();
    announced.push_back(
        {event.type(), event.object(), face ? face->text(QAccessible::Name) : QString()});
}

int CountAnnounced(QAccessible::Event type, const QObject* object) {
    return static_cast<int>(
        std::count_if(announced.begin(), announced.end(),
                      [&](const Announcement& a) { return a.type == type && a.object == object; }));
}

// The control drawn with and without the focus: a focus mark changes its outline.
bool FocusMarkShows(QWidget& control) {
    control.clearFocus();
    const QImage plain = control.grab().toImage();
    control.setFocus(Qt::TabFocusReason);
    const QImage focused = control.grab().toImage();
    return control.hasFocus() && plain.pixel(0, 0) != focused.pixel(0, 0);
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void checkBoxStepsThroughGrayedByClickSpaceAndAccelerator();
    void radioButtonIsExclusiveAmongItsOwnSiblingsOnly();
    void radioButtonDrawsItsMarkAtEveryScale();
    void comboBoxPlacesItsCurrentEntryOverItselfAndReportsRealChanges();
    void webLinkOpensMailAddressesWithMailtoAndShowsHover();
    void transparentMemoClearsASelectionAtOnce();
    void assistiveTechnologyReadsRoleNameAndState();
    void everySkinnedControlIsPressedFocusedAndMarkedLikeAQtOne();
    void comboBoxAnnouncesOnlyNewTextsAndCaptionsOnlyNewNames();
};

void ControlsTest::checkBoxStepsThroughGrayedByClickSpaceAndAccelerator() {
    auto window = ActiveWindow();
    auto* other = new uicontrols::TLumoCheckBox(window.get());
    auto* box = new uicontrols::TLumoCheckBox(window.get());
    other->move(0, 40);
    box->SetCaption("Show icon in tra&y");
    box->SetAllowGrayed(true);
    box->show();
    other->show();
    QCOMPARE(box->size(), QSize(97, 17));
    QSignalSpy clicks(box, &uicontrols::TLumoCheckBox::Clicked);

    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->State(), uicontrols::CheckState::Grayed);
    QVERIFY(box->hasFocus());
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->State(), uicontrols::CheckState::Checked);
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(box->State(), uicontrols::CheckState::Unchecked);
    QCOMPARE(clicks.count(), 3);

    other->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::AltModifier);
    QVERIFY(box->hasFocus());
    QCOMPARE(box->State(), uicontrols::CheckState::Grayed);
    QCOMPARE(clicks.count(), 3);

    box->setEnabled(false);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->State(), uicontrols::CheckState::Grayed);
}

void ControlsTest::radioButtonIsExclusiveAmongItsOwnSiblingsOnly() {
    auto window = ActiveWindow();
    auto* panel = new QWidget(window.get());
    auto* elsewhere = new QWidget(window.get());
    uicontrols::TLumoRadioBtn* radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = new uicontrols::TLumoRadioBtn(panel);
        radios[i]->move(0, 20 * i);
    }
    auto* lone = new uicontrols::TLumoRadioBtn(elsewhere);
    lone->SetChecked(true);
    radios[0]->SetChecked(true);
    panel->show();
    elsewhere->show();
    bool checkedDuringClick = true;
    connect(radios[1], &uicontrols::TLumoRadioBtn::Clicked, this,
            [&] { checkedDuringClick = radios[1]->Checked(); });

    QTest::mouseClick(radios[1], Qt::LeftButton);
    QVERIFY(!checkedDuringClick);
    QVERIFY(radios[1]->Checked());
    QVERIFY(!radios[0]->Checked());
    QVERIFY(!radios[2]->Checked());
    QVERIFY(lone->Checked());

    QTest::keyClick(radios[1], Qt::Key_Down);
    QVERIFY(radios[2]->Checked());
    QVERIFY(radios[2]->hasFocus());
    QVERIFY(!radios[1]->Checked());
}

void ControlsTest::comboBoxPlacesItsCurrentEntryOverItselfAndReportsRealChanges() {
    auto window = ActiveWindow();
    auto* combo = new uicontrols::TLumoComboBox(window.get());
    combo->setGeometry(10, 200, 150, 40);
    combo->show();
    QCOMPARE(combo->height(), uicontrols::kComboHeight);
    combo->SetItems({"a", "b", "c", "d", "e"});
    QCOMPARE(combo->Text(), QString("a"));
    combo->SetItemIndex(3);
    QCOMPARE(combo->Text(), QString("d"));
    QSignalSpy changes(combo, &uicontrols::TLumoComboBox::Changed);

    QMenu* popup = combo->OpenPopup();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QCOMPARE(popup->pos().y(), combo->mapToGlobal(QPoint(0, 0)).y() - 21 * 3 - 5);
    QCOMPARE(popup->actions().size(), 5);
    QVERIFY(popup->actions()[3]->isChecked());
    popup->actions()[3]->trigger();
    QCOMPARE(changes.count(), 0);
    popup->actions()[1]->trigger();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(combo->ItemIndex(), 1);
    popup->close();

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->ItemIndex(), 2);
    QCOMPARE(changes.count(), 2);
    combo->SetItemIndex(9);
    QCOMPARE(combo->Text(), QString());
    QCOMPARE(changes.count(), 2);
}

void ControlsTest::webLinkOpensMailAddressesWithMailtoAndShowsHover() {
    auto window = ActiveWindow();
    testsupport::RecordingShell shell;
    auto* mail = new uicontrols::TWebLnk(window.get());
    mail->setText("author");
    mail->SetLink("author@example.org");
    mail->SetTypeLnk(uicontrols::LinkType::ltEmail);
    mail->SetShell(&shell);
    auto* web = new uicontrols::TWebLnk(window.get());
    web->move(0, 40);
    web->setText("site");
    web->SetLink("http://example.org/");
    web->SetShell(&shell);
    web->SetColorOn(Qt::red);
    window->show();

    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(web, Qt::LeftButton);
    QCOMPARE(shell.opened,
             (std::vector<std::string>{"mailto:author@example.org", "http://example.org/"}));

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(web, &enter);
    QVERIFY(web->font().underline());
    QCOMPARE(web->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(web->toolTip(), QString("http://example.org/"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(web, &leave);
    QVERIFY(!web->font().underline());
}

void ControlsTest::transparentMemoClearsASelectionAtOnce() {
    auto window = ActiveWindow();
    auto* memo = new uicontrols::TTransparentMemo(window.get());
    memo->resize(200, 100);
    memo->SetText("one line of text");
    memo->show();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(memo, Qt::Key_Right, Qt::ShiftModifier);
    QTRY_VERIFY(!memo->textCursor().hasSelection());
    QCOMPARE(memo->textCursor().position(), 2);
    QVERIFY(!memo->viewport()->autoFillBackground());
}

// A white well alone was the whole mark: on the dialog's grey a chosen button looked empty.
void ControlsTest::radioButtonDrawsItsMarkAtEveryScale() {
    auto window = ActiveWindow();
    QPalette grey = window->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    window->setPalette(grey);
    auto* radio = new uicontrols::TLumoRadioBtn(window.get());
    radio->SetCaption("A&ctive");
    radio->show();
    for (const int scale : {1, 2}) {
        for (const bool checked : {false, true}) {
            radio->SetChecked(checked);
            QImage drawn(radio->size() * scale, QImage::Format_RGB32);
            drawn.setDevicePixelRatio(scale);
            drawn.fill(Qt::magenta);
            radio->render(&drawn);
            // The middle of the 16-pixel box at the left, which the 17-pixel control centres.
            const int centre = qGray(drawn.pixel(QPoint(7, 7) * scale));
            const QByteArray where = QByteArray("scale ") + QByteArray::number(scale) +
                                     (checked ? " checked: " : " unchecked: ") +
                                     QByteArray::number(centre);
            QVERIFY2(checked ? centre < 64 : centre > 128, where.constData());
        }
    }
}

void ControlsTest::assistiveTechnologyReadsRoleNameAndState() {
    auto window = ActiveWindow();
    auto* box = new uicontrols::TLumoCheckBox(window.get());
    box->SetCaption("&Activate filters on messages");
    auto* radio = new uicontrols::TLumoRadioBtn(window.get());
    radio->SetCaption("&Inactive");
    auto* combo = new uicontrols::TLumoComboBox(window.get());
    combo->setAccessibleName("Scroll");
    combo->SetItems({"Slow", "Normal", "Fast"});
    combo->SetItemIndex(2);
    window->show();

    QAccessibleInterface* boxFace = Accessible(*box);
    QVERIFY(boxFace != nullptr);
    QCOMPARE(boxFace->role(), QAccessible::CheckBox);
    QCOMPARE(boxFace->text(QAccessible::Name), QString("Activate filters on messages"));
    QVERIFY(boxFace->state().checkable);
    QVERIFY(!boxFace->state().checked);
    boxFace->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(box->Checked());
    QVERIFY(boxFace->state().checked);

    QAccessibleInterface* radioFace = Accessible(*radio);
    QCOMPARE(radioFace->role(), QAccessible::RadioButton);
    QCOMPARE(radioFace->text(QAccessible::Name), QString("Inactive"));
    radio->SetChecked(true);
    QVERIFY(radioFace->state().checked);

    QAccessibleInterface* comboFace = Accessible(*combo);
    QCOMPARE(comboFace->role(), QAccessible::ComboBox);
    // As Qt's own combo box here: the chosen entry is the name, the title its description.
    QCOMPARE(comboFace->text(QAccessible::Name), QString("Fast"));
    QCOMPARE(comboFace->text(QAccessible::Value), QString("Fast"));
    QCOMPARE(comboFace->text(QAccessible::Description), QString("Scroll"));
    QVERIFY(comboFace->state().focusable);
}

// Each kind: its role and name, its own action first with Qt's SetFocus kept after it (through
// which a screen reader grabs the focus), what Space or Return does, and a focus mark.
void ControlsTest::everySkinnedControlIsPressedFocusedAndMarkedLikeAQtOne() {
    auto window = ActiveWindow();
    testsupport::RecordingShell shell;
    skin::TImgBtn state;
    state.Hint = "Check now";
    auto* button = new uicontrols::ImgBtnWidget(window.get(), state);
    auto* flag = new uicontrols::ImageWidget(window.get());
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    flag->SetImage(picture);
    flag->SetRole(QAccessible::PushButton);
    flag->SetSpokenName("Read mail");
    auto* link = new uicontrols::TWebLnk(window.get());
    link->setText("news");
    link->SetLink("http://example.org/");
    link->SetShell(&shell);
    auto* box = new uicontrols::TLumoCheckBox(window.get());
    box->SetCaption("&Sound");
    auto* radio = new uicontrols::TLumoRadioBtn(window.get());
    radio->SetCaption("&Network");
    auto* combo = new uicontrols::TLumoComboBox(window.get());
    combo->SetItems({"Auto", "TLS"});
    int y = 0;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        control->move(0, y);
        control->show();
        y += 30;
    }
    QSignalSpy clicks(button, &uicontrols::ImgBtnWidget::Clicked);
    QSignalSpy buttonPresses(button, &uicontrols::ImgBtnWidget::Pressed);
    QSignalSpy flagPresses(flag, &uicontrols::ImageWidget::Pressed);

    struct Row {
        const char* kind;
        QWidget* control;
        QAccessible::Role role;
        QString name;
        QString action;
        bool keyPresses;  // Space and Return press it, and it draws its own focus mark
    };
    const Row rows[] = {
        {"picture button", button, QAccessible::PushButton, "Check now",
         QAccessibleActionInterface::pressAction(), true},
        {"mail flag", flag, QAccessible::PushButton, "Read mail",
         QAccessibleActionInterface::pressAction(), true},
        {"link", link, QAccessible::Link, "news", QAccessibleActionInterface::pressAction(), true},
        {"check box", box, QAccessible::CheckBox, "Sound",
         QAccessibleActionInterface::toggleAction(), false},
        {"radio button", radio, QAccessible::RadioButton, "Network",
         QAccessibleActionInterface::pressAction(), false},
        {"combo box", combo, QAccessible::ComboBox, "Auto",
         QAccessibleActionInterface::showMenuAction(), false},
    };
    for (const Row& row : rows) {
        QAccessibleInterface* face = Accessible(*row.control);
        QVERIFY2(face != nullptr, row.kind);
        QVERIFY2(face->role() == row.role, row.kind);
        QVERIFY2(face->text(QAccessible::Name) == row.name, row.kind);
        const QStringList actions = face->actionInterface()->actionNames();
        QVERIFY2(actions.value(0) == row.action, row.kind);
        QVERIFY2(actions.contains(QAccessibleActionInterface::setFocusAction()), row.kind);
        row.control->clearFocus();
        face->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QVERIFY2(row.control->hasFocus(), row.kind);
        if (row.keyPresses) {
            QVERIFY2(FocusMarkShows(*row.control), row.kind);
            QTest::keyClick(row.control, Qt::Key_Space);
            QTest::keyClick(row.control, Qt::Key_Return);
            face->actionInterface()->doAction(row.action);
        }
    }
    // Three presses each: a click of the button, a double click of the flag, a link opened.
    QCOMPARE(clicks.count(), 3);
    QCOMPARE(buttonPresses.count(), 3);
    QVERIFY(buttonPresses.at(0).at(0).value<skin::ShiftState>().LeftAlone());
    QCOMPARE(flagPresses.count(), 3);
    const auto doubleClick = flagPresses.at(2).at(0).value<skin::ShiftState>();
    QVERIFY(doubleClick.Left && doubleClick.Double);
    QCOMPARE(shell.opened.size(), std::size_t(3));
    // A mouse user sees no focus mark on a skin: a click gives no focus, and the focus that
    // comes with the window's activation shows its mark only once a key is pressed.
    QCOMPARE(button->focusPolicy(), Qt::TabFocus);
    QCOMPARE(flag->focusPolicy(), Qt::TabFocus);
    button->clearFocus();
    const QImage plain = button->grab().toImage();
    button->setFocus(Qt::ActiveWindowFocusReason);
    QCOMPARE(button->grab().toImage(), plain);
    QTest::keyClick(button, Qt::Key_Shift);
    QVERIFY(button->grab().toImage() != plain);

    // Alt with a radio button's marked letter chooses it, as a click does.
    box->setFocus();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    QVERIFY(radio->Checked());
    QVERIFY(radio->hasFocus());
}

// A dialog sets every caption and list again after each action: a screen reader hears only
// what changed, and a chosen entry is announced with its own text.
void ControlsTest::comboBoxAnnouncesOnlyNewTextsAndCaptionsOnlyNewNames() {
    auto window = ActiveWindow();
    auto* label = new QLabel("Security :", window.get());
    auto* combo = new uicontrols::TLumoComboBox(window.get());
    combo->move(80, 0);
    label->setBuddy(combo);
    combo->SetItems({"Auto", "TLS", "STARTTLS"});
    auto* box = new uicontrols::TLumoCheckBox(window.get());
    box->move(0, 40);
    box->SetCaption("&Sound");
    window->show();
    QAccessibleInterface* face = Accessible(*combo);
    const auto labels = face->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first->object(), label);

    announced.clear();
    uicontrols::WatchAnnouncements(RecordAnnouncement);
    combo->SetItems({"Auto", "TLS", "STARTTLS"});
    combo->SetItemIndex(0);
    box->SetCaption("&Sound");
    const int unchanged = CountAnnounced(QAccessible::ValueChanged, combo) +
                          CountAnnounced(QAccessible::NameChanged, box);
    combo->ChooseEntry(1);
    box->SetCaption("&Sound on new mail :");
    uicontrols::WatchAnnouncements(nullptr);

    QCOMPARE(unchanged, 0);
    QCOMPARE(CountAnnounced(QAccessible::ValueChanged, combo), 1);
    QCOMPARE(CountAnnounced(QAccessible::NameChanged, box), 1);
    const auto change = std::find_if(announced.begin(), announced.end(),
                                     [&](const Announcement& a) { return a.object == combo; });
    QCOMPARE(change->name, QString("TLS"));
    QCOMPARE(face->text(QAccessible::Value), QString("TLS"));
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
