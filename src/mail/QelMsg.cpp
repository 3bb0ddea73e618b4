#include "mail/QelMsg.h"

#include "mail/QelMIME.h"

namespace mail {

void TAttachedFile::SaveToFile(const std::string& name) const { Data.SaveToFile(name); }

TAttachedFile& TAttachedFiles::AddFile(const std::string& path) {
    auto item = std::make_unique<TAttachedFile>();
    const std::size_t slash = path.find_last_of('/');
    item->FileName = slash == std::string::npos ? path : path.substr(slash + 1);
    item->PathName = path;
    item->ContentType = GetMimeType(path);
    m_items.push_back(std::move(item));
    return *m_items.back();
}

void TQelMsg::ParseMessage() {}

}  // namespace mail
