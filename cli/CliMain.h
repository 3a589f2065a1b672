#pragma once

namespace pelmora::cli {

// Runs a pelmora-cli command line; returns the exit status.
int RunCli(int argc, char** argv);

}  // namespace pelmora::cli
