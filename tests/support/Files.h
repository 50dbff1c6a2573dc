#pragma once

#include <string>
#include <vector>

namespace clipforge::test {

// Empty when the file cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// text cut at its line feeds, which are dropped.
std::vector<std::string> lines(const std::string& text);
// Whether anything, even a dangling link, is at path.
bool exists(const std::string& path);
// Makes a FIFO at path; false when it cannot.
bool makeFifo(const std::string& path);

}  // namespace clipforge::test
