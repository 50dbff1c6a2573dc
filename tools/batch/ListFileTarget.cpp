#include "ListFileTarget.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlElem.h"
#include "core/xml/XmlText.h"

#include <cctype>
#include <fstream>

namespace clipforge {
namespace {

std::string kindOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Folder:
        return "a folder";
    case FileKind::Device:
        return "a device";
    case FileKind::Fifo:
        return "a FIFO";
    case FileKind::Socket:
        return "a socket";
    default:
        return "not a regular file";
    }
}

// A list file is XML: after any white space its first byte is "<". Looking at the start first
// keeps make from reading a whole video into memory only to refuse it.
bool startsLikeXml(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char byte = 0;
    while (in.get(byte)) {
        if (!std::isspace(static_cast<unsigned char>(byte)))
            return byte == '<';
    }
    return true;
}

bool holdsOnlyItems(const TXmlDocument& document)
{
    for (const auto& child : document.Root().Children()) {
        if (child->Kind() != XmlElemKind::Classic || !equalsIgnoreCase(child->Name(), "item"))
            return false;
    }
    return true;
}

// Empty when the regular file at path reads as a list file; else why it does not.
std::string notAListBecause(const std::string& path)
{
    if (!startsLikeXml(path))
        return "it is not an XML file";
    TXmlDocument document;
    try {
        document.LoadFile(path);
    } catch (const clipforge::Error& error) {
        return error.what();
    }
    return holdsOnlyItems(document) ? std::string() : "it holds something other than list items";
}

std::string refusalFor(const std::string& path)
{
    if (!pathOccupied(path))
        return {};
    const FileStatus target = fileStatus(path);
    if (!target.exists())
        return path + " is a symbolic link that leads nowhere";
    if (target.kind != FileKind::Regular)
        return path + " is " + kindOf(target.kind) + ", not a list file";
    const std::string reason = notAListBecause(path);
    return reason.empty() ? std::string() : path + " is not a list file: " + reason;
}

}  // namespace

ListFileTarget listFileTarget(const std::string& given)
{
    ListFileTarget target{withListExtension(given), {}};
    if (target.path != given && pathOccupied(given)) {
        // Without ".kxl" the name was most likely meant as one of the files to convert.
        target.refusal = given + " already exists and is not named .kxl; the list file comes first: "
                                 "make LIST.kxl --profile N FILE...";
        return target;
    }
    target.refusal = refusalFor(target.path);
    return target;
}

}  // namespace clipforge
