#include "cli/CliMain.h"

int main(int argc, char** argv) { return pelmora::cli::RunCli(argc, argv); }
