// Exceptions of the class library. Exception carries a message (UTF-8) and a
// help context; every class reports its own ClassName. EAbort is the silent
// cancel: the application's exception handler swallows it without a message.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "classes/resstrings.h"
#include "classes/sysutils.h"

namespace cls {

class Exception : public std::exception {
public:
    explicit Exception(std::string AMessage) : FMessage(std::move(AMessage)) {}
    explicit Exception(const char* AMessage) : FMessage(AMessage ? AMessage : "") {}
    // CreateFmt
    Exception(std::string_view AFormat, std::initializer_list<TFormatArg> AArgs)
        : FMessage(Format(AFormat, AArgs)) {}
    // CreateRes / CreateResFmt: the resource string is read now, through the localizer.
    explicit Exception(const TResStringRec& ARes) : FMessage(LoadResString(ARes)) {}
    Exception(const TResStringRec& ARes, std::initializer_list<TFormatArg> AArgs)
        : FMessage(Format(LoadResString(ARes), AArgs)) {}

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string AMessage) { FMessage = std::move(AMessage); }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int AValue) { FHelpContext = AValue; }

    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string FMessage;
    int FHelpContext = 0;
};

// Declares an exception class with the constructors of its parent.
#define TRESTLE_EXCEPTION(Name, Parent)                                                                      \
    class Name : public Parent {                                                                             \
    public:                                                                                                  \
        using Parent::Parent;                                                                                \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    }

TRESTLE_EXCEPTION(EAbort, Exception);
TRESTLE_EXCEPTION(EInvalidOperation, Exception);
TRESTLE_EXCEPTION(EListError, Exception);
TRESTLE_EXCEPTION(EStringListError, Exception);
TRESTLE_EXCEPTION(EComponentError, Exception);
TRESTLE_EXCEPTION(EConvertError, Exception);
TRESTLE_EXCEPTION(EStreamError, Exception);
TRESTLE_EXCEPTION(EFilerError, EStreamError);
TRESTLE_EXCEPTION(EReadError, EFilerError);
TRESTLE_EXCEPTION(EWriteError, EFilerError);
TRESTLE_EXCEPTION(EClassNotFound, EFilerError);
TRESTLE_EXCEPTION(EFOpenError, EStreamError);
TRESTLE_EXCEPTION(EFCreateError, EStreamError);
TRESTLE_EXCEPTION(ERegistryException, Exception);
TRESTLE_EXCEPTION(EIniFileException, Exception);

// Raises EAbort with "Operation aborted".
[[noreturn]] void Abort();

} // namespace cls
