#pragma once
// What pelmora-cli says about itself, generated from the command table so it cannot drift.

#include <cstdio>
#include <string>

namespace pelmora::cli {

// Every option and command with its arguments and one line of meaning.
void PrintHelp(std::FILE* out);
// One command's usage and details; false when there is no such command.
bool PrintCommandHelp(std::FILE* out, const std::string& name);
// "pelmora-cli 0.2.0".
void PrintVersion(std::FILE* out);
// A bash completion script for pelmora-cli: options, command names and word arguments.
void PrintBashCompletion(std::FILE* out);

}  // namespace pelmora::cli
