// TPersistent, the base of everything that can be assigned and streamed,
// and the registry of classes by name that form streaming uses.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "classes/object.h"

namespace cls {

class TFiler;
class TPublishedProperties;

class TPersistent : public TObject {
    TRESTLE_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;

    // Copies Source into this object. The default asks Source to AssignTo this
    // object; when neither side knows the other it raises EConvertError
    // "Cannot assign a <Source class> to a <this class>" ("nil" for no Source).
    virtual void Assign(TPersistent* Source);
    // Dotted path naming this object for the designer ("Form1.Bars[0]").
    virtual std::string GetNamePath();

    // Streaming hook, defined by the form streaming layer: a class appends its
    // published properties (name, type, accessors, default) in declaration
    // order after calling the inherited version. The default lists none.
    virtual void GetPublishedProperties(TPublishedProperties& AList);

protected:
    friend class TReader;
    friend class TWriter;

    virtual void AssignTo(TPersistent* Dest);
    virtual TPersistent* GetOwner();
    // Streaming hook for properties that are not published (the original's
    // DefineProperties); the default defines none.
    virtual void DefineProperties(TFiler* Filer);
    [[noreturn]] void AssignError(TPersistent* Source);
};

using TPersistentClass = TClassOf<TPersistent>;

// --- Class registry ---

// Registers the class and its ancestors up to TPersistent. A different class
// with the same name raises EFilerError "A class named X already exists".
void RegisterClass(TPersistentClass AClass);
void RegisterClasses(std::initializer_list<TPersistentClass> AClasses);
void UnRegisterClass(TPersistentClass AClass);
void UnRegisterClasses(std::initializer_list<TPersistentClass> AClasses);
// Case-insensitive lookups. FindClass raises EClassNotFound "Class X not found".
TPersistentClass GetClass(std::string_view AClassName);
TPersistentClass FindClass(std::string_view AClassName);

} // namespace cls
