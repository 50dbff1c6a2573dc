#include "core/xml/FileIo.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/xml/XmlOutput.h"

namespace clipforge {

void replaceFileContents(const std::string& path, std::string_view bytes)
{
    replaceFileContents(path, [bytes](XmlOutput& output) {
        output.write(bytes);
    });
}

std::int64_t GetFileSize64(const QString& path)
{
    const FileStatus status = fileStatus(narrow(path));
    if (!status.exists())
        throw ESystemError(status.error);
    return static_cast<std::int64_t>(status.size);
}

}  // namespace clipforge
