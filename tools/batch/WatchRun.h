#pragma once

#include "ArrivalNames.h"
#include "BatchReport.h"
#include "FolderPresence.h"
#include "SettlingFiles.h"
#include "WatchRecord.h"
#include "WatchedTree.h"

#include "core/ItemManager.h"
#include "core/TreeManager.h"
#include "engine/OutputCheck.h"

#include <QTimer>

#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TCommandManager;

namespace clipforge {

class BatchQueue;

// clipforge-batch watch: converts every video that is in the watched folders, or arrives there
// later, once it is whole, through the same queue and jobs as convert, and remembers across
// restarts what it converted. Runs until a signal or a closed standard output ends it.
class WatchRun {
public:
    struct Options {
        std::vector<std::string> folders;     // as given
        int profile = 0;                      // the profile's number
        std::string outputFolder;             // as given; empty for the default
        int parallel = 1;
        bool json = false;
        std::optional<std::size_t> liveWidth;
        CheckMode check = CheckMode::Streams;
        double settleSeconds = 10;
        double rescanSeconds = 60;
        std::vector<std::string> ignored;     // --ignore patterns
        bool retryFailed = false;
        // A folder not there at the start is waited for rather than refused (a service starts
        // before the disk it watches is plugged in).
        bool awaitMissingFolders = false;
    };

    WatchRun(std::ostream& out, std::ostream& err, const TCommandManager& catalogue, Options options);
    ~WatchRun();

    // 130 once ended; throws clipforge::Error, before anything is converted, when a folder cannot
    // be watched or the output folder cannot be had.
    int run();
    int endingSignal() const { return endingSignal_; }

private:
    // A watched folder, its watches and its record.
    struct Root {
        std::unique_ptr<WatchedTree> tree;
        std::unique_ptr<WatchRecord> record;
        FolderPresence presence;
        bool away = false;          // said to be away, and not watched until it is back
        bool partsWarned = false;   // said that some of its folders cannot be watched
    };
    // A file handed to the queue, until its job ends.
    struct Taken {
        Root* root = nullptr;
        WatchedFileKey key;
        std::uint64_t inode = 0;
    };
    enum class Cause { Found, Changed };

    void prepare();
    std::string prepareOutputFolder();
    void addRoot(const std::string& folder, const FileIdentity& outputFolder);
    std::string rootPath(const std::string& folder) const;
    void announce();
    void wire(BatchQueue& queue);
    void stop(const char* why);
    void reportEnd();
    void consider(Root& root, const std::string& path, Cause cause);
    bool settled(Root& root, const std::string& path, const FileStatus& status);
    bool movedHere(Root& root, const std::string& relative, const FileStatus& status);
    void take(const std::string& path, const WatchedFileKey& key);
    void handle(const std::vector<FolderEvent>& events);
    void handle(Root& root, const std::string& folder, const FolderEvent& event);
    void rescan();
    void lookAt(Root& root, const std::vector<std::string>& mounts);
    void leave(Root& root, const FolderPresence::Look& look);
    void walk(Root& root);
    void jobEnded(const std::string& source, bool finished, const std::string& output, const std::string& reason);
    void keep(const Taken& taken, const std::string& source, const WatchedFileResult& result);
    Root* rootOf(const std::string& path);
    void warn(const std::string& message);

    std::ostream& out_;
    std::ostream& err_;
    const TCommandManager& catalogue_;
    Options options_;
    std::string outputFolder_;
    ArrivalNames names_;
    std::unique_ptr<BatchReport> report_;
    FolderEvents events_;
    std::vector<Root> roots_;
    SettlingFiles settling_;
    TItemManager staging_;
    TTreeManager jobs_;
    BatchQueue* queue_ = nullptr;
    std::map<std::string, Taken> taken_;
    std::set<std::string> failedThisRun_;
    std::map<std::string, std::string> waitingReported_;
    QTimer rescanTimer_;
    bool stopping_ = false;
    int endingSignal_ = 0;
};

}  // namespace clipforge
