#include "WindowHost.h"

namespace vorlamsgwindow {

namespace {

// The screen the window is placed on; no screen exists here, any size that keeps a saved
// position on it will do.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

WindowHost::WindowHost(std::ostream& out, ConsoleMainView& mainView, ConsoleDialogs& dialogs,
                       monitor::MonitorJobs& jobs, monitor::MainWindowLink& mainWindow,
                       monitor::PopClient& pop, msgwindow::SmtpClient& smtp,
                       platform::EventPump& pump, platform::Shell& shell)
    : m_out(out),
      m_mainView(mainView),
      m_dialogs(dialogs),
      m_jobs(jobs),
      m_list({jobs.Shared, mainWindow, pop, m_memo, *this, dialogs, dialogs, pump}),
      m_reply(m_list, smtp, shell) {}

bool WindowHost::IsStep(const std::string& step) {
    static const char* const kPlain[] = {"next", "prev",  "delete", "read",       "readall",
                                         "menu", "close", "save",   "answer:yes", "answer:no"};
    for (const char* plain : kPlain)
        if (step == plain)
            return true;
    for (const char* prefix : {"saveatt:", "saveas:", "open:"})
        if (StartsWith(step, prefix) && step.size() > std::string(prefix).size())
            return true;
    return ReplySteps::IsStep(step);
}

void WindowHost::DisplayMessage(int index, bool forceRead) {
    m_list.DisplayMessage(index, forceRead);
}

void WindowHost::ShowModal() {
    m_opened = true;
    m_visible = true;
    const msgwindow::MsgWindowPlacement placement =
        m_list.FormShow(m_jobs.Skin, kScreenWidth, kScreenHeight);
    m_left = placement.Left;
    m_top = placement.Top;
    PrintBlock("open");
    while (m_visible && m_nextStep < m_steps.size()) {
        const std::string& step = m_steps[m_nextStep++];
        RunStep(step);
        if (!m_visible) {
            m_closedByStep = true;
            break;  // the monitor's side of the closing comes first; Finish prints the block
        }
        PrintBlock(step);
    }
    if (m_visible)
        m_list.CloseMsgClick();
    m_visible = false;
}

void WindowHost::Finish() {
    if (!m_opened)
        PrintBlock("open");
    if (m_closedByStep)
        PrintBlock(m_steps[m_nextStep - 1]);
    // No window is open any more: the steps left have nothing to act on.
    while (m_nextStep < m_steps.size())
        PrintBlock(m_steps[m_nextStep++]);
}

void WindowHost::RunStep(const std::string& step) {
    m_dialogs.Cancel();
    if (step == "next") {
        m_list.NextClick();
    } else if (step == "prev") {
        m_list.PrevClick();
    } else if (step == "delete") {
        m_list.DeleteClick();
    } else if (step == "read") {
        m_list.readmailClick();
    } else if (step == "readall") {
        m_list.ReadAllMailClick();
    } else if (step == "menu") {
        PrintMenu();
    } else if (step == "close") {
        m_list.CloseMsgClick();
    } else if (step == "answer:yes" || step == "answer:no") {
        m_dialogs.HoldAnswer(step == "answer:yes" ? platform::Answer::Yes : platform::Answer::No);
    } else if (step == "save") {
        m_list.Files().QuickSavClick();
    } else if (StartsWith(step, "saveatt:")) {
        m_dialogs.AnswerSaveInFolder(step.substr(8));
        m_list.Files().SaveClick();
    } else if (StartsWith(step, "saveas:")) {
        m_dialogs.AnswerWithFile(step.substr(7));
        m_list.Files().SavMemoClick();
    } else if (StartsWith(step, "open:")) {
        m_dialogs.AnswerWithFile(step.substr(5));
        m_list.Files().OpenMemoClick();
    } else {
        m_reply.Run(step);
    }
    m_dialogs.Cancel();
}

void WindowHost::PrintMenu() {
    for (const msgwindow::MsgMenuEntry& entry : m_list.MnuMsgPopup())
        PrintLine(m_out, "menu", entry.Caption + (entry.Enabled ? "=on" : "=off"));
}

void WindowHost::PrintBlock(const std::string& name) {
    m_out << "== " << name << '\n';
    for (const std::string& line : m_memo.Lines())
        PrintLine(m_out, "memo", line);
    m_reply.Print(m_out);
    PrintLine(m_out, "status", m_mainView.LastStatus());
    m_out << "count: " << m_jobs.Shared.WaitingCount << '\n' << std::flush;
}

}  // namespace vorlamsgwindow
