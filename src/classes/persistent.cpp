#include "classes/persistent.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "classes/exceptions.h"

namespace cls {

void TPersistent::Assign(TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
    } else {
        AssignError(nullptr);
    }
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    throw EConvertError(SAssignError, {Source ? Source->ClassName() : std::string("nil"), ClassName()});
}

TPersistent* TPersistent::GetOwner() {
    return nullptr;
}

std::string TPersistent::GetNamePath() {
    std::string Result = ClassName();
    if (TPersistent* Owner = GetOwner()) {
        std::string S = Owner->GetNamePath();
        if (!S.empty()) Result = S + "." + Result;
    }
    return Result;
}

void TPersistent::GetPublishedProperties(TPublishedProperties&) {}

void TPersistent::DefineProperties(TFiler*) {}

// --- Class registry ---

namespace {

struct TClassRegistry {
    std::mutex Lock;
    std::vector<TClass> Classes;

    TClass Find(std::string_view AName) const {
        for (TClass C : Classes) {
            if (C->ClassNameIs(AName)) return C;
        }
        return nullptr;
    }
};

TClassRegistry& Registry() {
    static TClassRegistry Instance;
    return Instance;
}

} // namespace

void RegisterClass(TPersistentClass AClass) {
    if (!AClass) return;
    TClassRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    for (TClass C = AClass; C; C = C->ClassParent()) {
        if (std::find(R.Classes.begin(), R.Classes.end(), C) != R.Classes.end()) break;
        if (R.Find(C->ClassName())) throw EFilerError(SDuplicateClass, {C->ClassName()});
        R.Classes.push_back(C);
        if (C == TPersistent::ClassInfo().Get()) break;
    }
}

void RegisterClasses(std::initializer_list<TPersistentClass> AClasses) {
    for (TPersistentClass C : AClasses) RegisterClass(C);
}

void UnRegisterClass(TPersistentClass AClass) {
    TClassRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase(R.Classes, AClass.Get());
}

void UnRegisterClasses(std::initializer_list<TPersistentClass> AClasses) {
    for (TPersistentClass C : AClasses) UnRegisterClass(C);
}

TPersistentClass GetClass(std::string_view AClassName) {
    TClassRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    return TPersistentClass::Cast(R.Find(AClassName));
}

TPersistentClass FindClass(std::string_view AClassName) {
    TPersistentClass Result = GetClass(AClassName);
    if (!Result) throw EClassNotFound(SClassNotFound, {AClassName});
    return Result;
}

} // namespace cls
