#pragma once

#include <cstdlib>
#include <string>

#include "engine/CommandLineSplitter.h"

namespace clipforge::test {

// The helper program built in tests/support; CLIPFORGE_FAKE_CONVERTER in the
// environment overrides the path the build gave.
inline std::string fakeConverterPath()
{
    if (const char* path = std::getenv("CLIPFORGE_FAKE_CONVERTER"))
        return path;
#ifdef CLIPFORGE_FAKE_CONVERTER
    return CLIPFORGE_FAKE_CONVERTER;
#else
    return {};
#endif
}

// A command line that runs the fake converter with the given actions.
template <typename... Actions>
std::string fakeConverterCommand(const Actions&... actions)
{
    std::string line = quoteArgument(fakeConverterPath());
    ((line += " " + quoteArgument(actions)), ...);
    return line;
}

}  // namespace clipforge::test
