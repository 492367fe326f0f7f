#include "classes/object.h"

#include "classes/exceptions.h"

namespace cls {

bool TMetaClass::InheritsFrom(TClass AClass) const {
    for (TClass C = this; C; C = C->FParent) {
        if (C == AClass) return true;
    }
    return false;
}

bool TMetaClass::ClassNameIs(std::string_view AName) const {
    return SameText(FClassName, AName);
}

TObject* TMetaClass::NewInstance() const {
    throw EInvalidOperation(SCannotCreateClass, {FClassName});
}

TComponent* TMetaClass::NewInstance(TComponent*) const {
    throw EInvalidOperation(SCannotCreateClass, {FClassName});
}

TCollectionItem* TMetaClass::NewInstance(TCollection*) const {
    throw EInvalidOperation(SCannotCreateClass, {FClassName});
}

TObject* TMetaClass::NewInstance(TObject*) const {
    throw EInvalidOperation(SCannotCreateClass, {FClassName});
}

TClassOf<TObject> TObject::ClassInfo() {
    static const TMetaClassOf<TObject> Meta("TObject", nullptr);
    return Meta.Ref();
}

// Out of line, so that the compiler pairs them with each other instead of
// seeing the global functions through them.
void* TObject::operator new(std::size_t ASize) {
    return ::operator new(ASize);
}

void TObject::operator delete(void* AMemory) {
    ::operator delete(AMemory);
}

void TObject::operator delete(TObject* AObject, std::destroying_delete_t) {
    if (!AObject || AObject->FFreeing) return;
    AObject->FFreeing = true;
    AObject->BeforeDestruction();
    // TObject is always the first base, but ask the object where it starts.
    void* Memory = dynamic_cast<void*>(AObject);
    AObject->~TObject();
    ::operator delete(Memory);
}

} // namespace cls
