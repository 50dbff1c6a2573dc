#include "OwnOutput.h"

#include "core/CommandManager.h"
#include "core/ItemNodeData.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "engine/ConverterCommand.h"
#include "engine/NameFitting.h"

namespace clipforge {
namespace {

// Whether text is one or more "_N" groups, N decimal digits.
bool numberSuffixes(const std::string& text)
{
    if (text.empty())
        return false;
    bool digitSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            if (i > 0 && !digitSeen)
                return false;
            digitSeen = false;
        } else if (text[i] >= '0' && text[i] <= '9' && i > 0) {
            digitSeen = true;
        } else {
            return false;
        }
    }
    return text.front() == '_' && digitSeen;
}

}  // namespace

std::optional<OwnOutput> OwnOutput::of(const TItemData& job, const TCommandManager& catalogue)
{
    if (!catalogue.Has(job.Format))
        return std::nullopt;
    const std::string folder = outputFolder(narrow(job.Path), globalOutputFolder, programFolder());
    const std::string path = folder + outputName(narrow(job.FileName), catalogue.GetExt(job.Format));
    return OwnOutput(folderPart(path), fileNamePart(path));
}

bool OwnOutput::holds(const std::string& path) const
{
    if (folderPart(path) != folder_)
        return false;
    const std::string name = fileNamePart(path);
    return name == name_ || numberedVariant(name);
}

// The unique-name rule cuts the name's stem, at a character's end, to leave room for its
// extension and suffix in the folder's name limit; each split of the name into a stem and
// suffixes is tried against that.
bool OwnOutput::numberedVariant(const std::string& name) const
{
    const std::string ext = extensionPart(name_);
    if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0 ||
        extensionPart(name) != ext)
        return false;
    const std::string stem = name_.substr(0, name_.size() - ext.size());
    const std::string given = name.substr(0, name.size() - ext.size());
    const std::size_t limit = fileNameLimit(folder_);
    for (std::size_t split = given.find('_'); split != std::string::npos; split = given.find('_', split + 1)) {
        const std::string suffix = given.substr(split);
        if (!numberSuffixes(suffix) || limit < ext.size() + suffix.size())
            continue;
        const std::string start = given.substr(0, split);
        if (start == cutToFit(stem, limit - ext.size()) || start == cutToFit(stem, limit - ext.size() - suffix.size()))
            return true;
    }
    return false;
}

}  // namespace clipforge
