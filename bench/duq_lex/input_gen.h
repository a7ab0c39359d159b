// Deterministic C-like text for the scanner benchmark: keywords,
// identifiers, numbers, strings, character constants, comments and
// operators, each token followed by white space.
#pragma once

#include <cstddef>
#include <string>

std::string generateCInput(std::size_t minBytes, unsigned seed);
