// A fresh directory per test, removed with everything in it at the end.
// Compiled once into the test support library; this header stays light, as
// most test units include it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace test_support {

class TempDir {
public:
    // A name no other test process picks: random, and created only if absent.
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A temporary directory that a death test's child finds again: the child
// runs the test from its start, so the parent names the directory it made
// in `variable`, and the child takes it from there.
class SharedTempDir {
public:
    explicit SharedTempDir(const char* variable);
    ~SharedTempDir();
    SharedTempDir(const SharedTempDir&) = delete;
    SharedTempDir& operator=(const SharedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    const char* variable_;
    std::optional<TempDir> owned_;  // the parent's only
    std::filesystem::path path_;
};

void write_bytes(const std::string& path, std::string_view bytes);
std::string read_bytes(const std::string& path);

// Sets or clears an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_old_ = false;
    std::string old_;
};

}  // namespace test_support
