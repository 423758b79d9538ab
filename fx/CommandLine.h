#pragma once
// Argument parsing for quillet-fx's commands: file paths in order, and options that each take
// one number ("--sigma 2.5" or "--sigma=2.5").
#include <string>
#include <vector>

namespace QuilletFx {

struct NumberOption {
    const char* name; // with its dashes: "--sigma"
    bool required;
    bool wholeNumber;       // refuses fractions
    double lowest, highest; // the values a script may give; a value outside is a usage error
    double value;           // the default until the option is given
    bool seen;
};

struct ParsedArguments {
    std::vector<const char*> paths;
    bool help = false; // --help or -h anywhere: the rest does not matter
};

// Parses argv[1] to argv[argc - 1]. False with a message naming the faulty argument for an
// unknown option, an option given twice, a missing or bad number, a missing required option,
// and a path count other than pathCount (checked only when --help is absent).
bool ParseArguments(int argc, char** argv, std::vector<NumberOption>& options,
                    std::size_t pathCount, ParsedArguments& parsed, std::string& error);

// The whole text must be one finite number.
bool ParseNumber(const char* text, double& value);

} // namespace QuilletFx
