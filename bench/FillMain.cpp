// zlm-bench-fill: creates a main database file from the delivered script and fills it with the
// bench's customers, documents, lines and inquiries, to try the program on a large file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "bench/BenchData.h"
#include "data/DeliveredFiles.h"
#include "setup/Installer.h"

int main(int argc, char** argv) {
    const int customers = argc > 2 ? std::atoi(argv[2]) : 0;
    if (argc != 3 || customers <= 0) {
        std::fprintf(stderr, "usage: zlm-bench-fill <new main file> <number of customers>\n");
        return 2;
    }
    if (std::filesystem::exists(argv[1])) {
        std::fprintf(stderr, "zlm-bench-fill: %s exists already\n", argv[1]);
        return 1;
    }
    try {
        zl::setup::CreateDatabase(argv[1], *zl::data::DeliveredFile("zlm.sql"));
        const zl::bench::BenchSize size = zl::bench::SizeFor(customers);
        zl::bench::FillMainDatabase(argv[1], size);
        std::printf("%s: %d customers, %d documents, %d lines, %d inquiries\n", argv[1],
                    size.customers, size.documents, size.lines, size.inquiries);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zlm-bench-fill: %s\n", e.what());
        return 1;
    }
    return 0;
}
