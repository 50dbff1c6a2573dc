#include "engine/OverwriteManager.h"

#include "core/Errors.h"
#include "core/Paths.h"
#include "engine/NameFitting.h"

namespace {

const char* const NoFittingName = "No free output name fits the output folder's file-name limit";

}  // namespace

std::string TOverwriteManager::GetUniqueName(const std::string& path, const NameTaken& alsoTaken)
{
    if (path.find('\0') != std::string::npos)
        throw clipforge::Error("A file name holding a NUL byte cannot be given to the converter");
    auto [entry, isNew] = cursors_.try_emplace(path);
    Cursor& cursor = entry->second;
    if (isNew)
        cursor = startAt(path);
    // Ends: every turn gives a name never tried before, and a folder holds finitely many.
    for (;;) {
        std::string name = nameAt(cursor);
        advance(cursor);
        if (!taken(name, alsoTaken)) {
            given_.insert(name);
            return name;
        }
    }
}

void TOverwriteManager::ForgetNames()
{
    cursors_.clear();
    given_.clear();
}

TOverwriteManager::Cursor TOverwriteManager::startAt(const std::string& path)
{
    Cursor cursor;
    cursor.folder = clipforge::folderPart(path);
    cursor.extension = clipforge::extensionPart(path);
    const std::string name = clipforge::fileNamePart(path);
    cursor.limit = clipforge::fileNameLimit(cursor.folder);
    if (cursor.extension.size() > cursor.limit)
        throw clipforge::Error(NoFittingName);
    cursor.stem = clipforge::cutToFit(name.substr(0, name.size() - cursor.extension.size()),
                                      cursor.limit - cursor.extension.size());
    cursor.chain = cursor.stem;
    return cursor;
}

std::string TOverwriteManager::nameAt(const Cursor& cursor)
{
    if (cursor.number == 0)
        return cursor.folder + cursor.chain + cursor.extension;
    const std::string suffix = "_" + std::to_string(cursor.number);
    if (suffix.size() + cursor.extension.size() > cursor.limit)
        throw clipforge::Error(NoFittingName);
    const std::size_t room = cursor.limit - suffix.size() - cursor.extension.size();
    return cursor.folder + clipforge::cutToFit(cursor.stem, room) + suffix + cursor.extension;
}

void TOverwriteManager::advance(Cursor& cursor)
{
    if (cursor.number > 0)
        ++cursor.number;
    else if (cursor.chain.size() + 2 + cursor.extension.size() <= cursor.limit)
        cursor.chain += "_2";
    else
        cursor.number = 3;
}

bool TOverwriteManager::taken(const std::string& path, const NameTaken& alsoTaken) const
{
    return given_.count(path) > 0 || (alsoTaken && alsoTaken(path)) || clipforge::pathOccupied(path);
}
