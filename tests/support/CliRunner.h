#pragma once
// Runs pelmora-cli as a user would, through the shell, and keeps what it printed.

#include <string>

#include "support/TempDir.h"

namespace pelmora::test {

struct CliRun {
    int status = -1;  // the exit status; -1 when the shell could not be started
    std::string out;
    std::string err;
};

// Runs `binary --workdir DIR ARGUMENTS` with its settings (XDG_CONFIG_HOME) and working files in
// `dir`, so runs neither share state nor touch the user's. `arguments` are shell words: quote
// paths in them.
CliRun RunCli(const std::string& binary, const TempDir& dir, const std::string& arguments);

}  // namespace pelmora::test
