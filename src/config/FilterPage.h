#pragma once
// The "Filters / News" page: the filter list, written at once on every change, and the details
// of the chosen news server.
#include <string>
#include <vector>

#include "config/DialogContext.h"

namespace config {

class FilterPage {
public:
    explicit FilterPage(DialogContext& context) : m_context(context) {}

    // The page is opened: the filter field is emptied and the server's details are shown.
    void Show();
    void FilterLstChange();
    void AddFiltClick();
    void DelFiltClick();
    void LstSrvChange();

    // The whole server lines behind the names of the server list, as filled.
    std::vector<std::string> ServerLines;

private:
    DialogContext& m_context;
};

}  // namespace config
