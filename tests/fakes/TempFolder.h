#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

// A folder of its own under /tmp for one test, removed with everything in it afterwards.
struct TempFolder {
    TempFolder()
    {
        char pattern[] = "/tmp/plotmeter-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            throw std::runtime_error("no temporary folder");
        path = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The path of `name` in the folder.
    std::string operator()(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

// All that a file holds, byte for byte; empty when there is no such file.
inline std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
