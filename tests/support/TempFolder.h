#pragma once

#include "support/Files.h"

#include <string>
#include <vector>

namespace clipforge::test {

// A fresh folder under the system's temporary folder, removed with all its contents when the
// test ends, even when the test took its permissions away. path() ends with "/".
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::string& path() const { return path_; }
    // Writes the file of that name in the folder; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const { return readFile(path_ + name); }
    // The names in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

}  // namespace clipforge::test
