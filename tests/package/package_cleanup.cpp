// Undoes the package test's installation after a run that was killed before it could: CTest runs
// it after the package tests, whatever became of them. A run that ended on its own undid itself.
#include <cstdio>
#include <exception>

#include "tests/package/package_support.h"

int main() {
  try {
    if (vorlabws::testing::SystemInstallation::UndoInterruptedRun()) {
      std::puts("Undid the installation of an interrupted package test");
    }
    return 0;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "Cannot undo the package test's installation: %s\n", failure.what());
    return 1;
  }
}
