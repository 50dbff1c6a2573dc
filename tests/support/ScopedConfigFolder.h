#pragma once

#include <QByteArray>
#include <QTemporaryDir>

namespace clipforge::test {

// An empty configuration folder ($XDG_CONFIG_HOME) of its own for as long as this lives, so a
// test neither reads nor changes what the user running it has remembered, nor what another
// test left there.
class ScopedConfigFolder {
public:
    ScopedConfigFolder()
        : previous_(qgetenv("XDG_CONFIG_HOME"))
        , hadPrevious_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", folder_.path().toLocal8Bit());
    }
    ~ScopedConfigFolder()
    {
        if (hadPrevious_)
            qputenv("XDG_CONFIG_HOME", previous_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigFolder(const ScopedConfigFolder&) = delete;
    ScopedConfigFolder& operator=(const ScopedConfigFolder&) = delete;

    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QByteArray previous_;
    bool hadPrevious_;
};

}  // namespace clipforge::test
