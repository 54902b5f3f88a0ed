#pragma once
// Environment variables set (or, given nullptr, unset) for the life of the object, then put
// back as they were.
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class EnvScope {
public:
    EnvScope(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            kept_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
    }
    ~EnvScope() {
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> kept_;
};
