#pragma once
// Commands of tavisorn-cli. Each takes the arguments after its name (raw
// bytes as the shell passed them), writes results to standard output and
// messages to standard error, and returns the process exit status.

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

int runStats(const CliArgs &args);
int runNormalize(const CliArgs &args);
int runCheck(const CliArgs &args);
int runMakeDictionary(const CliArgs &args);
int runTranslate(const CliArgs &args);
int runScript(const CliArgs &args);
