// quillet-fx: runs the library's image effects on image files from the command line.
// Each command is one row of kCommands; effects (e.g. "blur IN OUT --radius R") join as rows.
#include <cstdio>
#include <cstring>

#ifndef QUILLET_VERSION
#error "QUILLET_VERSION is defined by the build"
#endif

namespace {

const int kExitOk = 0;
const int kExitUsage = 2;

struct Command {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv); // argv[0] is the command's own name
};

int RunHelp(int, char**);
int RunVersion(int, char**);

const Command kCommands[] = {
    {"--help", "show this help and exit", RunHelp},
    {"--version", "show the version and exit", RunVersion},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "Usage: quillet-fx COMMAND [ARGS...]\n"
                      "Applies the Quillet image effects to image files.\n\n"
                      "Commands and options:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %-12s %s\n", command.name, command.summary);
}

int RunHelp(int, char**) {
    PrintUsage(stdout);
    return kExitOk;
}

int RunVersion(int, char**) {
    std::printf("quillet-fx %s\n", QUILLET_VERSION);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "quillet-fx: no command given\n\n");
        PrintUsage(stderr);
        return kExitUsage;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "quillet-fx: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
