// The copy engine against the host's own tools: installs N files (about 40 KB each) from
// MSZIP cabinets into a fresh machine root, and extracts the same cabinets with cabextract
// and copies the result with cp -r into the same kind of folder. Prints both times and the
// ratio, for N and N/2 (the engine's cost must grow linearly with the number of files).
//
//   copy_bench [files]     (default 5000)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "copy/CopyRun.h"
#include "ops/FileSection.h"
#include "platform/MachineRoot.h"
#include "program/SetupSession.h"
#include "script/Environment.h"
#include "ui/ConsoleUi.h"
#include "wizard/PageHost.h"
#include "wizard/ProgressWindow.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFilesPerFolder = 100;
constexpr int kFilesPerCabinet = 1000;

fs::path makeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "copy-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

std::string quoted(const fs::path& path) {
    std::string text = "'";
    for (char c : path.string()) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// Text-like content that MSZIP shrinks about as much as it shrinks program files.
std::string content(std::mt19937& random, std::size_t size) {
    static const char* const kWords[] = {"kestrel",      "setup",  "0x4000",  "cabinet",  "folder",
                                         "\x01\x02\x03", "member", "Windows", "\xff\xfe", "LZX"};
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += kWords[random() % 10];
        text += static_cast<char>(random() % 256);
    }
    text.resize(size);
    return text;
}

struct Product {
    fs::path directory;  // Setup.inf and the cabinets
    std::uint64_t bytes = 0;
};

// `files` files in folders of 100, packed into MSZIP cabinets Data01.cab... of 1000 files,
// and a script whose file section names each of them on its cabinet's disk.
Product makeProduct(const fs::path& where, int files) {
    Product product{where / "source"};
    const fs::path payload = where / "payload";
    fs::create_directories(product.directory);
    std::mt19937 random(7);
    std::string script =
        "[Setup]\r\nVersion=5.11\r\n[Application]\r\nApplicationDir=C:\\Bench\r\n"
        "[Disks]\r\nCabTemplateName=Data00.cab\r\n";
    std::string section = "[Files]\r\n";
    std::vector<std::vector<std::string>> cabinets((files + kFilesPerCabinet - 1) /
                                                   kFilesPerCabinet);
    for (int i = 0; i < files; ++i) {
        const std::string folder = "d" + std::to_string(i / kFilesPerFolder);
        const std::string name = folder + "/f" + std::to_string(i) + ".dat";
        const std::size_t size = 30000 + random() % 20000;
        fs::create_directories(payload / folder);
        std::ofstream(payload / name, std::ios::binary) << content(random, size);
        product.bytes += size;
        const int disk = i / kFilesPerCabinet + 1;
        cabinets[static_cast<std::size_t>(disk - 1)].push_back(name);
        std::string windowsName = name;
        std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
        section += std::to_string(disk) + ":" + windowsName + "," + windowsName + ",0," +
                   std::to_string(size) + "\r\n";
    }
    for (std::size_t disk = 0; disk < cabinets.size(); ++disk) {
        script += std::to_string(disk + 1) + "=Disk " + std::to_string(disk + 1) + "\r\n";
        char name[32];
        std::snprintf(name, sizeof name, "Data%02zu.cab", disk + 1);
        std::string command =
            "cd " + quoted(payload) + " && gcab -c -z " + quoted(product.directory / name);
        for (const std::string& file : cabinets[disk]) command += " " + file;
        run(command);
    }
    std::ofstream(product.directory / "Setup.inf", std::ios::binary) << script << section;
    return product;
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// cabextract of every cabinet, then cp -r of what it made into the product's folder of a
// fresh prefix-like tree: what a person would do by hand.
double baseline(const fs::path& where, const Product& product) {
    const fs::path extracted = where / "extracted";
    const fs::path target = where / "baseline/drive_c/Bench";
    fs::create_directories(target.parent_path());
    const auto start = Clock::now();
    run("cabextract -q -d " + quoted(extracted) + " " + quoted(product.directory) + "/Data*.cab");
    run("cp -r " + quoted(extracted) + " " + quoted(target));
    return seconds(Clock::now() - start);
}

// The file section installed into a new machine root by the copy engine, the way a run
// does it: the script read, the section read into its step, the step run.
double installer(const fs::path& where, const Product& product) {
    using namespace kestrel;
    const fs::path prefix = where / "prefix";
    auto machine = platform::MachineRoot::open(prefix, {"bench", where / "servers"});
    if (!machine) throw std::runtime_error(machine.error());
    setup::ConsoleUi ui(std::cerr);  // a message here means the run went wrong
    setup::MemoryEnvironment environment;
    setup::LazyMachineRoot root(**machine);
    setup::SetupSession session(ui, root, environment, {});
    if (!session.parseCommandLine({"/S", (product.directory / "Setup.inf").string()}) ||
        !session.loadScript(where) || !session.readSettings())
        throw std::runtime_error("the script could not be read");
    setup::OperationContext& context = session.context();
    setup::ProgressWindow progress(session.messages(), session.run());
    setup::PageHost pages(session.messages(), **machine);
    setup::copy::NoRegistration registration;

    const auto start = Clock::now();
    setup::copy::CopyRun copy(context, progress, pages, registration);
    progress.open("Bench", false, true);
    const bool done =
        setup::runSection(context, copy.sections().reading(), "Files", setup::Direction::Install);
    copy.finish();
    const double took = seconds(Clock::now() - start);
    if (!done) throw std::runtime_error("the installation failed");
    return took;
}

struct Figures {
    double ours = 0, theirs = 0;
};

// The median of five rounds each. The two take turns at going first, and what both made is
// removed only after both ran: a file system hands out freshly freed inodes more slowly, and
// neither side should always be the one that meets them.
Figures measure(const fs::path& where, const Product& product) {
    std::vector<double> ours, theirs;
    for (int round = 0; round < 5; ++round) {
        if (round % 2 == 0) {
            theirs.push_back(baseline(where, product));
            ours.push_back(installer(where, product));
        } else {
            ours.push_back(installer(where, product));
            theirs.push_back(baseline(where, product));
        }
        for (const char* made : {"extracted", "baseline", "prefix"}) fs::remove_all(where / made);
        run("sync");
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    return {ours[2], theirs[2]};
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (files < 2) {
        std::cerr << "usage: copy_bench [files]\n";
        return 2;
    }
    const fs::path where = makeTempDir();
    try {
        std::cout << "files   MB      installer  cabextract+cp  ratio\n";
        for (const int count : {files / 2, files}) {
            const fs::path round = where / std::to_string(count);
            const Product product = makeProduct(round, count);
            fs::remove_all(round / "payload");
            const Figures figures = measure(round, product);
            std::printf("%-7d %-7.0f %7.2f s  %10.2f s   %5.2f\n", count,
                        static_cast<double>(product.bytes) / 1e6, figures.ours, figures.theirs,
                        figures.ours / figures.theirs);
            std::fflush(stdout);
            fs::remove_all(round);
        }
    } catch (const std::exception& error) {
        std::cerr << "copy_bench: " << error.what() << "\n";
        fs::remove_all(where);
        return 1;
    }
    fs::remove_all(where);
    return 0;
}
