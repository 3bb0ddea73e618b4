// The skinned form controls on the offscreen platform: mouse, keyboard and what assistive
// technology reads from them.
#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "RecordingShell.h"
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
    QCOMPARE(comboFace->text(QAccessible::Name), QString("Scroll"));
    QCOMPARE(comboFace->text(QAccessible::Value), QString("Fast"));
    QVERIFY(comboFace->state().focusable);
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
