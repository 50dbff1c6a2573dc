#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <string>

namespace clipforge::test {

// Sets (or, given none, unsets) an environment variable for as long as this lives; afterwards the
// old value comes back, and a variable that was unset is unset again (not left empty: an empty
// XDG_CONFIG_HOME is a value, which a program may read differently from none). The one way tests
// change the environment.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value)
        : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name).toStdString();
        set(value);
    }
    ~ScopedVariable() { set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const std::optional<std::string>& value) const
    {
        if (value)
            qputenv(name_, QByteArray::fromStdString(*value));
        else
            qunsetenv(name_);
    }

    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace clipforge::test
