#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace clipforge::test {

// Real converter output recorded under tests/data/ffmpeg, byte for byte.
inline std::string recordedOutput(const std::string& name)
{
    const char* data = std::getenv("CLIPFORGE_TEST_DATA");
    std::ifstream file(std::string(data ? data : "tests/data") + "/ffmpeg/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace clipforge::test
