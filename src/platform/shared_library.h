// Run-time loading of the program's own libraries.
#pragma once

#include "device/feature_transport.h"

namespace tvq {

// Loads with dlopen (symbols bound at once, kept private to the library).
class SharedLibraryLoader final : public LibraryLoader {
  public:
    std::unique_ptr<LoadedLibrary> load(const std::string& path) override;
};

}  // namespace tvq
