#pragma once
// The command-line program's command table and argument reading. Every command
// runs the same logic as its window and prints the same message texts. Errors:
// the message on stderr and exit status 1; wrong usage: exit status 2.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace skyrell::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Thrown by Args when the words of a call are off; turns into usage and exit 2.
struct UsageError {
    std::string message;
};

// Positional words and "--name value" options of one command.
class Args {
  public:
    // `flags` are the options that take no value.
    Args(const std::vector<std::string>& words, const std::vector<std::string>& flags = {});

    // The positional word at `index`; a missing one is a usage error.
    const std::string& Positional(std::size_t index, const char* what) const;
    std::size_t PositionalCount() const { return positional_.size(); }
    std::optional<std::string> Option(const std::string& name) const;
    std::string RequiredOption(const std::string& name) const;
    bool Flag(const std::string& name) const;
    // An option's value that must be one of `choices`.
    std::string Choice(const std::string& name, const std::vector<std::string>& choices,
                       std::optional<std::string> fallback = std::nullopt) const;
    long long Integer(const std::string& name,
                      std::optional<long long> fallback = std::nullopt) const;
    // Fails when more positional words were given than `count`, or an option
    // not in `known` was used.
    void Expect(std::size_t count, const std::vector<std::string>& known) const;

  private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
    std::vector<std::string> flags_;
};

struct Command {
    std::string name;
    std::string usage;  // the words after the name, e.g. "POS OUT"
    std::function<int(const Args&)> run;
    std::vector<std::string> flags = {};
};

// Prints a message on stderr and returns exit status 1.
int Fail(const std::string& message);

// The commands of each subsystem, in the order --help lists them.
std::vector<Command> ShellCommands();
std::vector<Command> PosCommands();
std::vector<Command> OtherToPosCommands();
std::vector<Command> ProjectCommands();
std::vector<Command> PointRecordCommands();
std::vector<Command> CheckCommands();
std::vector<Command> DivideCommands();
std::vector<Command> PhotoBatchCommands();
std::vector<Command> CandidateCommands();
std::vector<Command> PrickingCommands();

}  // namespace skyrell::cli
