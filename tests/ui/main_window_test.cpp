// The main window on the offscreen platform: shape, hover, dragging, the menu, On Top.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ProgramFixture.h"
#include "skin/PictureLoader.h"
#include "skin/Region.h"
#include "ui/controls/Pictures.h"
#include "ui/main/MainMenu.h"

using uitest::ProgramFixture;

namespace {

// A point of the window's own surface: inside the outline and on no button or image.
QPoint FreeSurfacePoint(QWidget& window) {
    const QRegion mask = window.mask();
    for (int y = window.height() / 2; y < window.height(); ++y) {
        for (int x = window.width() / 2; x < window.width(); ++x) {
            if (mask.contains(QPoint(x, y)) && window.childAt(x, y) == nullptr) {
                return {x, y};
            }
        }
    }
    return {-1, -1};
}

void SendMouse(QWidget& window, QEvent::Type type, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(window.mapFromGlobal(global)), QPointF(global), button, held,
                      modifiers);
    QApplication::sendEvent(&window, &event);
}

// Presses the left button at the surface point, moves the pointer by each step in turn and
// returns the window's left edge after every move.
std::vector<int> DragLeftEdges(QWidget& window, const std::vector<QPoint>& steps,
                               Qt::KeyboardModifiers modifiers) {
    QPoint global = window.mapToGlobal(FreeSurfacePoint(window));
    SendMouse(window, QEvent::MouseButtonPress, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    std::vector<int> lefts;
    for (const QPoint& step : steps) {
        global += step;
        SendMouse(window, QEvent::MouseMove, global, Qt::NoButton, Qt::LeftButton, modifiers);
        lefts.push_back(window.x());
    }
    SendMouse(window, QEvent::MouseButtonRelease, global, Qt::LeftButton, Qt::NoButton, modifiers);
    return lefts;
}

QAction* FindAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QStringList BuiltItems(QMenu& menu) {
    QStringList texts;
    const QList<QAction*> actions = menu.actions();
    for (qsizetype i = 2; i < actions.size(); ++i) {
        texts << actions[i]->text();
    }
    return texts;
}

QStringList ActionTexts(QMenu& menu) {
    QStringList texts;
    for (QAction* action : menu.actions()) {
        texts << action->text();
    }
    return texts;
}

// The open popup menus, topmost first.
std::vector<QMenu*> OpenMenus() {
    std::vector<QMenu*> menus;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(widget); menu != nullptr && menu->isVisible()) {
            menus.push_back(menu);
        }
    }
    return menus;
}

void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

