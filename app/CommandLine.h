#pragma once
// The editor's command line: a sound to open, the switches "b" (File Backup off) and "m" (the
// display flag), and "windows" with the input and output device names.

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct SoundDevicesByName {
    std::string input;
    std::string output;
};

struct CommandLine {
    std::string file;  // empty: nothing is opened
    bool fileBackup = true;
    bool displayFlag = false;
    std::optional<SoundDevicesByName> devices;
};

// The arguments after the program's name joined with single blanks, those with blanks in
// double quotes: the command line as one string, which the file-name rule below reads as the
// user typed it.
std::string JoinArguments(const std::vector<std::string>& arguments);

// Words are separated by blanks; double quotes group blanks into a word and are removed. A word
// beginning with "-", or with "/" followed by letters only (so that an absolute path is not taken
// for one), is a switch. The first other word is the file, unless it is "windows", whose two
// following words name the devices. When a file was given and the line does not begin with a
// double quote, the whole line, switches included, is the file: a path with blanks needs no
// quotes. The "windows" form never takes the whole line.
CommandLine ParseCommandLine(const std::string& line);

}  // namespace pelmora
