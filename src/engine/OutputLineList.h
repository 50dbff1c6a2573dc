#pragma once

#include <cstddef>
#include <string>

namespace clipforge {

// A screen-like list of output lines that the runner keeps up to date when one
// is given (a memo's lines, for instance). Used on the main thread only.
class OutputLineList {
public:
    virtual ~OutputLineList() = default;

    virtual void beginUpdate() {}
    virtual void endUpdate() {}
    virtual std::size_t count() const = 0;
    virtual void add(const std::string& line) = 0;
    virtual void replaceLast(const std::string& line) = 0;
};

}  // namespace clipforge
