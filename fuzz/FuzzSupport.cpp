#include "FuzzSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace keyrack::fuzz {

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "keyrack-fuzz-XXXXXX");
        Check(mkdtemp(pattern.data()) != nullptr, "scratch folder made");
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(static_cast<bool>(out.flush()), "scratch file written");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace keyrack::fuzz
