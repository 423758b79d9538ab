// quillet-fx: runs the library's image effects on image files from the command line.
#include "fx/FxCommands.h"

#include <cstdio>
#include <cstring>

#ifndef QUILLET_VERSION
#error "QUILLET_VERSION is defined by the build"
#endif

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "Usage: quillet-fx COMMAND IN OUT [OPTIONS]\n"
                      "Applies the Quillet image effects to image files.\n\n"
                      "Commands:\n");
    for (int i = 0; i < QuilletFx::kCommandCount; ++i) {
        const QuilletFx::Command& command = QuilletFx::kCommands[i];
        std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
    }
    std::fprintf(out,
                 "\n"
                 "  quillet-fx COMMAND --help   options of one command\n"
                 "  quillet-fx --help           this help\n"
                 "  quillet-fx --version        the version\n\n"
                 "%s",
                 QuilletFx::kExitStatusHelp);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "quillet-fx: no command given\n\n");
        PrintUsage(stderr);
        return QuilletFx::kExitUsageOrIo;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
        std::strcmp(name, "help") == 0) {
        // "quillet-fx help blur" is "quillet-fx blur --help".
        if (argc > 2 && std::strcmp(name, "help") == 0) {
            char helpOption[] = "--help";
            char* helpArgs[] = {argv[2], helpOption};
            for (int i = 0; i < QuilletFx::kCommandCount; ++i) {
                if (std::strcmp(argv[2], QuilletFx::kCommands[i].name) == 0)
                    return QuilletFx::kCommands[i].run(2, helpArgs);
            }
            std::fprintf(stderr, "quillet-fx: unknown command '%s'\n\n", argv[2]);
            PrintUsage(stderr);
            return QuilletFx::kExitUsageOrIo;
        }
        PrintUsage(stdout);
        return QuilletFx::kExitDone;
    }
    if (std::strcmp(name, "--version") == 0) {
        std::printf("quillet-fx %s\n", QUILLET_VERSION);
        return QuilletFx::kExitDone;
    }
    for (int i = 0; i < QuilletFx::kCommandCount; ++i) {
        if (std::strcmp(name, QuilletFx::kCommands[i].name) == 0)
            return QuilletFx::kCommands[i].run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "quillet-fx: unknown command '%s'\n\n", name);
    PrintUsage(stderr);
    return QuilletFx::kExitUsageOrIo;
}
