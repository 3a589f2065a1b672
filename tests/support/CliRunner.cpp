#include "support/CliRunner.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

namespace pelmora::test {

CliRun RunCli(const std::string& binary, const TempDir& dir, const std::string& arguments) {
    const std::string errFile = dir.File("stderr.txt");
    const std::string command = "XDG_CONFIG_HOME='" + dir.Path() + "' '" + binary +
                                "' --workdir '" + dir.Path() + "' " + arguments + " 2>'" +
                                errFile + "'";
    CliRun run;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
        run.out.append(buffer.data(), n);
    run.status = WEXITSTATUS(pclose(pipe.release()));
    const auto err = ReadAll(errFile);
    run.err.assign(err.begin(), err.end());
    return run;
}

}  // namespace pelmora::test
