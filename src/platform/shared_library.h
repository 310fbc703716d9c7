// Run-time loading of the program's own libraries.
#pragma once

#include <string>

#include "device/feature_transport.h"

namespace tvq {

// Loads with dlopen (symbols bound at once, kept private to the library).
// A library file is checked before it is mapped: one cut short (its ELF
// headers promise more than the file holds) would crash the loader.
class SharedLibraryLoader final : public LibraryLoader {
  public:
    std::unique_ptr<LoadedLibrary> load(const std::string& path) override;
    // What the last failed load said, with the file's path.
    const std::string& lastFailure() const { return lastFailure_; }

  private:
    std::string lastFailure_;
};

// Why the file cannot be a usable 64-bit ELF library (missing, not ELF, cut
// short); empty when it can.
std::string unusableLibraryReason(const std::string& path);

}  // namespace tvq
