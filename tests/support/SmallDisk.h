#pragma once

#include <string>

namespace clipforge::test {

// A file system of size bytes ("64k", "1m"; mode 0755) mounted at folder, made when missing, for as
// long as this lives. Mounting needs root: a test skips when mounted() is false.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, const std::string& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace clipforge::test
