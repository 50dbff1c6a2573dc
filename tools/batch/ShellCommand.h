#pragma once

#include <string>
#include <vector>

namespace clipforge {

// One argument for a POSIX shell: left bare when it holds only characters no shell treats
// specially, else in single quotes (a quote inside becomes '\'').
std::string shellQuote(const std::string& argument);

// arguments as one line of a POSIX shell script, standard input from /dev/null. A line break
// cannot be written inside one line portably, so an argument holding one throws
// clipforge::Error.
std::string shellCommand(const std::vector<std::string>& arguments);

}  // namespace clipforge
