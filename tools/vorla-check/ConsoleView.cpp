#include "ConsoleView.h"

namespace vorlacheck {

void ConsoleView::Print(const std::string& word, const std::string& text) {
    m_out << word << ' ' << console::OneLine(text) << '\n' << std::flush;
}

void ConsoleView::FlagChanged(monitor::FlagPicture picture) {
    Print("flag", picture == monitor::FlagPicture::GotMail ? "gotmail" : "nomail");
}

void ConsoleView::ShowWindow() {
    QuietWindow::ShowWindow();
    m_out << "show\n" << std::flush;
}

std::string ConsoleView::TrayName(monitor::TrayIcon icon) {
    switch (icon) {
        case monitor::TrayIcon::VrDis:
            return "disconnected";
        case monitor::TrayIcon::VrCon:
            return "connected";
        case monitor::TrayIcon::VrMail:
            return "mail";
    }
    return "disconnected";
}

void ConsoleView::Notify(const monitor::NewMailNotice& notice) {
    Print("notify", notice.summary);
    for (const std::string& line : notice.lines) {
        Print("notify-line", line);
    }
}

}  // namespace vorlacheck
