#pragma once

#include <functional>
#include <memory>
#include <string>

class TTreeManager;
class TXmlDocument;
struct TItemData;

// List files (.kxl): the job queue written to and read from an XML file. One document serves
// every export and import of the run, so an export after an import writes the imported prolog
// and root name back.
class TSaveManager {
public:
    explicit TSaveManager(TTreeManager& tree);
    ~TSaveManager();
    TSaveManager(const TSaveManager&) = delete;
    TSaveManager& operator=(const TSaveManager&) = delete;

    // Writes every job, in queue order. The old file is replaced only by a complete new one;
    // an existing file that is read-only is refused with "Cannot open file "%s". %s".
    void WriteList(const std::string& path);
    // Appends the jobs of the file, each waiting. A missing file adds nothing and reports nothing.
    // Returns false, reading nothing, while the job list is locked by a conversion run.
    // An error part-way keeps the jobs read before it.
    bool ReadList(const std::string& path);

    std::unique_ptr<TXmlDocument> Document;

private:
    TTreeManager& Tree;
};

namespace clipforge {

// Export's rule: a name whose extension is not exactly ".kxl" gets ".kxl" appended.
std::string withListExtension(const std::string& name);

// Writes count jobs, jobAt(0) to jobAt(count - 1), as a list file at path, under the prolog and
// root name that document holds; the file at path is replaced only by a complete new one.
void saveJobs(TXmlDocument& document, const std::string& path, int count,
              const std::function<const TItemData&(int)>& jobAt);

}  // namespace clipforge
