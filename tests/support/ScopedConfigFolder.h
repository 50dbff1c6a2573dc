#pragma once

#include "support/ScopedVariable.h"

#include <QTemporaryDir>

namespace clipforge::test {

// An empty configuration folder ($XDG_CONFIG_HOME) for as long as this lives, so a test neither
// reads nor changes what the user running it has remembered, nor what another test left there.
class ScopedConfigFolder {
public:
    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    ScopedVariable variable_ {"XDG_CONFIG_HOME", folder_.path().toStdString()};
};

}  // namespace clipforge::test