// A right button press and release through the window system, as a real click arrives:
// this is the path on which Qt also sends the context menu event.
void RightClick(QWidget& window, QPoint at) {
    QTest::mousePress(window.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(window.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
}

void SendButtonEvent(QWidget& widget, QEvent::Type type, Qt::MouseButtons held) {
    const QPointF at(widget.width() / 2, widget.height() / 2);
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void takesSizeAndOutlineOfTheBackground() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        const skin::Bitmap background =
            skin::LoadBitmapFile(fixture.SkinFolder("default") + "main.bmp");
        QCOMPARE(window.size(), QSize(background.Width(), background.Height()));
        const auto outline = skin::RegionFromBitmap(background, skin::KeyColour, 0);
        QVERIFY(outline.has_value());
        QCOMPARE(window.mask(), uicontrols::ToRegion(*outline));
        // The shipped skin is a capsule: its corners are cut away, its middle is not.
        QVERIFY(!window.mask().contains(QPoint(0, 0)));
        QVERIFY(!window.mask().contains(QPoint(window.width() - 1, window.height() - 1)));
        QVERIFY(window.mask().contains(QPoint(window.width() / 2, window.height() / 2)));
        QVERIFY(window.windowFlags().testFlag(Qt::Tool));
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    }

    void hoverShowsTheSelectPicture() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uicontrols::ImgBtnWidget& button = fixture.Program().Window().Connect();
        const skin::Picture normal = button.Button().PicOff;
        const skin::Picture hover = button.Button().PicOn;
        QVERIFY(!(normal.Image == hover.Image));
        // A pixel that differs between the two pictures and is drawn in both.
        QPoint probe(-1, -1);
        for (int y = 0; y < normal.Height() && probe.x() < 0; ++y) {
            for (int x = 0; x < normal.Width(); ++x) {
                const skin::Pixel a = normal.Image.At(x, y);
                const skin::Pixel b = hover.Image.At(x, y);
                if (!skin::SameRgb(a, b) && !skin::SameRgb(a, skin::KeyColour) &&
                    !skin::SameRgb(b, skin::KeyColour)) {
                    probe = {x, y};
                    break;
                }
            }
        }
        QVERIFY(probe.x() >= 0);
        const auto shown = [&] { return button.grab().toImage().pixel(probe) & 0xFFFFFFu; };
        QCOMPARE(shown(), normal.Image.At(probe.x(), probe.y()) & 0xFFFFFFu);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&button, &enter);
        QCOMPARE(shown(), hover.Image.At(probe.x(), probe.y()) & 0xFFFFFFu);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(shown(), normal.Image.At(probe.x(), probe.y()) & 0xFFFFFFu);
    }

    void dragSnapsToTheLeftEdgeWithinNinePixels() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        QCOMPARE(window.pos(), QPoint(50, 50));
        QVERIFY(FreeSurfacePoint(window).x() >= 0);
        // 50 - 41 = 9 pixels from the edge while moving left: snapped to 0. Moving right
        // releases it; moving left again from 4 snaps again.
        const std::vector<int> lefts =
            DragLeftEdges(window, {{-30, 0}, {-11, 0}, {4, 0}, {-1, 0}}, Qt::NoModifier);
        QCOMPARE(lefts, (std::vector<int>{20, 0, 4, 0}));
        // Ten pixels from the edge is not close enough.
        window.move(50, 50);
        QCOMPARE(DragLeftEdges(window, {{-40, 0}}, Qt::NoModifier), (std::vector<int>{10}));
    }

    void dragSnapsToTheRightAndBottomEdges() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        const QSize screen = window.screen()->geometry().size();
        window.move(screen.width() - window.width() - 20, 50);
        QCOMPARE(DragLeftEdges(window, {{11, 0}}, Qt::NoModifier),
                 (std::vector<int>{screen.width() - window.width()}));
    }

    void dragWithShiftOrRightButtonDoesNothing() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        QCOMPARE(DragLeftEdges(window, {{-45, 0}}, Qt::ShiftModifier), (std::vector<int>{50}));
        QCOMPARE(DragLeftEdges(window, {{-45, 0}}, Qt::ControlModifier), (std::vector<int>{50}));
        QPoint global = window.mapToGlobal(FreeSurfacePoint(window));
        SendMouse(window, QEvent::MouseButtonPress, global, Qt::RightButton, Qt::RightButton,
                  Qt::NoModifier);
        SendMouse(window, QEvent::MouseMove, global - QPoint(45, 0), Qt::NoButton, Qt::RightButton,
                  Qt::NoModifier);
        QCOMPARE(window.x(), 50);
        QVERIFY(fixture.dialogs.messages.empty());
    }

    void skinsSubmenuListsFoldersInCaseBlindOrder() {
        ProgramFixture fixture({{"Zebra"}, {"apple"}, {"Blue"}});
        QVERIFY(fixture.Started());
        uimain::MainMenu& menu = fixture.Program().PopMnu();
        menu.Rebuild();
        QCOMPARE(BuiltItems(menu.SkinMnu()), (QStringList{"apple", "Blue", "Zebra"}));
        QCOMPARE(menu.SkinMnu().actions().at(0)->text(), QStringLiteral("Get other skins..."));
        QVERIFY(menu.SkinMnu().actions().at(1)->isSeparator());
        // Rebuilding replaces the built items instead of adding to them.
        menu.Rebuild();
        QCOMPARE(BuiltItems(menu.SkinMnu()).size(), 3);
        const QStringList fixed{"Configure", "",      "Skins", "News", "",
                                "On Top",    "&Help", "",      "Exit"};
        QStringList shown;
        for (QAction* action : menu.actions()) {
            shown << action->text();
        }
        QCOMPARE(shown, fixed);
    }

    void failedSkinSwitchRestoresTheOldSkinAndTells() {
        ProgramFixture fixture({{"apple"}, {"broken", true}});
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        uimain::MainWindow& window = program.Window();
        const QSize size = window.size();
        window.move(120, 80);
        window.hide();
        uimain::MainMenu& menu = program.PopMnu();
        menu.Rebuild();
        QAction* broken = FindAction(menu.SkinMnu(), "broken");
        QVERIFY(broken != nullptr);
        broken->trigger();
        QCOMPARE(fixture.dialogs.messages,
                 (std::vector<std::string>{"-Err :  Invalid SKIN.INI, check the bitmaps."}));
        QCOMPARE(program.Vorla().Shared().Config.SkinFolder, fixture.SkinFolder("apple"));
        QCOMPARE(window.size(), size);
        QVERIFY(window.isVisible());
        // The reload puts the window back at the saved position.
        QCOMPARE(window.pos(), QPoint(50, 50));
    }

    void onTopTogglesTheWindowFlagInPlace() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        uimain::MainWindow& window = program.Window();
        window.move(70, 90);
        uimain::MainMenu& menu = program.PopMnu();
        menu.Rebuild();
        QVERIFY(!menu.OnTop().isChecked());
        menu.OnTop().trigger();
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(program.Vorla().Shared().Config.ontop);
        QCOMPARE(window.pos(), QPoint(70, 90));
        QVERIFY(window.isVisible());
        menu.Rebuild();
        QVERIFY(menu.OnTop().isChecked());
        menu.OnTop().trigger();
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!program.Vorla().Shared().Config.ontop);
        QCOMPARE(window.pos(), QPoint(70, 90));
    }

    void startsDisconnectedWithTheStatusDrawn() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        QCOMPARE(fixture.Program().Vorla().Ticker().StatusText, std::string("Disconnected"));
        QCOMPARE(window.Online().toolTip(), QStringLiteral("Disconnected"));
        QVERIFY(!window.STATBMP().Image().isNull());
        QVERIFY(!window.NBMSGBMP().Image().isNull());
        QCOMPARE(window.STATBMP().pos(), QPoint(fixture.Program().Vorla().Skin().STATBMP.Left,
                                                fixture.Program().Vorla().Skin().STATBMP.Top));
        QVERIFY(fixture.dialogs.messages.empty());
    }

    void statusLineShowsTheDrawnPixelsAndCoversWhatLiesUnder() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uicontrols::ImageWidget& status = fixture.Program().Window().STATBMP();
        const skin::Bitmap& drawn = fixture.Program().Vorla().Skin().STATBMP.Shown.Image;
        QCOMPARE(status.Image().convertToFormat(QImage::Format_ARGB32),
                 uicontrols::ToQImage(drawn));
        // The skin's pictures are opaque: the window's background is not painted under it.
        QVERIFY(status.testAttribute(Qt::WA_OpaquePaintEvent));

        // A picture with a transparent pixel (a GIF background) keeps its alpha.
        skin::Bitmap holed(3, 2, skin::Rgb(10, 20, 30));
        holed.Set(1, 1, skin::kTransparentPixel);
        const QImage shown = uicontrols::ToShownImage(holed);
        QVERIFY(shown.hasAlphaChannel());
        QCOMPARE(qAlpha(shown.pixel(1, 1)), 0);
        status.ShowNow(shown);
        QVERIFY(!status.testAttribute(Qt::WA_OpaquePaintEvent));

        // The ticker's drawings go into the widget's own image, whose buffer a drawing of the
        // same size keeps.
        status.ShowNow(drawn);
        QVERIFY(status.testAttribute(Qt::WA_OpaquePaintEvent));
        QCOMPARE(status.Image().convertToFormat(QImage::Format_ARGB32),
                 uicontrols::ToQImage(drawn));
        const uchar* buffer = status.Image().constBits();
        status.ShowNow(drawn);
        QCOMPARE(status.Image().constBits(), buffer);
    }

    void rightClickOpensOneMenu() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        uimain::MainMenu& menu = fixture.Program().PopMnu();
        struct Row {
            const char* name;
            QPoint at;
            bool mainMenu;
        };
        const std::vector<Row> rows{
            {"surface", FreeSurfacePoint(window), true},
            {"mail flag", window.FLAG().geometry().center(), true},
            {"RefreshBtn: the account menu alone", window.RefreshBtn().geometry().center(), false},
        };
        for (const Row& row : rows) {
            RightClick(window, row.at);
            const std::vector<QMenu*> menus = OpenMenus();
            QVERIFY2(menus.size() == 1, row.name);
            QVERIFY2((menus.front() == &menu) == row.mainMenu, row.name);
            if (!row.mainMenu) {
                QVERIFY2(ActionTexts(*menus.front()).contains("Check all accounts"), row.name);
            }
            CloseMenus();
        }
    }

    void doubleClickOnAButtonIsOneClick() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uicontrols::ImgBtnWidget& button = fixture.Program().Window().MAIL();
        QSignalSpy clicks(&button, &uicontrols::ImgBtnWidget::Clicked);
        QSignalSpy presses(&button, &uicontrols::ImgBtnWidget::Pressed);
        SendButtonEvent(button, QEvent::MouseButtonPress, Qt::LeftButton);
        SendButtonEvent(button, QEvent::MouseButtonRelease, Qt::NoButton);
        SendButtonEvent(button, QEvent::MouseButtonDblClick, Qt::LeftButton);
        SendButtonEvent(button, QEvent::MouseButtonRelease, Qt::NoButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(presses.count(), 2);
        QVERIFY(presses.at(1).at(0).value<skin::ShiftState>().Double);
        // The next plain click counts again.
        SendButtonEvent(button, QEvent::MouseButtonPress, Qt::LeftButton);
        SendButtonEvent(button, QEvent::MouseButtonRelease, Qt::NoButton);
        QCOMPARE(clicks.count(), 2);
    }

    // Disconnected, the double click opens the message window as a notepad; its close button
    // hands back to the main window.
    void doubleClickOnTheFlagOpensTheMessageWindow() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimsgwindow::MsgWindow& messages = fixture.Program().MsgList();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(messages.isVisible());
            seen = true;
            QVERIFY(fixture.Program().Vorla().Shared().NotepadMode);
            QCOMPARE(messages.size(),
                     uicontrols::ToQImage(fixture.Program().Vorla().Skin().MsgBackground).size());
            QTest::mouseClick(&messages.Button(skin::kExitBtn), Qt::LeftButton);
        });
        uicontrols::ImageWidget& flag = fixture.Program().Window().FLAG();
        SendButtonEvent(flag, QEvent::MouseButtonPress, Qt::LeftButton);
        SendButtonEvent(flag, QEvent::MouseButtonRelease, Qt::NoButton);
        SendButtonEvent(flag, QEvent::MouseButtonDblClick, Qt::LeftButton);
        SendButtonEvent(flag, QEvent::MouseButtonRelease, Qt::NoButton);
        QVERIFY(seen);
        QVERIFY(!messages.isVisible());
        QVERIFY(fixture.dialogs.messages.empty());
    }

    void startHiddenHidesAtTheFirstPaint() {
        ProgramFixture fixture({{"default"}}, {"hidden =1"});
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        uimain::MainWindow& window = program.Window();
        // The window is shown; its first paint, when it comes, hides it again.
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 2000);
        QVERIFY(!program.Vorla().Timers().FirstPaintPending);
        QVERIFY(!program.Vorla().Ticker().Scroll.Enabled());
        // Shown from the tray, it paints and stays.
        emit program.View().Tray().activated(QSystemTrayIcon::Trigger);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);
        QVERIFY(window.isVisible());
        QVERIFY(program.Vorla().Ticker().Scroll.Enabled());
    }

    void trayClicksToggleTheWindowAndOpenTheMenu() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        uimain::MainWindow& window = program.Window();
        QSystemTrayIcon& tray = program.View().Tray();
        QVERIFY(window.isVisible());
        emit tray.activated(QSystemTrayIcon::Trigger);
        QVERIFY(!window.isVisible());
        QVERIFY(!program.Vorla().Ticker().Scroll.Enabled());
        emit tray.activated(QSystemTrayIcon::DoubleClick);
        emit tray.activated(QSystemTrayIcon::MiddleClick);
        QVERIFY(!window.isVisible());
        QVERIFY(OpenMenus().empty());
        emit tray.activated(QSystemTrayIcon::Trigger);
        QVERIFY(window.isVisible());
        QVERIFY(program.Vorla().Ticker().Scroll.Enabled());
        emit tray.activated(QSystemTrayIcon::Context);
        QCOMPARE(OpenMenus(), (std::vector<QMenu*>{&program.PopMnu()}));
        QCOMPARE(BuiltItems(program.PopMnu().SkinMnu()), (QStringList{"default"}));
        CloseMenus();
    }

    void newsLinkGivesTheStatusLineAHandCursor() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        skin::TStatusTicker& ticker = fixture.Program().Vorla().Ticker();
        uicontrols::ImageWidget& status = fixture.Program().Window().STATBMP();
        struct Row {
            const char* item;
            bool hand;
        };
        for (const Row& row : {Row{"Skins###http://example.org/", true}, Row{"Plain news", false},
                               Row{"Hash###but no link", false}}) {
            // The item on show has scrolled out: the next tick shows the next one.
            ticker.NewsLines = {row.item};
            ticker.RefreshTicks = 1;
            ticker.PauseActive = false;
            ticker.PastEnd = true;
            ticker.DoScroll();
            QVERIFY2(status.testAttribute(Qt::WA_SetCursor) == row.hand, row.item);
            if (row.hand) {
                QCOMPARE(status.cursor().shape(), Qt::PointingHandCursor);
            }
        }
    }

    void sessionEndSavesThePositionAndRemovesTheTrayIcon() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        QVERIFY(program.View().Tray().isVisible());
        program.Window().move(123, 77);
        program.EndSession();
        QVERIFY(!program.View().Tray().isVisible());
        QVERIFY(!program.Window().isVisible());
        std::ifstream file(fixture.Folder() + "/Vorla.ini", std::ios::binary);
        std::stringstream saved;
        saved << file.rdbuf();
        QVERIFY(saved.str().find("posX = 123\r\n") != std::string::npos);
        QVERIFY(saved.str().find("posY = 77\r\n") != std::string::npos);
        // The file keeps the user's tray choice.
        QVERIFY(saved.str().find("icon_tray =1\r\n") != std::string::npos);
        // A second end (the quit that follows) does not run ShutDown again.
        std::filesystem::remove(fixture.Folder() + "/Vorla.ini");
        program.EndSession();
        QVERIFY(!std::filesystem::exists(fixture.Folder() + "/Vorla.ini"));
    }

    void pictureButtonsNameThemselvesWhileAnotherWindowIsActive() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::MainWindow& window = fixture.Program().Window();
        // The tool window is seldom the active one: its tips showed only while it was.
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        const std::pair<uicontrols::ImgBtnWidget*, QString> rows[] = {
            {&window.Connect(), "Connect"},
            {&window.Disconnect(), "Disconnect"},
            {&window.RefreshBtn(), "Check now"},
            {&window.MAIL(), "Open mail program"}};
        for (const auto& [button, tip] : rows) {
            const QPoint at(button->width() / 2, button->height() / 2);
            QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
            QApplication::sendEvent(button, &help);
            QTRY_COMPARE(QToolTip::text(), tip);
            QToolTip::hideText();
        }
    }

    void skinsMenuMarksTheSkinInUse() {
        ProgramFixture fixture({{"apple"}, {"Blue"}});
        QVERIFY(fixture.Started());
        uimain::MainMenu& menu = fixture.Program().PopMnu();
        const auto marked = [&menu] {
            menu.Rebuild();
            QStringList names;
            for (QAction* action : menu.SkinMnu().actions()) {
                if (action->isChecked()) {
                    names << action->text();
                }
            }
            return names;
        };
        QCOMPARE(marked(), QStringList{"apple"});
        FindAction(menu.SkinMnu(), "Blue")->trigger();
        QCOMPARE(marked(), QStringList{"Blue"});
    }

    void withoutATrayTheHiddenStartStaysShownAndSaysWhy() {
        ProgramFixture fixture({{"default"}}, {"hidden =1"}, false, false);
        QVERIFY(fixture.Started());
        app::Program& program = fixture.Program();
        QTRY_VERIFY_WITH_TIMEOUT(!program.Vorla().Timers().FirstPaintPending, 2000);
        QVERIFY(program.Window().isVisible());
        QVERIFY(program.Vorla().Ticker().Scroll.Enabled());
        QCOMPARE(program.Vorla().Ticker().TickerText, std::string(monitor::kNoSystemTray));
        QCOMPARE(program.View().Tray().toolTip(), QStringLiteral("Vorla\nDisconnected"));
    }

    void accountMenuRebuiltFromItsOwnClick() {
        ProgramFixture fixture({{"default"}});
        QVERIFY(fixture.Started());
        uimain::QtMonitorView& view = fixture.Program().View();
        const std::vector<monitor::AccountMenuItem> items{
            {"( ? )  Home", 0}, {"-", 30}, {"Check all accounts", 20}};
        // A click that runs long lets a right click on RefreshBtn build the menu anew
        // while the clicked item's handler still runs.
        std::vector<int> clicked;
        view.accountMenuClick = [&](int tag) {
            clicked.push_back(tag);
            view.PopupAccountMenu(items);
            QCoreApplication::processEvents();
        };
        view.PopupAccountMenu(items);
        const std::vector<QMenu*> menus = OpenMenus();
        QCOMPARE(menus.size(), std::size_t(1));
        QMenu& menu = *menus.front();
        QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier,
                          menu.actionGeometry(menu.actions().at(2)).center());
        QCOMPARE(clicked, (std::vector<int>{20}));
        QCOMPARE(OpenMenus().size(), std::size_t(1));
        CloseMenus();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void mainMenuRebuiltFromABuiltItemsClick() {
        monitor::MainMenuModel model;
        model.NewsItems = {{"First", 0}, {"Second", 1}};
        model.SkinItems = {"default"};
        uimain::MainMenuHandlers handlers;
        handlers.PopMnuPopup = [&]() -> const monitor::MainMenuModel& { return model; };
        uimain::MainMenu* menu = nullptr;
        std::vector<int> chosen;
        // Choosing a server downloads its news while events run; the menu can open again.
        handlers.NewsServerClick = [&](int tag) {
            chosen.push_back(tag);
            menu->Rebuild();
            QCoreApplication::processEvents();
        };
        uimain::MainMenu mainMenu(std::move(handlers));
        menu = &mainMenu;
        mainMenu.Rebuild();
        QMenu& news = mainMenu.NewsMnu();
        news.popup(QPoint(10, 10));
        QVERIFY(news.isVisible());
        QTest::mouseClick(&news, Qt::LeftButton, Qt::NoModifier,
                          news.actionGeometry(news.actions().at(3)).center());
        QCOMPARE(chosen, (std::vector<int>{1}));
        QCOMPARE(BuiltItems(news), (QStringList{"First", "Second"}));
        CloseMenus();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
