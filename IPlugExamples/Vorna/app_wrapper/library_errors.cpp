#include "library_errors.h"

#include <iostream>

void PrintLibraryError(const std::exception& error) { std::cerr << '\n' << error.what() << "\n\n" << std::flush; }
