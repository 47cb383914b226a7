// Writes its working directory and argv, each followed by a NUL byte, to the file named by
// $ARGV_RECORDER_OUT; written under a temporary name and renamed, so a reader never sees a
// partial record.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("ARGV_RECORDER_OUT");
    if (out == nullptr) return 2;
    const std::string temp = std::string(out) + ".partial";
    {
        std::ofstream file(temp, std::ios::binary);
        file << std::filesystem::current_path().string() << '\0';
        for (int i = 0; i < argc; ++i) file << argv[i] << '\0';
        if (!file) return 3;
    }
    return std::rename(temp.c_str(), out) == 0 ? 0 : 4;
}
