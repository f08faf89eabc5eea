// Splitting the process's command line into arguments the way Microsoft's C
// runtime does, for an entry point that has no runtime of its own.
#pragma once

#include <cstddef>

namespace raylet {

// Splits `line` into at most `max_args` arguments, each copied into `buffer`
// (terminated), with argv[0..count) pointing at them and argv[count] null;
// argv must hold max_args + 1 pointers. Returns the count.
//
// The program name (argv[0]) runs to the first blank or tab, or, when it
// starts with a double quote, to the next double quote, with no other rules.
// The arguments after it are separated by blanks and tabs; double quotes
// group text with blanks in it; 2n backslashes before a double quote stand
// for n backslashes and the quote groups, 2n+1 for n backslashes and a
// literal quote; backslashes before anything else are literal; inside a
// quoted part "" is a literal quote and the part goes on.
//
// An argument that does not fit whole into what is left of the buffer, and
// everything after it, is dropped; so is every argument past max_args.
int SplitCommandLine(const char* line, char* buffer, std::size_t buffer_size, char** argv, int max_args);

}  // namespace raylet
