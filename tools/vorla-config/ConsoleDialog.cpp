#include "ConsoleDialog.h"

#include "TerminalText.h"

#include "config/DialogControls.h"
#include "settings/Numbers.h"

namespace vorlaconfig {

monitor::WindowPosition ConsoleView::Position() {
    if (m_skin == nullptr) {
        return {};
    }
    return {m_skin->WindowLeft, m_skin->WindowTop};
}

void ConsoleView::HoldGivenAnswer() {
    if (const std::optional<platform::Answer> answer = m_answers.TakeQuestionAnswer()) {
        HoldAnswer(*answer);
    }
}

bool ConsoleView::Ask(const std::string& text) {
    HoldGivenAnswer();
    return ConsoleBoxes::Ask(text);
}

platform::Answer ConsoleView::AskYesNoCancel(const std::string& text) {
    HoldGivenAnswer();
    return ConsoleBoxes::AskYesNoCancel(text);
}

std::optional<std::string> ConsoleFileDialogs::OpenFile(const config::OpenRequest& request) {
    PrintLine(m_out, "dialog", "open " + request.Filter);
    return Next();
}

std::optional<std::string> ConsoleFileDialogs::PickFolder(const std::string&) {
    PrintLine(m_out, "dialog", "folder");
    return Next();
}

std::optional<platform::Answer> ConsoleFileDialogs::TakeQuestionAnswer() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    const std::optional<std::string>& next = m_answers.front();
    std::optional<platform::Answer> answer;
    if (!next) {
        answer = platform::Answer::Cancel;
    } else if (*next == "yes") {
        answer = platform::Answer::Yes;
    } else if (*next == "no") {
        answer = platform::Answer::No;
    }
    if (answer) {
        m_answers.pop_front();
    }
    return answer;
}

std::optional<std::string> ConsoleFileDialogs::Next() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

namespace {

struct Action {
    std::string verb;
    std::string control;
    std::string rest;  // everything after the control and one blank
};

Action Parse(const std::string& line) {
    Action action;
    const auto verbEnd = line.find(' ');
    action.verb = line.substr(0, verbEnd);
    if (verbEnd == std::string::npos) {
        return action;
    }
    const std::string after = line.substr(verbEnd + 1);
    const auto controlEnd = after.find(' ');
    action.control = after.substr(0, controlEnd);
    if (controlEnd != std::string::npos) {
        action.rest = after.substr(controlEnd + 1);
    }
    return action;
}

// Runs one action; false when the line means nothing to the dialog.
bool Run(const Action& action, config::TConfig& dialog, ConsoleFileDialogs& files,
         std::ostream& out) {
    int number = 0;
    if (action.verb == "ok" && action.control.empty()) {
        dialog.Click("OK");
    } else if (action.verb == "close" && action.control.empty()) {
        dialog.Click("Cancel");
    } else if (action.verb == "menu" && settings::ParseDecimal(action.control, number)) {
        dialog.MnuClick(number);
    } else if (action.verb == "set" && !action.control.empty()) {
        return dialog.SetText(action.control, action.rest);
    } else if (action.verb == "click" && !action.control.empty()) {
        return dialog.Click(action.control);
    } else if (action.verb == "choose" && settings::ParseDecimal(action.rest, number)) {
        return dialog.Choose(action.control, number);
    } else if (action.verb == "answer" && !action.control.empty()) {
        const std::string path =
            action.rest.empty() ? action.control : action.control + " " + action.rest;
        files.Answer(path == "cancel" ? std::nullopt : std::optional<std::string>(path));
    } else if (action.verb == "show" && !action.control.empty()) {
        // Texts of a downloaded skin or news server list come with the control.
        out << console::Printable(config::DescribeControl(dialog.Controls, action.control)) << '\n'
            << std::flush;
    } else {
        return false;
    }
    return true;
}

}  // namespace

void RunActions(config::TConfig& dialog, ConsoleFileDialogs& files, std::istream& in,
                std::ostream& out, std::ostream& err) {
    std::string line;
    while (dialog.Result() == config::DialogResult::Pending && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        try {
            if (!Run(Parse(line), dialog, files, out)) {
                err << "vorla-config: cannot do \"" << line << "\"\n";
            }
        } catch (const config::UnknownControl& e) {
            err << "vorla-config: " << e.what() << '\n';
        }
    }
}

}  // namespace vorlaconfig
