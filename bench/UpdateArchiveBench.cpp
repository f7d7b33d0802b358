// Integrity and structure checks of a 256 MiB release archive (SHA-512 of the file, then the
// ZIP directory read from the mapped file) against `sha512sum` of the same file, alternating
// runs on a warm page cache. Prints the median of each and their ratio.
// Usage: quorin_bench_update_archive [RUNS] [FOLDER]   (defaults: 7, the temporary folder)

#include "core/MappedFile.h"
#include "updater/UpdateArchive.h"
#include "updater/UpdateZIPDirectory.h"
#include "updater/ZipWriter.h"

#include "core/AtomicFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace quorin;

constexpr std::size_t entrySize = 16 * 1024 * 1024 - 4096; // 16 entries stay under the 256 MiB cap with their headers

// Bytes that vary, so nothing in the path can shortcut runs of zeros.
std::string pattern(std::size_t size, std::uint32_t seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::string writeArchive(const std::string& folder)
{
    ZipWriter writer;
    writer.add("Quorin 4.2.app/", {}, 040755);
    for (std::uint32_t index = 0; index < 16; ++index)
        writer.add("Quorin 4.2.app/Contents/Resources/part" + std::to_string(index), pattern(entrySize, index), 0100644);
    auto path = folder + "/quorin-bench-archive.zip";
    MUST(replaceFileAtomically(path, std::move(writer).finish(), 0600));
    return path;
}

template<typename Work>
double milliseconds(Work work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
    auto path = writeArchive(folder);
    auto digest = UpdateArchive::digestOf(path).value();
    UpdateRelease release { "1.0.0", Url::fileURL(path), digest.sha512, digest.size };
    auto command = "sha512sum '" + path + "' > /dev/null";
    std::vector<double> launcher, reference;
    for (int run = 0; run < runs; ++run) {
        launcher.push_back(milliseconds([&] {
            MUST(UpdateArchive::verifyDigest(path, release).hasValue());
            MUST(UpdateZIPDirectory::validate(MappedFile::open(path).value().bytes()).hasValue());
        }));
        reference.push_back(milliseconds([&] { MUST(std::system(command.c_str()) == 0); }));
    }
    std::filesystem::remove(path);
    double ours = median(launcher), theirs = median(reference);
    std::printf("archive %lld bytes, %d runs\ndigest + ZIP directory  %8.1f ms\nsha512sum               %8.1f ms\nratio                   %8.2f\n",
        static_cast<long long>(digest.size), runs, ours, theirs, ours / theirs);
    return 0;
}
