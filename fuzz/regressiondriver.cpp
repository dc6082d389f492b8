// Runs a fuzz target without libFuzzer over every file given, and every file in each folder
// given: the corpus and the crashes kept, so that what once broke stays fixed. A folder that
// does not exist holds nothing; no input at all is an error, since it would test nothing.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path path(argv[i]);
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const fs::directory_entry &entry : fs::directory_iterator(path)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else if (fs::is_regular_file(path, error)) {
            inputs.push_back(path);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const fs::path &input : inputs) {
        std::ifstream file(input, std::ios::binary);
        std::vector<char> bytes(fs::file_size(input));
        if (!file.read(bytes.data(), std::streamsize(bytes.size()))) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        // A crash names its input on the way down.
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs ran\n", inputs.size());
    return 0;
}
