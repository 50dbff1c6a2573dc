#pragma once

#include <QTemporaryDir>

namespace clipforge::test {

// An empty configuration folder ($XDG_CONFIG_HOME) for as long as this lives, so a test neither
// reads nor changes what the user running it has remembered, nor what another test left there.
class ScopedConfigFolder {
public:
    ScopedConfigFolder() { qputenv("XDG_CONFIG_HOME", folder_.path().toLocal8Bit()); }
    ~ScopedConfigFolder() { qputenv("XDG_CONFIG_HOME", previous_); }

    QString path() const { return folder_.path(); }

private:
    QByteArray previous_ = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir folder_;
};

}  // namespace clipforge::test
