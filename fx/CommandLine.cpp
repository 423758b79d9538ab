#include "fx/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace QuilletFx {
namespace {

std::string Quoted(const char* text) { return std::string("'") + text + "'"; }

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool SetOption(NumberOption& option, const char* text, std::string& error) {
    double value = 0.0;
    if (!ParseNumber(text, value)) {
        error = std::string(option.name) + " needs a number, not " + Quoted(text);
        return false;
    }
    if ((option.wholeNumber && value != std::floor(value)) || value < option.lowest ||
        value > option.highest) {
        error = std::string(option.name) + " needs " +
                (option.wholeNumber ? "a whole number" : "a number") + " from " +
                Number(option.lowest) + " to " + Number(option.highest) + ", not " + Quoted(text);
        return false;
    }
    option.value = value;
    option.seen = true;
    return true;
}

} // namespace

bool ParseNumber(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno != ERANGE && std::isfinite(value);
}

bool ParseArguments(int argc, char** argv, std::vector<NumberOption>& options,
                    std::size_t pathCount, ParsedArguments& parsed, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            parsed.help = true;
            return true;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--", 2) != 0) {
            if (parsed.paths.size() == pathCount) {
                error = "unexpected argument " + Quoted(arg);
                return false;
            }
            parsed.paths.push_back(arg);
            continue;
        }
        const char* equals = std::strchr(arg, '=');
        const std::string name =
            equals != nullptr ? std::string(arg, static_cast<std::size_t>(equals - arg)) : arg;
        NumberOption* option = nullptr;
        for (NumberOption& candidate : options) {
            if (name == candidate.name)
                option = &candidate;
        }
        if (option == nullptr) {
            error = "unknown option " + Quoted(name.c_str());
            return false;
        }
        if (option->seen) {
            error = name + " is given twice";
            return false;
        }
        const char* value = equals != nullptr ? equals + 1 : nullptr;
        if (value == nullptr) {
            if (i + 1 == argc) {
                error = name + " needs a number after it";
                return false;
            }
            value = argv[++i];
        }
        if (!SetOption(*option, value, error))
            return false;
    }
    if (parsed.paths.size() < pathCount) {
        error = parsed.paths.empty() ? "missing IN and OUT" : "missing OUT";
        return false;
    }
    for (const NumberOption& option : options) {
        if (option.required && !option.seen) {
            error = std::string("missing ") + option.name;
            return false;
        }
    }
    return true;
}

} // namespace QuilletFx
