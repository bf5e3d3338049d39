#include "FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace keyrack::fuzz {

const std::string& ScratchFolder() {
    // Never destroyed: the clean-up at exit still needs it.
    static const std::string& folder = *new std::string([] {
        std::string pattern = std::filesystem::temp_directory_path() / "keyrack-fuzz-XXXXXX";
        Check(mkdtemp(pattern.data()) != nullptr, "scratch folder made");
        // libFuzzer ends a timed run through exit(), so the folder goes with the process.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return pattern;
    }());
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
