// Stands in for the game's hl.exe: writes the folder it runs in and each argument it got,
// one a line in brackets, into the pipe named by "told-to.txt" beside it.
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char* argv[]) {
    const std::filesystem::path self = argc > 0 ? argv[0] : "";
    std::ifstream named(self.parent_path() / "told-to.txt");
    std::string pipe;
    if (!std::getline(named, pipe)) return 2;
    std::ofstream told(pipe, std::ios::binary);
    told << std::filesystem::current_path().string() << "\n";
    for (int i = 1; i < argc; ++i)
        told << "[" << argv[i] << "]\n";
    return told ? 0 : 1;
}
