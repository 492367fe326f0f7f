// The root of the class hierarchy and class references.
//
// TObject is the root class. Every class of the library declares itself with
// TRESTLE_CLASS(Class, Parent) as the first thing in its body (what follows
// it is private until the next access specifier); that gives it a class
// reference (Class::ClassInfo()), makes ClassType()/ClassName() report it and
// defines "inherited" as the parent class. A class without the macro reports
// its nearest declared ancestor.
//
//     class TdxBarButton : public TdxBarItem {
//         TRESTLE_CLASS(TdxBarButton, TdxBarItem)
//     public:
//         explicit TdxBarButton(TComponent* AOwner);
//         ...
//     };
//
// A class reference (TClass, or the typed TClassOf<T> such as
// TComponentClass) names a class at run time: ClassName, ClassParent,
// InheritsFrom along the C++ inheritance chain, and Create, the virtual
// constructor, which builds an instance of exactly the referenced class
// (a component class with Create(AOwner), a collection item class with
// Create(ACollection), a class whose TConstructorArg is a pointer to another
// TObject descendant with Create(that pointer), any other class with a
// default constructor).
// TClassOf<Derived> converts implicitly to TClassOf<Base>.
//
// Objects are freed with delete (or Free/FreeAndNil, which are the same).
// Deleting runs BeforeDestruction before any destructor, as the original's
// Free does, and a delete of an object whose destruction is already running
// is ignored, so callbacks that free an object twice cannot double-free it.
// Objects on the stack or as members work too; their destruction skips
// BeforeDestruction.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

namespace cls {

class TObject;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TMetaClass;
template <class T> class TClassOf;

using TClass = const TMetaClass*;

// The run-time description of one class. One instance per class, created on
// first use and never destroyed.
class TMetaClass {
public:
    TMetaClass(const char* AClassName, TClass AParent) : FClassName(AClassName), FParent(AParent) {}
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;
    virtual ~TMetaClass() = default;

    const std::string& ClassName() const { return FClassName; }
    TClass ClassParent() const { return FParent; }
    // True for this class and every class it descends from.
    bool InheritsFrom(TClass AClass) const;
    // Case-insensitive, as the original.
    bool ClassNameIs(std::string_view AName) const;

    // Virtual constructors. Each raises EInvalidOperation "Cannot create an
    // instance of class X" when the class is abstract or has no such
    // constructor; AfterConstruction runs on the new object.
    virtual TObject* NewInstance() const;
    virtual TComponent* NewInstance(TComponent* AOwner) const;
    virtual TCollectionItem* NewInstance(TCollection* ACollection) const;
    // For a class constructed from a pointer to another TObject descendant
    // (its TConstructorArg); an argument of another class raises too.
    virtual TObject* NewInstance(TObject* AArg) const;

private:
    std::string FClassName;
    TClass FParent;
};

// A class reference to T or a descendant of T ("class of T").
template <class T> class TClassOf {
public:
    constexpr TClassOf() = default;
    constexpr TClassOf(std::nullptr_t) {}
    template <class U>
    requires std::is_base_of_v<T, U>
    constexpr TClassOf(TClassOf<U> AOther) : FClass(AOther.Get()) {}

    // Checked conversion: a null reference when AClass does not descend from T.
    static TClassOf Cast(TClass AClass) {
        TClassOf R;
        if (AClass && AClass->InheritsFrom(T::ClassInfo())) R.FClass = AClass;
        return R;
    }

    constexpr TClass Get() const { return FClass; }
    constexpr operator TClass() const { return FClass; }
    constexpr const TMetaClass* operator->() const { return FClass; }
    constexpr explicit operator bool() const { return FClass != nullptr; }
    friend constexpr bool operator==(TClassOf A, TClassOf B) { return A.FClass == B.FClass; }

    // The virtual constructor of the referenced class.
    template <class U = T> U* Create() const { return static_cast<U*>(FClass->NewInstance()); }
    template <class U = T> U* Create(typename U::TConstructorArg AArg) const {
        if constexpr (IsObjectArg<typename U::TConstructorArg>()) {
            return static_cast<U*>(FClass->NewInstance(static_cast<TObject*>(AArg)));
        } else {
            return static_cast<U*>(FClass->NewInstance(AArg));
        }
    }

    // An argument that is neither the owner of a component nor the
    // collection of an item: such classes construct through NewInstance(TObject*).
    template <class A> static constexpr bool IsObjectArg() {
        if constexpr (std::is_pointer_v<A>) {
            using P = std::remove_cv_t<std::remove_pointer_t<A>>;
            return std::is_base_of_v<TObject, P> && !std::is_same_v<P, TComponent> &&
                   !std::is_same_v<P, TCollection>;
        } else {
            return false;
        }
    }

private:
    template <class> friend class TMetaClassOf;
    constexpr explicit TClassOf(TClass AClass) : FClass(AClass) {}
    TClass FClass = nullptr;
};

template <class T> class TMetaClassOf final : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    TClassOf<T> Ref() const { return TClassOf<T>(this); }

