// skyrell-cli: the file-producing operations of Skyrell without windows.

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/cli_common.h"
#include "shell/ports.h"

namespace skyrell::cli {

Args::Args(const std::vector<std::string>& words, const std::vector<std::string>& flags)
    : flags_(flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.rfind("--", 0) == 0) {
            const std::string name = word.substr(2);
            if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
                options_[name] = "";
            } else if (i + 1 < words.size()) {
                options_[name] = words[++i];
            } else {
                throw UsageError{"option --" + name + " needs a value"};
            }
        } else {
            positional_.push_back(word);
        }
    }
}

const std::string& Args::Positional(std::size_t index, const char* what) const {
    if (index >= positional_.size()) throw UsageError{std::string("missing ") + what};
    return positional_[index];
}

std::optional<std::string> Args::Option(const std::string& name) const {
    const auto found = options_.find(name);
    if (found == options_.end()) return std::nullopt;
    return found->second;
}

std::string Args::RequiredOption(const std::string& name) const {
    auto value = Option(name);
    if (!value) throw UsageError{"option --" + name + " is required"};
    return *value;
}

bool Args::Flag(const std::string& name) const { return options_.count(name) > 0; }

std::string Args::Choice(const std::string& name, const std::vector<std::string>& choices,
                         std::optional<std::string> fallback) const {
    auto value = Option(name);
    if (!value) {
        if (fallback) return *fallback;
        throw UsageError{"option --" + name + " is required"};
    }
    if (std::find(choices.begin(), choices.end(), *value) == choices.end())
        throw UsageError{"option --" + name + " does not take '" + *value + "'"};
    return *value;
}

long long Args::Integer(const std::string& name, std::optional<long long> fallback) const {
    auto value = Option(name);
    if (!value) {
        if (fallback) return *fallback;
        throw UsageError{"option --" + name + " is required"};
    }
    long long number = 0;
    const auto [ptr, ec] = std::from_chars(value->data(), value->data() + value->size(), number);
    if (ec != std::errc() || ptr != value->data() + value->size())
        throw UsageError{"option --" + name + " takes a whole number, not '" + *value + "'"};
    return number;
}

void Args::Expect(std::size_t count, const std::vector<std::string>& known) const {
    if (positional_.size() > count) throw UsageError{"too many arguments"};
    for (const auto& [name, value] : options_)
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw UsageError{"unknown option --" + name};
}

int Fail(const std::string& message) {
    std::cerr << message << '\n';
    return kExitFailure;
}

std::vector<Command> ShellCommands() { return {}; }

namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> all;
    for (auto&& group : {ShellCommands(), PosCommands(), OtherToPosCommands(), ProjectCommands(),
                         PointRecordCommands(), CheckCommands(), DivideCommands(),
                         PhotoBatchCommands(), CandidateCommands(), PrickingCommands()})
        for (auto& command : group) all.push_back(command);
    return all;
}

void PrintUsage(std::ostream& out, const std::vector<Command>& commands) {
    out << "usage: skyrell-cli COMMAND ARGUMENTS...\n"
           "       skyrell-cli --help\n"
           "       skyrell-cli --version\n\ncommands:\n";
    for (const auto& command : commands)
        out << "  " << command.name << ' ' << command.usage << '\n';
    if (commands.empty()) out << "  (none yet)\n";
}

// The exit status once standard output has been written out: a report that
// never reached it (a full disk, a closed pipe) is a failure, not a success.
int Finished(int status) {
    errno = 0;
    std::cout.flush();
    if (std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int code = errno;
    return Fail(std::string("无法写入标准输出：") + std::strerror(code != 0 ? code : EIO));
}

}  // namespace

}  // namespace skyrell::cli

int main(int argc, char* argv[]) {
    using namespace skyrell::cli;
    // Past the file-size limit a write then fails with an error that is
    // reported, and the temporary file is removed, instead of the signal
    // killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto commands = AllCommands();
    if (argc < 2) {
        PrintUsage(std::cerr, commands);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(std::cout, commands);
        return Finished(kExitOk);
    }
    if (name == "--version") {
        std::cout << "skyrell-cli " << skyrell::ProgramVersion() << '\n';
        return kExitOk;
    }
    for (const auto& command : commands) {
        if (command.name != name) continue;
        try {
            const Args args(std::vector<std::string>(argv + 2, argv + argc), command.flags);
            return Finished(command.run(args));
        } catch (const UsageError& error) {
            std::cerr << "skyrell-cli " << name << ": " << error.message << "\n"
                      << "usage: skyrell-cli " << command.name << ' ' << command.usage << '\n';
            return kExitUsage;
        }
    }
    std::cerr << "skyrell-cli: unknown command '" << name << "'\n";
    PrintUsage(std::cerr, commands);
    return kExitUsage;
}
