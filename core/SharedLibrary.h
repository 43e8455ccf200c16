// SPDX-License-Identifier: GPL-3.0-or-later
// Libraries opened when a program first needs them, not when it starts: the
// workbook and NetCDF libraries bring dozens of others (zip, crypto, HDF5,
// curl, TLS) whose loading would cost every run of the batch tool
// milliseconds, though most runs write text.
#pragma once

#include <string>

#include <dlfcn.h>

namespace quorvin {

// The library of that soname, or null; Reason then says why.
inline void* OpenSharedLibrary(const char* Soname, std::string& Reason) {
  void* Library = ::dlopen(Soname, RTLD_NOW | RTLD_LOCAL);
  if (!Library) {
    const char* Error = ::dlerror();
    Reason = Error ? Error : std::string(Soname) + ": cannot be loaded";
  }
  return Library;
}

// Function receives the symbol Name of Library; false when it has none.
template <typename F>
bool FindSymbol(void* Library, const char* Name, F& Function) {
  Function = reinterpret_cast<F>(::dlsym(Library, Name));
  return Function != nullptr;
}

} // namespace quorvin
