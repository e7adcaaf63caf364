#pragma once

#include "platform/core/LastError.h"

#include <dlfcn.h>

#include <memory>

// Libraries that only some runs need (the synthesizer, the sequencer) are
// loaded when first used, not by the dynamic loader at every start.

// Loads the shared library file and fills a table of its functions:
// fill(library, table) finds each one (FindFunction) and returns false when
// one is missing. Null when the library or a function cannot be found; a
// table once made keeps its library loaded until the program ends.
template <typename Table, typename Fill>
std::unique_ptr<Table> LoadFunctionTable(const char* file, Fill fill)
{
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    auto table = std::make_unique<Table>();
    if (!fill(library, *table)) {
        dlclose(library);
        return nullptr;
    }
    return table;
}

// Sets function to the library's function of that name; false when it has
// none.
template <typename Function>
bool FindFunction(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
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
