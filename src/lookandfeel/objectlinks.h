// Object links: weak references that become null when their object is
// destroyed. Code about to call something that may free an object takes a
// link, tests its Ref afterwards and removes the link:
//
//     TcxObjectLink* Link = cxAddObjectLink(AControl);
//     try { ... } catch (...) { cxRemoveObjectLink(Link); throw; }
//     const bool Alive = Link->Ref != nullptr;
//     cxRemoveObjectLink(Link);
//
// Destructors of the objects watched this way call cxClearObjectLinks(this).
#pragma once

namespace cls {
class TObject;
}

namespace lf {

struct TcxObjectLink {
    cls::TObject* Ref = nullptr;
};

// A new link to AObject (a link to nothing for nullptr).
TcxObjectLink* cxAddObjectLink(cls::TObject* AObject);
// Frees the link; nullptr is ignored.
void cxRemoveObjectLink(TcxObjectLink* ALink);
// Sets Ref of every link to AObject to nullptr.
void cxClearObjectLinks(cls::TObject* AObject);

// A link for the length of a scope: Alive() tells whether the object survived
// the calls made meanwhile.
class TcxObjectLinkScope {
public:
    explicit TcxObjectLinkScope(cls::TObject* AObject) : FLink(cxAddObjectLink(AObject)) {}
    ~TcxObjectLinkScope() { cxRemoveObjectLink(FLink); }
    TcxObjectLinkScope(const TcxObjectLinkScope&) = delete;
    TcxObjectLinkScope& operator=(const TcxObjectLinkScope&) = delete;
    bool Alive() const { return FLink->Ref != nullptr; }
    cls::TObject* Object() const { return FLink->Ref; }

private:
    TcxObjectLink* FLink;
};

} // namespace lf
