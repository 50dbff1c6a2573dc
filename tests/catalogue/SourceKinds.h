#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace clipforge::test {

// One kind of file that people feed a converter, made on the spot so the matrix needs no
// fixtures: what it holds decides which profiles must convert it.
struct SourceKind {
    std::string fileName;
    // The converter's arguments that make it, run in the sources' folder with the file name
    // appended; empty when the file is just `bytes`.
    std::string making;
    bool picture = false;
    bool sound = false;
    std::string bytes;
    // Keeps only this many bytes of what was made: a recording cut off mid-packet.
    std::uintmax_t cutAfter = 0;
};

// In making order: a kind may be made from one listed before it.
const std::vector<SourceKind>& sourceKinds();

// Makes every kind in folder (ending in "/"); returns what went wrong, empty on success.
std::string makeSources(const std::string& folder);

}  // namespace clipforge::test
