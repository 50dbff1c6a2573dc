#include "ToolRun.h"

#include "engine/ConverterCommand.h"

#include <cstdlib>

namespace clipforge::test {

std::string converter()
{
    const char* appFolder = std::getenv("CLIPFORGE_APP_DIR");
    return converterPath(appFolder ? std::string(appFolder) + "/" : std::string());
}

}  // namespace clipforge::test
