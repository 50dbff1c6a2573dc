#pragma once

#include <string>

namespace clipforge {

// How a commit of a finished file under its chosen name went.
enum class CommitResult {
    Committed,  // the file is visible under the name, and only there
    NameTaken,  // something is at the name; it was not touched, the file is where it was
    Failed,     // this file system offers no step that cannot replace; error says why
};

struct CommitOutcome {
    CommitResult result = CommitResult::Failed;
    int error = 0;  // errno when Failed
};

// Makes the file at from visible at to in one step that can never replace anything at to:
// rename with RENAME_NOREPLACE; where the file system refuses that flag, link() then unlink()
// of from, where EEXIST counts as success only when to already leads to from's own file (a
// network call that was retried after it had worked). Never a plain rename.
CommitOutcome commitWithoutReplacing(const std::string& from, const std::string& to);

// Makes every commit take the link() path, as on a file system without RENAME_NOREPLACE. For
// tests.
void forceLinkCommitForTesting(bool force);

}  // namespace clipforge
