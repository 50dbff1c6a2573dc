#pragma once

#include "BatchRun.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace clipforge::test {

// An sshd of the test's own, never the system's: its own configuration, host key and a user key
// made for the test, listening on one free port of each loopback address given, so that each
// address passes for a machine of its own. It dies with the test (also when the test is killed).
class LoopbackSsh {
public:
    explicit LoopbackSsh(const std::vector<std::string>& addresses);

    // Why no server runs (for a skip message); empty when it runs.
    const std::string& problem() const { return problem_; }
    // An ssh command that reaches the server at any of its addresses as the current user, without
    // asking anything, for GNU parallel's --ssh.
    std::string sshCommand() const;
    // GNU parallel's --sshloginfile: every address, one job at a time on each.
    std::string loginFile() const;

private:
    bool makeKeys();
    void writeConfiguration(const std::vector<std::string>& addresses);
    bool listening(const std::vector<std::string>& addresses);
    std::string path(const std::string& name) const { return folder_.filePath(QString::fromStdString(name)).toStdString(); }

    QTemporaryDir folder_;
    std::vector<std::string> addresses_;
    int port_ = 0;
    std::string problem_;
    std::unique_ptr<BatchProcess> server_;
};

}  // namespace clipforge::test
