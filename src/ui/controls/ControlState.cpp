#include "ui/controls/ControlState.h"

#include <algorithm>

#include "platform/Links.h"

namespace uicontrols {

CheckState NextCheckState(CheckState state, bool allowGrayed) {
    switch (state) {
        case CheckState::Unchecked:
            return allowGrayed ? CheckState::Grayed : CheckState::Checked;
        case CheckState::Checked:
            return CheckState::Unchecked;
        case CheckState::Grayed:
            return CheckState::Checked;
    }
    return CheckState::Unchecked;
}

CheckLayout LayOutCheck(CheckAlignment alignment, int clientWidth, int clientHeight, int textWidth,
                        int textHeight) {
    const bool right = alignment == CheckAlignment::RightJustify;
    CheckLayout layout;
    layout.Box = {right ? 0 : clientWidth - kCheckBoxSize, (clientHeight - kCheckBoxSize) / 2,
                  kCheckBoxSize, kCheckBoxSize};
    const int left = right ? 20 : 1;
    const int top = std::max((clientHeight - textHeight) / 2 - 2, 0);
    layout.Text = {left, top, std::max(std::min(textWidth, clientWidth - left), 0),
                   std::min(textHeight + 3, clientHeight - top)};
    return layout;
}

std::string StripAccelerator(const std::string& caption) {
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        text += caption[i];
    }
    return text;
}

void ComboEntries::SetItems(std::vector<std::string> items) {
    m_items = std::move(items);
    m_text = m_items.empty() ? std::string() : m_items.front();
}

void ComboEntries::SetItemIndex(int index) {
    m_itemIndex = index;
    const bool inRange = index >= 0 && index < static_cast<int>(m_items.size());
    m_text = inRange ? m_items[static_cast<std::size_t>(index)] : std::string();
}

bool ComboEntries::Choose(int index) {
    const bool changed = index != m_itemIndex;
    SetItemIndex(index);
    return changed;
}

int ComboPopupTop(int controlTop, int itemIndex) {
    return controlTop - kComboItemHeight * itemIndex - 5;
}

std::string LinkTarget(const std::string& link, LinkType type) {
    if (type == LinkType::ltEmail)
        return platform::MailtoLink(link).value_or("");
    return platform::IsWebAddress(link) ? link : "";
}

}  // namespace uicontrols
