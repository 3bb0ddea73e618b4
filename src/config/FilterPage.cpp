#include "config/FilterPage.h"

#include "config/ConfigTexts.h"
#include "monitor/NewsFeed.h"

namespace config {

void FilterPage::Show() {
    m_context.Controls["FilterEdit"].Text.clear();
    LstSrvChange();
}

void FilterPage::FilterLstChange() {
    const Control& list = m_context.Controls["FilterLst"];
    m_context.Controls["FilterEdit"].Text = list.SelectedItem();
}

void FilterPage::AddFiltClick() {
    DialogControls& c = m_context.Controls;
    Control& list = c["FilterLst"];
    if (list.Items.size() >= static_cast<std::size_t>(settings::kMaxFilters)) {
        m_context.Dialogs.ShowMessage(kMaxFilters);
        return;
    }
    if (c["FilterEdit"].Text.empty()) {
        return;
    }
    list.Items.push_back(c["FilterEdit"].Text);
    list.Index = static_cast<int>(list.Items.size()) - 1;
    m_context.SaveFilters();
    c["FilterEdit"].Text.clear();
}

void FilterPage::DelFiltClick() {
    DialogControls& c = m_context.Controls;
    Control& list = c["FilterLst"];
    if (list.Index < 0 || list.Index >= static_cast<int>(list.Items.size())) {
        return;
    }
    list.Items.erase(list.Items.begin() + list.Index);
    m_context.SaveFilters();
    list.Index = static_cast<int>(list.Items.size()) - 1;
    c["FilterEdit"].Text.clear();
}

void FilterPage::LstSrvChange() {
    DialogControls& c = m_context.Controls;
    const int index = c["LstSrv"].Index;
    monitor::NewsServer server;
    if (index >= 0 && index < static_cast<int>(ServerLines.size())) {
        server = monitor::ParseNewsServer(ServerLines[static_cast<std::size_t>(index)]);
    }
    c["WebInfo"].Text = server.WebAddress;
    c["WebInfo"].Link = server.WebAddress;
    c["WebComment"].Text = server.Description;
}

}  // namespace config
