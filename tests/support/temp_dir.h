// A fresh directory per test, removed with everything in it at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "platform/testing.h"

namespace test_support {

class TempDir {
public:
    // A name no other test process picks: random, and created only if absent.
    TempDir() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error) return;
        // The clock as well: a run-time whose random device is a fixed sequence
        // still gives each process names of its own.
        std::random_device device;
        std::mt19937_64 random(device() ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate = base / ("tdp_" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
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
    explicit SharedTempDir(const char* variable) : variable_{variable} {
        if (const char* inherited = std::getenv(variable); inherited != nullptr) {
            path_ = inherited;
            return;
        }
        owned_.emplace();
        path_ = owned_->path();
        if (!path_.empty()) platform::testing::set_environment_variable(variable, path_.string().c_str());
    }
    ~SharedTempDir() {
        if (owned_) platform::testing::set_environment_variable(variable_, nullptr);
    }
    SharedTempDir(const SharedTempDir&) = delete;
    SharedTempDir& operator=(const SharedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    const char* variable_;
    std::optional<TempDir> owned_;  // the parent's only
    std::filesystem::path path_;
};

inline void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets or clears an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_{name} {
        if (const char* old = std::getenv(name)) {
            had_old_ = true;
            old_ = old;
        }
        platform::testing::set_environment_variable(name, value);
    }
    ~ScopedEnv() { platform::testing::set_environment_variable(name_, had_old_ ? old_.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_old_ = false;
    std::string old_;
};

}  // namespace test_support
