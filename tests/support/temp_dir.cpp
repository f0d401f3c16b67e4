#include "support/temp_dir.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/testing.h"

namespace test_support {

TempDir::TempDir() {
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

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

SharedTempDir::SharedTempDir(const char* variable) : variable_{variable} {
    if (const char* inherited = std::getenv(variable); inherited != nullptr) {
        path_ = inherited;
        return;
    }
    owned_.emplace();
    path_ = owned_->path();
    if (!path_.empty()) platform::testing::set_environment_variable(variable, path_.string().c_str());
}

SharedTempDir::~SharedTempDir() {
    if (owned_) platform::testing::set_environment_variable(variable_, nullptr);
}

void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_{name} {
    if (const char* old = std::getenv(name)) {
        had_old_ = true;
        old_ = old;
    }
    platform::testing::set_environment_variable(name, value);
}

ScopedEnv::~ScopedEnv() { platform::testing::set_environment_variable(name_, had_old_ ? old_.c_str() : nullptr); }

}  // namespace test_support
