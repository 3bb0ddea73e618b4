#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include "FakeEventPump.h"
#include "MsgWindowFakes.h"
#include "Pop3Mailbox.h"
#include "RecordingDialogs.h"
#include "ScriptedTransport.h"
#include "SmtpPeer.h"
#include "TempFolder.h"
#include "app/composition/ComponentAdapters.h"
#include "platform/LinuxDesktop.h"
#include "skin/PictureLoader.h"
#include "ui/msgwindow/MsgWindow.h"

namespace {

skin::MainWindowSkin DefaultSkin() {
    skin::MainWindowSkin skin;
    const std::string folder = VORLA_SKINS "/default/";
    skin.MsgBackground = skin::LoadSkinBitmap(folder + "msgwin.bmp");
    skin.MsgWindow.MemoX = 24;
    skin.MsgWindow.MemoY = 38;
    skin.MsgWindow.MemoWidth = 352;
    skin.MsgWindow.MemoHeight = 192;
    static const char* const kNames[] = {"prev", "next", "reply", "delete", "close"};
    for (int i = 0; i < skin::kMsgButtonCount; ++i) {
        auto& button = skin.MsgWindow.Buttons[static_cast<std::size_t>(i)];
        button.NormalPath = folder + "msg_" + kNames[i] + ".bmp";
        button.HoverPath = folder + "msg_" + kNames[i] + "_hover.bmp";
        button.X = 24 + 30 * i;
        button.Y = 245;
    }
    return skin;
}

}  // namespace

class MsgWindowTest : public QObject {
    Q_OBJECT

private:
    struct Rig {
        Rig() { pop.Host = "127.0.0.1"; }
        testsupport::Pop3Mailbox box;
        testsupport::Pop3MailboxFactory factory{box};
        testsupport::FakeEventPump pump;
        mail::TQelPOP pop{factory, pump};
        app::QelPopClient popClient{pop};
        testsupport::SmtpPeer smtpPeer;
        testsupport::SmtpPeerFactory smtpFactory{smtpPeer};
        mail::TQelSMTP smtp{smtpFactory, pump};
        platform::XdgShell shell;
        monitor::Commun state;
        testsupport::FakeMainWindow mainWindow;
        testsupport::RecordingDialogs dialogs;
        skin::MainWindowSkin skin = DefaultSkin();
        uimsgwindow::MsgWindow window{
            {state, mainWindow, popClient, smtp, shell, dialogs, pump, skin}};

        // As the main window opens it on mail: a session, the count, the first message.
        void OpenMailbox() {
            state.IsConnected = true;
            state.CurrentAccount = 1;
            pop.Connect();
            QVERIFY(pop.Login(box.user, box.password));
            pop.GetMailCount();
            state.WaitingCount = static_cast<int>(pop.MessageCount);
            window.DisplayMessage(1, false);
        }
    };

private slots:
    void SizedAndShapedByTheBackground() {
        Rig rig;
        rig.window.ApplyFormShow();
        QCOMPARE(rig.window.size(), QSize(400, 280));
        const QRegion mask = rig.window.mask();
        QVERIFY(mask.contains(QPoint(200, 140)));
        QVERIFY(!mask.contains(QPoint(0, 279)));
        QCOMPARE(rig.window.Mess().geometry(), QRect(24, 38, 352, 192));
        QVERIFY(rig.window.windowFlags() & Qt::FramelessWindowHint);
        QStringList tips;
        for (int i = 0; i < skin::kMsgButtonCount; ++i)
            tips << rig.window.Button(static_cast<skin::MsgButton>(i)).toolTip();
        QCOMPARE(tips, QStringList({"Previous", "Next", "Reply", "Delete from server", "Close"}));
        QVERIFY(rig.dialogs.messages.empty());
    }

