// Giving back the pages of files only needed to build: a library's code, read but never written,
// leaves the resident set and reads back the same; a mapping the process wrote to (as the loader
// writes a library's relocated data before making it read-only) keeps what was written.
#include "platform/ResidentPages.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr std::size_t kFileBytes = 4u << 20;

// The kB of the mapping starting at address that are resident, from the process's map.
std::size_t residentKilobytes(const void* address) {
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inMapping = false;
    while (std::getline(smaps, line)) {
        unsigned long start = 0;
        unsigned long end = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2 && line.find(' ') < 40) {
            inMapping = start == reinterpret_cast<unsigned long>(address);
        } else if (inMapping && line.rfind("Rss:", 0) == 0) {
            return std::stoul(line.substr(4));
        }
    }
    return 0;
}

const char* mapFile(const std::string& path, int protection) {
    const int file = open(path.c_str(), O_RDONLY);
    void* at = mmap(nullptr, kFileBytes, protection, MAP_PRIVATE, file, 0);
    close(file);
    return at == MAP_FAILED ? nullptr : static_cast<const char*>(at);
}

unsigned long sumOf(const char* bytes) {
    unsigned long sum = 0;
    for (std::size_t i = 0; i < kFileBytes; ++i) {
        sum = sum * 31 + static_cast<unsigned char>(bytes[i]);
    }
    return sum;
}

TEST(ResidentPagesTest, ReadOnlyPagesOfANamedFileGoAndReadBackTheSameWrittenOnesStay) {
    TempDir dir;
    std::string bytes(kFileBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    }
    const std::string code = dir.write("libbuildonly-code.so", bytes);
    const std::string data = dir.write("libbuildonly-data.so", bytes);
    const std::string other = dir.write("libother.so", bytes);

    const char* codeMap = mapFile(code, PROT_READ);
    const char* otherMap = mapFile(other, PROT_READ);
    // Written while writable, then made read-only: its pages are the process's own now.
    char* dataMap = const_cast<char*>(mapFile(data, PROT_READ | PROT_WRITE));
    ASSERT_NE(codeMap, nullptr);
    ASSERT_NE(otherMap, nullptr);
    ASSERT_NE(dataMap, nullptr);
    dataMap[100] = 'x';
    ASSERT_EQ(mprotect(dataMap, kFileBytes, PROT_READ), 0);
    const unsigned long codeSum = sumOf(codeMap);
    const unsigned long otherSum = sumOf(otherMap);
    ASSERT_NE(sumOf(dataMap), codeSum) << "the data's written byte";
    ASSERT_EQ(residentKilobytes(codeMap), kFileBytes / 1024);
    ASSERT_EQ(residentKilobytes(otherMap), kFileBytes / 1024);
    ASSERT_EQ(residentKilobytes(dataMap), kFileBytes / 1024);

    const std::size_t released = releaseFilePages({"libbuildonly"});

    EXPECT_EQ(released, kFileBytes) << "the code's pages, and not the written data's";
    EXPECT_EQ(residentKilobytes(codeMap), 0u);
    EXPECT_EQ(residentKilobytes(otherMap), kFileBytes / 1024) << "another file stays";
    EXPECT_EQ(residentKilobytes(dataMap), kFileBytes / 1024) << "written pages stay";
    EXPECT_EQ(dataMap[100], 'x');
    EXPECT_EQ(sumOf(codeMap), codeSum) << "the pages read back from the file";
    EXPECT_EQ(sumOf(otherMap), otherSum);
    EXPECT_EQ(releaseFilePages({}), 0u) << "no name, nothing given back";

    munmap(const_cast<char*>(codeMap), kFileBytes);
    munmap(const_cast<char*>(otherMap), kFileBytes);
    munmap(dataMap, kFileBytes);
}

} // namespace
