// What pelmora-cli says about itself comes from the command table: every command is in --help,
// in cli/README.md and in the bash completion, and the version is the project's.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/Help.h"

using namespace pelmora::cli;

namespace {

std::string Printed(void (*print)(std::FILE*)) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    print(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

std::string Output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    char chunk[256];
    while (pipe && std::fgets(chunk, sizeof chunk, pipe.get())) text += chunk;
    return text;
}

}  // namespace

TEST(CliHelp, EveryCommandIsInHelpReadmeAndCompletion) {
    const std::string help = Printed(PrintHelp);
    const std::string completion = Printed(PrintBashCompletion);
    std::ifstream readmeFile(PELMORA_SOURCE_DIR "/cli/README.md");
    const std::string readme{std::istreambuf_iterator<char>(readmeFile), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(readme.empty());
    for (const CommandSpec& command : CommandTable()) {
        const std::string name = command.name;
        std::string usage = "  " + name;
        if (*command.args) usage += std::string(" ") + command.args;
        EXPECT_NE(help.find(usage), std::string::npos) << name;
        EXPECT_NE(help.find(command.help), std::string::npos) << name;
        EXPECT_NE(readme.find("`" + name + "`"), std::string::npos) << name << " is missing from cli/README.md";
        const bool completed = completion.find(" " + name + " ") != std::string::npos ||
                               completion.find(" " + name + "\"") != std::string::npos;
        EXPECT_TRUE(completed) << name << " is missing from the completion";
        EXPECT_TRUE(*command.help) << name << " has no line of meaning";
    }
}

TEST(CliHelp, OneCommandVersionAndTheProgramItself) {
    EXPECT_FALSE(PrintCommandHelp(stdout, "frobnicate"));
    const std::string cli = PELMORA_CLI_PATH;
    EXPECT_EQ(Output("'" + cli + "' --version"), "pelmora-cli " PELMORA_VERSION "\n");
    EXPECT_NE(Output("'" + cli + "' help loop"), "");
    EXPECT_EQ(Output("'" + cli + "' help loop").rfind("usage: pelmora-cli loop START END on|off\n", 0), 0u);
    EXPECT_NE(Output("'" + cli + "' --help").find("  crossfade sustain|release"), std::string::npos);
    // The completion offers a command's words after it.
    EXPECT_NE(Printed(PrintBashCompletion).find("channels) words=\"both left right\""), std::string::npos);
}
