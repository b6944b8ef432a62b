// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace kardo {

// A function found in a library, of no particular type until the caller casts it back to
// the one it was declared with.
using LibraryFunction = void (*)();

// A library loaded at run time; unloaded when this goes.
class SharedLibrary {
  public:
    virtual ~SharedLibrary() = default;
    // Null when the library has no function of that name.
    virtual LibraryFunction Find(const char* name) = 0;
};

class LibraryLoader {
  public:
    virtual ~LibraryLoader() = default;
    // Null, with the system's reason in `error`, when the library cannot be loaded.
    virtual std::unique_ptr<SharedLibrary> Load(const char* name, std::string& error) = 0;
};

// The Windows loader: the program's own directory and the system directories, never the
// working directory, so a library of that name left beside a data file is never loaded.
std::unique_ptr<LibraryLoader> MakeWindowsLibraryLoader();

}  // namespace kardo
