#pragma once
// The reply panel of vorla-msgwindow: the steps that open, fill, send and cancel a reply, and
// the panel's lines printed after the memo while it is open.
#include <ostream>
#include <string>

#include "msgwindow/MsgList.h"
#include "msgwindow/ReplyComposer.h"

namespace vorlamsgwindow {

class ReplySteps {
public:
    // smtp serves this panel only.
    ReplySteps(msgwindow::TMsgList& list, mail::TQelSMTP& smtp, platform::Shell& shell);

    // reply | send | cancel | identity:N | to:TEXT | subj:TEXT | body:TEXT
    static bool IsStep(const std::string& step);
    // Runs the step when it is one of these; false otherwise.
    bool Run(const std::string& step);
    // "from: ", "to: ", "subj: " and one "body: " line per body line, while composing.
    void Print(std::ostream& out) const;

private:
    msgwindow::TMsgList& m_list;
    msgwindow::ReplyPanelFields m_panel;
    msgwindow::TReplyComposer& m_composer;
};

}  // namespace vorlamsgwindow
