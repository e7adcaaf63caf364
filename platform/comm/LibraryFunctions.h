#pragma once

#include "platform/core/LastError.h"

#include <dlfcn.h>

#include <memory>
#include <type_traits>

// Libraries that only some runs need (the synthesizer, the sequencer) are
// loaded when first used, not by the dynamic loader at every start.

// Loads the shared library file and fills a table of its functions, each
// found by its name (Table::ForEachFunction hands them out). Null when the
// library or one of the functions cannot be found; a table once made keeps
// its library loaded until the program ends.
template <typename Table>
std::unique_ptr<Table> LoadFunctionTable(const char* file)
{
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    auto table = std::make_unique<Table>();
    bool complete = true;
    table->ForEachFunction([&](const char* name, auto& function) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
        complete = complete && function != nullptr;
    });
    if (!complete) {
        dlclose(library);
        return nullptr;
    }
    return table;
}

// The table Table::Load(file) makes, loaded by the first call from any
// thread and kept until the program ends; null, with the last error set to
// error, when the library cannot be loaded.
template <typename Table>
const Table* LoadedOnce(const char* file, DWORD error)
{
    static const std::unique_ptr<Table> loaded = Table::Load(file);
    if (!loaded)
        SetLastError(error);
    return loaded.get();
}
