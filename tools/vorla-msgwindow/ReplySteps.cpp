#include "ReplySteps.h"

#include <charconv>

#include "Console.h"

namespace vorlamsgwindow {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The identity number of "identity:N"; 0 when N is not a positive number.
int IdentityNumber(const std::string& step) {
    const std::string digits = step.substr(9);
    int n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return error == std::errc() && end == digits.data() + digits.size() && n > 0 ? n : 0;
}

}  // namespace

ReplySteps::ReplySteps(msgwindow::TMsgList& list, mail::TQelSMTP& smtp, platform::Shell& shell)
    : m_list(list), m_composer(list.AttachComposer({smtp, shell, m_panel})) {}

bool ReplySteps::IsStep(const std::string& step) {
    if (step == "reply" || step == "send" || step == "cancel")
        return true;
    if (StartsWith(step, "identity:"))
        return IdentityNumber(step) > 0;
    return StartsWith(step, "to:") || StartsWith(step, "subj:") || StartsWith(step, "body:");
}

bool ReplySteps::Run(const std::string& step) {
    if (step == "reply" || step == "send") {
        m_list.ReplyClick();
    } else if (step == "cancel") {
        m_list.DeleteClick();
    } else if (StartsWith(step, "identity:")) {
        skin::ShiftState left;
        left.Left = true;
        m_composer.DeMouseDown(left);
        const auto n = static_cast<std::size_t>(IdentityNumber(step));
        // The menu only opens on the panel; a number past its items chooses nothing.
        if (m_list.Composing && n >= 1 && n <= m_panel.menu.size())
            m_composer.MnuReplyClick(m_panel.menu[n - 1].Tag);
        m_panel.menu.clear();
    } else if (StartsWith(step, "to:")) {
        m_panel.to.SetText(step.substr(3));
    } else if (StartsWith(step, "subj:")) {
        m_panel.subj.SetText(step.substr(5));
    } else if (StartsWith(step, "body:")) {
        std::string text;
        for (std::size_t i = 5; i < step.size(); ++i) {
            if (step[i] == '\\' && i + 1 < step.size() && step[i + 1] == 'n') {
                text += '\n';
                ++i;
            } else {
                text += step[i];
            }
        }
        m_panel.body.Clear();
        m_panel.body.Add(text);
    } else {
        return false;
    }
    return true;
}

void ReplySteps::Print(std::ostream& out) const {
    if (!m_list.Composing)
        return;
    PrintLine(out, "from", m_panel.from.Text());
    PrintLine(out, "to", m_panel.to.Text());
    PrintLine(out, "subj", m_panel.subj.Text());
    for (const std::string& line : m_panel.body.Lines())
        PrintLine(out, "body", line);
}

}  // namespace vorlamsgwindow