    void MailIsReadOnlyAndItsKeysPageTheNotepadTakesThem() {
        Rig rig;
        for (const char* subject : {"one", "two", "three"})
            rig.box.Add(std::string("From: ann@example.org\nSubject: ") + subject + "\n\nhi\n");
        rig.OpenMailbox();
        rig.window.ApplyFormShow();
        uimsgwindow::MemoEdit& memo = rig.window.Mess();
        QVERIFY(memo.isReadOnly());
        QTest::keyClick(&memo, Qt::Key_Right);
        QCOMPARE(rig.window.Logic().CurrentMsg, 2);
        QTest::keyClick(&memo, Qt::Key_PageDown);
        QCOMPARE(rig.window.Logic().CurrentMsg, 3);
        QTest::keyClick(&memo, Qt::Key_Left);
        QTest::keyClick(&memo, Qt::Key_PageUp);
        QCOMPARE(rig.window.Logic().CurrentMsg, 1);
        QCOMPARE(rig.mainWindow.drawn.back(), std::string("1 of 3"));
        QTest::keyClick(&memo, Qt::Key_A);
        QVERIFY(!memo.toPlainText().startsWith(QLatin1Char('a')));

        rig.state.NotepadMode = true;
        rig.window.ApplyFormShow();
        QVERIFY(!memo.isReadOnly());
        memo.CaretToStart();
        QTest::keyClick(&memo, Qt::Key_Right);
        QCOMPARE(memo.textCursor().position(), 1);
        QCOMPARE(rig.window.Logic().CurrentMsg, 1);
        QTest::keyClick(&memo, Qt::Key_A);
        QVERIFY(memo.toPlainText().contains(QLatin1Char('a')));
    }

    void ReplyToAMessageTypesIntoTheBodyAndKeepsItAcrossIdentities() {
        Rig rig;
        testsupport::TempFolder folder;
        folder.Write("home.txt", "-- \nBob\n");
        folder.Write("work.txt", "Work sig\n");
        rig.state.Config.vrmail = true;
        rig.state.Tables.AccountCount = 2;
        for (int i = 0; i < 2; ++i) {
            settings::AccountRecord& account = rig.state.Tables.AccountTable[i];
            account.acc_name = i == 0 ? "Home" : "Work";
            account.auth_addr = i == 0 ? "bob@example.net" : "stone@work.example";
            account.isign = true;
            account.auth_sign = folder.File(i == 0 ? "home.txt" : "work.txt");
        }
        rig.box.Add("From: ann@example.org\nSubject: lunch\n\nhi\n");
        rig.OpenMailbox();
        rig.window.ApplyFormShow();
        rig.window.show();
        QTest::mouseClick(&rig.window.Button(skin::kReplyBtn), Qt::LeftButton);
        uimsgwindow::ReplyPanelWidget& pan = rig.window.MailPan();
        auto* body = pan.findChild<QPlainTextEdit*>(QStringLiteral("MailBody"));
        QVERIFY(body);
        QCOMPARE(rig.window.focusWidget(), body);
        QCOMPARE(body->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QTest::keyClicks(body, "See you");
        QTest::keyClick(body, Qt::Key_Return);

        QTest::mousePress(&pan.De(), Qt::LeftButton);
        pan.IdentityMenu().actions()[1]->trigger();
        QCOMPARE(body->toPlainText(), QStringLiteral("See you\nWork sig"));
        QTest::keyClicks(body, "Bye");
        QCOMPARE(body->toPlainText(), QStringLiteral("See you\nByeWork sig"));
        QCOMPARE(pan.findChild<QLineEdit*>(QStringLiteral("MailTo"))->text(),
                 QStringLiteral("ann@example.org"));
    }

    void ButtonShowsItsHoverPicture() {
        Rig rig;
        rig.window.ApplyFormShow();
        uicontrols::ImgBtnWidget& next = rig.window.Button(skin::kNextBtn);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(&next, &enter);
        skin::TImgBtn& state = next.Button();
        QCOMPARE(state.Paint(0, 0).Shown, &state.PicOn);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&next, &leave);
        QCOMPARE(state.Paint(0, 0).Shown, &state.PicOff);
    }

    void PopupEnablesTheNotepadItems() {
        Rig rig;
        rig.state.NotepadMode = true;
        rig.window.Mess().Add("a note");
        rig.window.PopupMenu(QPoint(10, 10));
        QStringList shown;
        for (QAction* action : rig.window.MnuMsg().actions()) {
            shown << (action->isSeparator()
                          ? QStringLiteral("-")
                          : action->text() + (action->isEnabled() ? "=on" : "=off"));
        }
        QCOMPARE(shown, QStringList({"Read Mail=off", "Read full mail=off", "Save attachments=off",
                                     "-", "Open file=on", "Save=off", "Save as...=on", "-",
                                     "Close window=on"}));
        rig.window.MnuMsg().close();
    }

