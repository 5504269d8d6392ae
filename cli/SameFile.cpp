#include "cli/SameFile.h"

#include <filesystem>

bool sameFile(const std::string& a, const std::string& b)
{
    namespace fs = std::filesystem;
    std::error_code failed;
    if (fs::equivalent(a, b, failed))
        return true;
    const fs::path left = fs::absolute(a, failed).lexically_normal();
    const fs::path right = fs::absolute(b, failed).lexically_normal();
    return !failed && left == right;
}
