#include "lookandfeel/objectlinks.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace lf {

namespace {

// Objects may die on any thread, so the table is locked.
struct TLinkTable {
    std::mutex Lock;
    std::unordered_map<cls::TObject*, std::vector<TcxObjectLink*>> Links;
};

TLinkTable& Table() {
    static TLinkTable Instance;
    return Instance;
}

} // namespace

TcxObjectLink* cxAddObjectLink(cls::TObject* AObject) {
    auto* Link = new TcxObjectLink{AObject};
    if (AObject) {
        TLinkTable& T = Table();
        std::lock_guard Guard(T.Lock);
        T.Links[AObject].push_back(Link);
    }
    return Link;
}

void cxRemoveObjectLink(TcxObjectLink* ALink) {
    if (!ALink) return;
    {
        TLinkTable& T = Table();
        std::lock_guard Guard(T.Lock);
        if (ALink->Ref) {
            auto It = T.Links.find(ALink->Ref);
            if (It != T.Links.end()) {
                std::erase(It->second, ALink);
                if (It->second.empty()) T.Links.erase(It);
            }
        }
    }
    delete ALink;
}

void cxClearObjectLinks(cls::TObject* AObject) {
    if (!AObject) return;
    TLinkTable& T = Table();
    std::lock_guard Guard(T.Lock);
    auto It = T.Links.find(AObject);
    if (It == T.Links.end()) return;
    for (TcxObjectLink* Link : It->second) Link->Ref = nullptr;
    T.Links.erase(It);
}

} // namespace lf
