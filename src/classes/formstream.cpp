#include "classes/formstream.h"

#include <mutex>

#include "classes/extctrls.h"
#include "classes/filer.h"
#include "classes/imagelist.h"
#include "classes/streams.h"
#include "win/user.h"

namespace cls {

win::HMODULE FindClassHInstance(TClass) {
    return win::GetModuleHandle(nullptr);
}

bool ReadComponentRes(std::string_view AResName, TComponent* Instance) {
    const std::string Name(AResName);
    const win::HMODULE Module = FindClassHInstance(Instance->ClassType());
    const win::HRSRC Resource = win::FindResource(Module, Name.c_str(), win::RT_RCDATA);
    if (!Resource) return false;
    const void* Data = win::LockResource(win::LoadResource(Module, Resource));
    TMemoryStream Stream;
    Stream.WriteBuffer(Data, win::SizeofResource(Module, Resource));
    Stream.SetPosition(0);
    ReadComponent(&Stream, Instance);
    return true;
}

bool InitInheritedComponent(TComponent* Instance, TClass ARootAncestor) {
    std::vector<TClass> Chain;
    TClass Class = Instance->ClassType();
    for (; Class && Class != ARootAncestor; Class = Class->ClassParent()) Chain.push_back(Class);
    if (!Class) return false;
    bool Result = false;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        if (ReadComponentRes((*It)->ClassName(), Instance)) Result = true;
    return Result;
}

TComponent* ReadComponent(TStream* AStream, TComponent* Instance) {
    TReader Reader(AStream);
    return Reader.ReadRootComponent(Instance);
}

void WriteComponent(TStream* AStream, TComponent* Instance) {
    TWriter Writer(AStream);
    Writer.WriteRootComponent(Instance);
}

void RegisterClassLibraryClasses() {
    static std::once_flag Once;
    std::call_once(Once, [] { RegisterClasses({TImageList::ClassInfo(), TTimer::ClassInfo()}); });
}

} // namespace cls