    void MemoKeepsNoSelectionAndPagesInNotepadMode() {
        Rig rig;
        rig.state.NotepadMode = true;
        rig.window.ApplyFormShow();
        for (int i = 0; i < 200; ++i)
            rig.window.Mess().Add("line " + std::to_string(i));
        rig.window.Mess().CaretToStart();
        rig.window.Mess().selectAll();
        QVERIFY(!rig.window.Mess().textCursor().hasSelection());
        rig.window.Logic().NextClick();
        QVERIFY(rig.window.Mess().textCursor().blockNumber() > 0);
        QCOMPARE(rig.window.Mess().Lines().size(), std::size_t{200});
    }

    void LinesAddedTogetherShowOnceEventsRun() {
        Rig rig;
        uimsgwindow::MemoEdit& memo = rig.window.Mess();
        memo.Add("first");
        memo.Add("two\r\nthree");
        QCOMPARE(memo.Lines(), (std::vector<std::string>{"first", "two", "three"}));
        QCoreApplication::processEvents();
        QCOMPARE(memo.toPlainText(), QStringLiteral("first\ntwo\nthree"));
        memo.Add("four");
        memo.Clear();
        memo.Add("only");
        QCoreApplication::processEvents();
        QCOMPARE(memo.toPlainText(), QStringLiteral("only"));
    }

    void DragsWithTheLeftButtonAndRemembersWhereItWasClosed() {
        Rig rig;
        rig.window.ApplyFormShow();
        rig.window.move(50, 60);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(100, 100),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &press);
        QMouseEvent drag(QEvent::MouseMove, QPointF(35, 25), QPointF(130, 120), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &drag);
        QCOMPARE(rig.window.pos(), QPoint(80, 80));
        QMouseEvent hover(QEvent::MouseMove, QPointF(45, 25), QPointF(140, 120), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &hover);
        QCOMPARE(rig.window.pos(), QPoint(80, 80));
        rig.window.Logic().CloseMsgClick();
        QCOMPARE(rig.state.Config.memo_posx, 80);
        QCOMPARE(rig.state.Config.memo_posy, 80);
    }

    void ReplyButtonLaysThePanelOverTheMemoAndDeChoosesTheIdentity() {
        Rig rig;
        rig.state.NotepadMode = true;
        rig.state.Config.vrmail = true;
        rig.state.Tables.AccountCount = 2;
        rig.state.Tables.AccountTable[0].acc_name = "Home";
        rig.state.Tables.AccountTable[0].auth_addr = "bob@example.net";
        rig.state.Tables.AccountTable[1].acc_name = "Work & Co";
        rig.state.Tables.AccountTable[1].auth_addr = "stone@work.example";
        rig.window.ApplyFormShow();
        rig.window.show();
        QTest::mouseClick(&rig.window.Button(skin::kReplyBtn), Qt::LeftButton);
        uimsgwindow::ReplyPanelWidget& pan = rig.window.MailPan();
        QVERIFY(pan.isVisible());
        QCOMPARE(pan.geometry(), rig.window.Mess().geometry());
        auto* from = pan.findChild<QLineEdit*>(QStringLiteral("MailFrom"));
        QVERIFY(from && from->isReadOnly());
        QCOMPARE(from->text(), QStringLiteral("bob@example.net"));
        QStringList captions;
        for (QLabel* label : pan.findChildren<QLabel*>())
            captions << label->text();
        QCOMPARE(captions, QStringList({"to :", "subj :"}));
        QCOMPARE(pan.De().Button().Caption, std::string("from"));
        auto* body = pan.findChild<QPlainTextEdit*>(QStringLiteral("MailBody"));
        QVERIFY(body && body->geometry().right() == pan.width() - 1 &&
                body->geometry().bottom() == pan.height() - 1);

        QTest::mousePress(&pan.De(), Qt::LeftButton);
        QMenu& menu = pan.IdentityMenu();
        QCOMPARE(menu.actions().size(), 2);
        QCOMPARE(menu.actions()[1]->text(), QStringLiteral("Work && Co (stone@work.example)"));
        menu.actions()[1]->trigger();
        QCOMPARE(from->text(), QStringLiteral("stone@work.example"));
        QVERIFY(pan.isVisible());

        rig.window.Logic().CloseMsgClick();
        QVERIFY(!pan.isVisible());
    }

    void FiltersBecomeQtNameFilters() {
        QCOMPARE(uimsgwindow::NameFilters(msgwindow::kSaveFilter),
                 QStringList({"text (*.txt)", "all (*)"}));
    }
};

QTEST_MAIN(MsgWindowTest)
#include "msg_window_test.moc"
