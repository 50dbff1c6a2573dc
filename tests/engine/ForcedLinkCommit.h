#pragma once

#include "core/NoReplaceCommit.h"

namespace clipforge::test {

// Commits take the link() way, as on a file system where rename cannot refuse to replace, until
// this goes, also when the test fails half-way.
class ForcedLinkCommit {
public:
    explicit ForcedLinkCommit(bool force = true) { forceLinkCommitForTesting(force); }
    ~ForcedLinkCommit() { forceLinkCommitForTesting(false); }
    ForcedLinkCommit(const ForcedLinkCommit&) = delete;
    ForcedLinkCommit& operator=(const ForcedLinkCommit&) = delete;
};

}  // namespace clipforge::test
