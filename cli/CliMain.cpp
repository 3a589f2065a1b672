#include "cli/CliMain.h"

namespace pelmora::cli {

int RunCli(int, char**) { return 0; }

}  // namespace pelmora::cli
