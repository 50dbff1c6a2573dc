#include "core/UnfinishedNames.h"

#include "core/WriterLock.h"

#include <algorithm>
#include <random>

namespace clipforge {
namespace {

constexpr std::size_t RandomLength = 6;
// Only a shortened form of a list's name goes in, so that a list whose name is near the file
// system's limit still gets a temporary file beside it.
constexpr std::size_t LongestNamePart = 200;

const std::string& ownFolderPrefix()
{
    static const std::string prefix = ".clipforge-partial." + hostTag() + ".";
    return prefix;
}

const std::string& ownListInfix()
{
    static const std::string infix = ".clipforge-saving." + hostTag() + ".";
    return infix;
}

bool isRandomPart(const std::string& text)
{
    return text.size() == RandomLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

std::string randomPart()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    std::string text(RandomLength, ' ');
    for (char& c : text)
        c = letters[pick(generator)];
    return text;
}

}  // namespace

std::string privateFolderTemplate() { return ownFolderPrefix() + "XXXXXX"; }

bool isOwnPrivateFolder(const std::string& name)
{
    return name.size() == ownFolderPrefix().size() + RandomLength && name.compare(0, ownFolderPrefix().size(), ownFolderPrefix()) == 0 &&
           isRandomPart(name.substr(ownFolderPrefix().size()));
}

std::string temporaryListName(const std::string& listName)
{
    return "." + listName.substr(0, LongestNamePart) + ownListInfix() + randomPart();
}

bool isOwnTemporaryList(const std::string& name)
{
    const std::size_t tail = ownListInfix().size() + RandomLength;
    return name.size() > tail && name[0] == '.' && name.compare(name.size() - tail, ownListInfix().size(), ownListInfix()) == 0 &&
           isRandomPart(name.substr(name.size() - RandomLength));
}

}  // namespace clipforge
