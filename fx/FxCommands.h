#pragma once
// The commands of quillet-fx. Each takes its arguments without the program name (argv[0] is
// the command's own name) and returns the process exit status.
namespace QuilletFx {

// Exit statuses a script can rely on.
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;   // the effect refused its parameters; nothing was written
constexpr int kExitUsageOrIo = 2; // bad command line, or a file could not be read or written

struct Command {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv);
};

// blur IN OUT --radius R --sigma S --angle A [--quality Q]
int RunBlur(int argc, char** argv);
// flare IN OUT --x X --y Y --size S --brightness B --hue H --intensity I [--quality Q]
int RunFlare(int argc, char** argv);
// convert IN OUT [--quality Q]: the pixels of IN written as OUT.
int RunConvert(int argc, char** argv);

extern const Command kCommands[];
extern const int kCommandCount;

// The text shared by every help: what the exit statuses mean.
extern const char* const kExitStatusHelp;

} // namespace QuilletFx