    TObject* NewInstance() const override {
        if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>) {
            return Finish(new T());
        } else {
            return TMetaClass::NewInstance();
        }
    }
    TComponent* NewInstance(TComponent* AOwner) const override {
        if constexpr (CanCreateWith<TComponent*>()) {
            return Finish(new T(AOwner));
        } else {
            return TMetaClass::NewInstance(AOwner);
        }
    }
    TCollectionItem* NewInstance(TCollection* ACollection) const override {
        if constexpr (CanCreateWith<TCollection*>()) {
            return Finish(new T(ACollection));
        } else {
            return TMetaClass::NewInstance(ACollection);
        }
    }
    TObject* NewInstance(TObject* AArg) const override {
        if constexpr (requires { typename T::TConstructorArg; }) {
            using A = typename T::TConstructorArg;
            if constexpr (TClassOf<T>::template IsObjectArg<A>() && !std::is_abstract_v<T> &&
                          std::is_constructible_v<T, A>) {
                using P = std::remove_pointer_t<A>;
                auto* Arg = dynamic_cast<P*>(AArg);
                if (Arg || !AArg) return Finish(new T(Arg));
            }
        }
        return TMetaClass::NewInstance(AArg);
    }

private:
    template <class A> static constexpr bool CanCreateWith() {
        if constexpr (requires { typename T::TConstructorArg; }) {
            return std::is_same_v<typename T::TConstructorArg, A> && !std::is_abstract_v<T> &&
                   std::is_constructible_v<T, A>;
        } else {
            return false;
        }
    }
    // The original calls AfterConstruction when the outermost constructor has
    // finished, and frees the object when it raises.
    static T* Finish(T* AInstance) {
        try {
            AInstance->AfterConstruction();
        } catch (...) {
            delete AInstance;
            throw;
        }
        return AInstance;
    }
};

#define TRESTLE_CLASS(Class, Parent)                                                                         \
public:                                                                                                      \
    using inherited = Parent;                                                                                \
    static ::cls::TClassOf<Class> ClassInfo() {                                                              \
        static_assert(std::is_base_of_v<Parent, Class>, #Class " must derive from " #Parent);                \
        static const ::cls::TMetaClassOf<Class> Meta(#Class, Parent::ClassInfo());                           \
        return Meta.Ref();                                                                                   \
    }                                                                                                        \
    ::cls::TClass ClassType() const override {                                                               \
        return ClassInfo();                                                                                  \
    }                                                                                                        \
                                                                                                             \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static TClassOf<TObject> ClassInfo();
    virtual TClass ClassType() const { return ClassInfo(); }
    const std::string& ClassName() const { return ClassType()->ClassName(); }
    TClass ClassParent() const { return ClassType()->ClassParent(); }
    bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
    bool ClassNameIs(std::string_view AName) const { return ClassType()->ClassNameIs(AName); }

    // Called by class-reference construction after the constructor, and by
    // delete before the destructors.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}

    // True from the start of a delete (or of the destructor of an object that
    // was not deleted through TObject) to the end.
    bool IsFreeing() const { return FFreeing; }

    static void* operator new(std::size_t ASize);
    static void operator delete(TObject* AObject, std::destroying_delete_t);
    // Used only when a constructor raises.
    static void operator delete(void* AMemory);

protected:
    // Lets a destructor mark the object for objects that are not deleted
    // through TObject (on the stack, or members).
    void MarkFreeing() { FFreeing = true; }

private:
    bool FFreeing = false;
};

// The original's Free and FreeAndNil.
inline void Free(TObject* AObject) {
    delete AObject;
}
template <class T> void FreeAndNil(T*& AObject) {
    T* Temp = AObject;
    AObject = nullptr;
    delete Temp;
}

} // namespace cls
