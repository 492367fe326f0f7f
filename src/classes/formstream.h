// Form resources: a form class's design, kept as a binary form stream in the
// program's resources (type RT_RCDATA, named by the class name) and read into
// each form of the class while it is constructed.
//
// A program compiles the text form of a form class into its resources with
// the CMake function trestle_form_resource(target file) (see the top-level
// CMakeLists.txt); the resource is registered before main runs.
#pragma once

#include <string>
#include <string_view>

#include "classes/component.h"
#include "win/defs.h"

namespace cls {

class TStream;

// The module that holds the class's resources: the program's.
win::HMODULE FindClassHInstance(TClass AClass);

// Reads the form resource of every class from the one below ARootAncestor
// down to Instance's own class, ancestors first (an inherited form's stream
// finds the components its ancestor's stream made by name). False when none
// of them has a resource. Errors of the stream go on as EReadError (or as the
// error of a component's constructor or setter); the components read for the
// failed resource are freed.
bool InitInheritedComponent(TComponent* Instance, TClass ARootAncestor);

// Reads the form resource of that name into Instance; false when there is none.
bool ReadComponentRes(std::string_view AResName, TComponent* Instance);

// The stream's form into Instance (TReader::ReadRootComponent), and Instance
// with its children as a form stream (TWriter::WriteRootComponent).
TComponent* ReadComponent(TStream* AStream, TComponent* Instance);
void WriteComponent(TStream* AStream, TComponent* Instance);

// Registers the classes of the class library a form may hold (image lists,
// timers), once.
void RegisterClassLibraryClasses();

} // namespace cls
