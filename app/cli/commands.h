#pragma once
// Commands of tavisorn-cli. Each takes the arguments after its name (raw
// bytes as the shell passed them), writes results to standard output and
// messages to standard error, and returns the process exit status.

#include <string>
#include <vector>

class FileName;
class QString;

using CliArgs = std::vector<std::string>;

// A file name as the shell passed it (bytes; a Big5 name stays Big5).
FileName pathArgument(const std::string &bytes);
// A message on standard error, after the program's name.
void printError(const QString &text);

// The exit statuses of every command; a script's own failure passes its
// status on instead.
enum CliStatus : int {
    CliOk = 0,
    CliFailed = 1,   // refused, or a file could not be read or written
    CliWrongUse = 2,
    CliFound = 3,    // check found problems, make-dictionary --strict a mismatch
};

int runStats(const CliArgs &args);
int runNormalize(const CliArgs &args);
int runCheck(const CliArgs &args);
int runMakeDictionary(const CliArgs &args);
int runTranslate(const CliArgs &args);
int runScript(const CliArgs &args);
int runExport(const CliArgs &args);
int runImport(const CliArgs &args);
// Starts tavisorn-preview, which writes the pictures.
int runPreview(const CliArgs &args);
