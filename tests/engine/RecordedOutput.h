#pragma once

#include "support/Files.h"

#include <cstdlib>
#include <string>

namespace clipforge::test {

// Real converter output recorded under tests/data/ffmpeg, byte for byte.
inline std::string recordedOutput(const std::string& name)
{
    const char* data = std::getenv("CLIPFORGE_TEST_DATA");
    return readFile(std::string(data ? data : "tests/data") + "/ffmpeg/" + name);
}

}  // namespace clipforge::test
